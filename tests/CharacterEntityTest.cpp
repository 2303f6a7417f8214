#include "Content/Map.h"
#include "Effects/BlackOutEffect.h"
#include "Engine/KeyCodes.h"
#include "Util/Random.h"
#include "World/Camera.h"
#include "World/CandleEntity.h"
#include "World/GameProgress.h"
#include "World/LightEntity.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float FRAME = 1.0f / 60.0f;

class CharacterTest : public ::testing::Test {
protected:
    // A 16 x 10 room of floor; walls where the plan says.
    Room* enter(const std::vector<std::string>& plan = std::vector<std::string>(10, std::string(16, '.')),
                const std::string& objects = "[]", const std::string& properties = "") {
        room = world.enter(world.writeMap("Hall.json", plan, objects, properties));
        character = room->character;
        return room;
    }

    void hold(std::initializer_list<int> keys) {
        for (int key : {KEY_W, KEY_A, KEY_S, KEY_D}) KEInputPostKey(key, false);
        for (int key : keys) KEInputPostKey(key, true);
        KEInputUpdate();
        character->handleInput(FRAME);
    }

    void press(int key) {
        KEInputPostKey(key, true);
        KEInputUpdate();
        room->update(FRAME);
        KEInputPostKey(key, false);
        KEInputUpdate();
    }

    TestWorld world;
    Room* room = nullptr;
    CharacterEntity* character = nullptr;
};

TEST_F(CharacterTest, WalksEightWaysAndTurnsTheShortWay) {
    enter();
    hold({KEY_D});
    EXPECT_NEAR(character->targetHeading, 0.0f, 1e-4f);
    hold({KEY_A});
    EXPECT_NEAR(character->targetHeading, 180.0f, 1e-4f);
    hold({KEY_A, KEY_W});
    EXPECT_NEAR(character->targetHeading, 225.0f, 1e-3f) << "up-left after left: 225, not -135";
    const float x = character->x;
    const float y = character->y;
    room->update(0.1f);
    EXPECT_NEAR(std::hypot(character->x - x, character->y - y), 12.5f, 1e-3f) << "diagonals at walking speed";
    hold({KEY_A, KEY_D});
    EXPECT_EQ(character->moveDirection.x, -1.0f) << "left beats right";
    hold({KEY_W, KEY_S});
    EXPECT_EQ(character->moveDirection.y, -1.0f) << "up beats down";
    hold({});
    EXPECT_FALSE(character->isMoving);
    EXPECT_TRUE(character->animation->paused);
    EXPECT_EQ(character->animation->frame, 0u);
}

TEST_F(CharacterTest, SolidCellsStopTheBoxAtTheirEdge) {
    std::vector<std::string> plan(10, std::string(16, '.'));
    for (std::string& row : plan) row[10] = '#';
    enter(plan);
    character->x = 300;
    character->y = 100;
    room->update(FRAME);
    EXPECT_FLOAT_EQ(character->x, 320 - 18 * 1.5f) << "the right probes put the box against column 10";
    character->x = 330;
    room->update(FRAME);
    EXPECT_FLOAT_EQ(character->x, 352.0f) << "the left probes put it after the column";
}

TEST_F(CharacterTest, CandleHoldersSwapCandles) {
    const std::string holders = R"([
     {"type": "Entity.Candle", "x": 64, "y": 64, "width": 32, "height": 32, "properties": {"decimal.Life": "30"}},
     {"type": "Entity.Spawn", "x": 96, "y": 64, "width": 32, "height": 32}])";
    enter(std::vector<std::string>(10, std::string(16, '.')), holders);
    auto* holder = entitiesOf<CandleEntity>(room, ET_CANDLE).front();
    character->candleFrozen = true;
    character->candleLife = 25;
    press(KEY_SPACE);
    EXPECT_EQ(room->prompt, std::string("Pickup Candle"));
    EXPECT_EQ(character->candleLife, 40.0f);
    EXPECT_EQ(holder->life, 15.0f) << "the holder keeps the character's candle";

    character->candleLife = 10;
    press(KEY_SPACE);
    EXPECT_EQ(character->candleLife, 25.0f);
    EXPECT_TRUE(holder->pendingRemoval);
    EXPECT_TRUE(holder->light->pendingRemoval);
    const int before = room->entities->count;
    room->update(FRAME);
    EXPECT_EQ(room->entities->count, before - 2) << "the emptied holder goes with its light";
}

TEST_F(CharacterTest, TheCandleGoesOutInTheDarkAndTheCharacterDiesAndRespawns) {
    enter();
    EXPECT_EQ(character->candleLife, 70.0f) << "a respawn outside the tutorial brings a candle";
    character->candleLife = 10.5f;
    room->update(FRAME);
    EXPECT_EQ(SoundManagerMusicState(), MS_GASP);
    EXPECT_EQ(character->light->intensity, 0.3f) << "out at 11 and below";

    character->candleLife = 9.0f;
    character->deathThreshold = 1.0f;
    room->update(FRAME);
    EXPECT_EQ(SoundManagerMusicState(), MS_DANGER);
    EXPECT_EQ(character->light->radius, 40.0f);
    room->update(FRAME);
    EXPECT_GT(room->camera->shakeMagnitude, 0.0f) << "in danger the camera shakes";

    character->x = 200;
    character->candleLife = 0.5f;
    room->update(FRAME);
    EXPECT_EQ(SoundManagerMusicState(), MS_DEATH);
    EXPECT_EQ(character->candleLife, 70.0f);
    EXPECT_EQ(character->x, character->spawnPosition.x);
    EXPECT_TRUE(character->hasControl);
}

TEST_F(CharacterTest, AnotherLightHoldsTheDarkAwayAndTutorialRoomsRespawnWithout) {
    const std::string lamp =
        R"([{"type": "Entity.Light", "name": "Lamp", "x": 0, "y": 0, "width": 600, "height": 600}])";
    enter(std::vector<std::string>(10, std::string(16, '.')), lamp, R"("bool.RespawnWithCandle": "false")");
    EXPECT_EQ(character->candleLife, 10.0f);
    character->candleLife = 8.0f;
    for (int i = 0; i < 100; ++i) room->update(FRAME);
    EXPECT_TRUE(character->inLight);
    EXPECT_EQ(character->candleLife, 10.0f);

    room->findEntityByName("Lamp")->pendingRemoval = true;
    room->update(FRAME);
    character->candleLife = -5.0f;
    room->update(FRAME);
    EXPECT_EQ(character->candleLife, 10.0f) << "the tutorial respawns in the dark";
}

// The gust's countdown runs in seconds, at about half speed while walking,
// and blows in the frame its time is up at 30, 60, 144 and 240 frames a
// second alike.
TEST_F(CharacterTest, AGustBlowsTheCandleOutAfter100To180SecondsLaterWhenWalking) {
    for (unsigned seed = 1; seed <= 2; ++seed)
        for (bool walking : {false, true})
            for (float dt : {1 / 30.0f, 1 / 60.0f, 1 / 144.0f, 1 / 240.0f}) {
                SCOPED_TRACE(testing::Message()
                             << "seed " << seed << (walking ? ", walking" : "") << ", " << 1 / dt << " fps");
                RandomSeed(seed);
                enter();
                character->candleFrozen = true;
                character->walkSpeed = 0;
                const double due = character->gustTimer;
                EXPECT_GE(due, 100.0);
                EXPECT_LE(due, 180.0);
                double elapsed = 0;
                while (!character->gustFired && elapsed < 400) {
                    character->isMoving = walking;
                    room->update(dt);
                    elapsed += dt;
                }
                const double expected = walking ? due / 0.52 : due;
                EXPECT_NEAR(elapsed, expected + dt / 2, dt / 2 + 1e-3);
                EXPECT_EQ(character->candleLife, 11.0f);
            }
}

TEST_F(CharacterTest, AFallShrinksTheCharacterAndRespawnsIt) {
    enter();
    character->x += 50;
    character->falling = true;
    character->gustFired = true;
    character->candleFrozen = true;
    room->update(0.5f);
    EXPECT_FLOAT_EQ(character->scale.x, 1.5f - 0.55f);
    EXPECT_EQ(character->candleLife, 10.0f) << "the candle is lost in the fall";
    EXPECT_FALSE(character->gustFired);
    room->update(0.5f);
    EXPECT_TRUE(character->falling);
    room->update(0.5f);
    EXPECT_FALSE(character->falling);
    EXPECT_EQ(character->scale.x, 1.5f);
    EXPECT_EQ(character->x, character->spawnPosition.x);
    EXPECT_EQ(character->candleLife, 70.0f);
}

TEST_F(CharacterTest, DeathAfterACheckpointEntersTheRoomAgain) {
    PlayState entry;
    entry.entryDoor.target = world.writeMap("Hall.json", {"........"});
    entry.entryDoor.id = 3;
    entry.carriedCandleLife = 40;
    gameProgress.lastCheckpointId = 2;
    const std::unique_ptr<PlayScreen> screen = new_PlayScreen(&entry);
    screen->loadContent();
    CharacterEntity* dying = screen->room->character;
    EXPECT_EQ(dying->candleLife, 50.0f) << "a carried candle is handed over";
    dying->candleLife = -5;
    dying->rotation = 1.5f;
    screen->room->update(FRAME);
    EXPECT_TRUE(screen->isExiting);
    EXPECT_EQ(screen->playState.carriedCandleLife, 0.0f);
    EXPECT_EQ(screen->playState.entryDoor.id, 3);
    EXPECT_EQ(screen->playState.carriedRotation, dying->rotation)
        << "the next character faces as this one did";
    EXPECT_EQ(screen->blackout->opacity, 1.0f);
}

}  // namespace
