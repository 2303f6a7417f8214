#include "Content/Map.h"
#include "Effects/ParticleEmitter.h"
#include "Effects/RainEmitter.h"
#include "Engine/Viewport.h"
#include "TestSupport.h"
#include "World/GameProgress.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr float FRAME = 1.0f / 60.0f;

// A pop-up over the play screen, as the pause menu and journal pages are.
class PopUp : public Screen {
public:
    PopUp() { isPopup = true; }
    const char* typeName() const override { return "PopUp"; }
};

class PlayScreenTest : public ::testing::Test {
protected:
    void SetUp() override { ScreenStackInit(); }
    void TearDown() override { ScreenStackShutdown(); }

    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            ScreenStackUpdate(FRAME);
            UpdateTweens(FRAME);
        }
    }

    Screen* top() const { return ScreenStackScreens().tail->data; }

    TestWorld world;
};

TEST_F(PlayScreenTest, AScreenOnTopFreezesTheRoomAfterOneFrame) {
    PlayScreen* screen = world.play(world.writeMap("Hall.json", {"........"}));
    frames(20);
    CharacterEntity* character = screen->room->character;
    const float burning = character->candleLife;
    frames(1);
    EXPECT_LT(character->candleLife, burning);

    auto* popUp = pushScreen(std::make_unique<PopUp>());
    frames(1);
    const float frozen = character->candleLife;
    EXPECT_LT(frozen, burning) << "one more frame";
    frames(10);
    EXPECT_EQ(character->candleLife, frozen);

    popUp->exitScreen();
    frames(2);
    EXPECT_LT(character->candleLife, frozen);
}

TEST_F(PlayScreenTest, ChangingRoomFadesOutIntoTheNextWithTheCandleCarried) {
    const std::string next = world.writeMap("Study.json", {"........"});
    PlayScreen* screen = world.play(world.writeMap("Hall.json", {"........"}));
    frames(20);
    PlayState door;
    door.entryDoor.target = next;
    door.carriedCandleLife = 30;
    screen->changeRoom(&door);
    frames(20);
    ASSERT_EQ(ScreenStackScreens().count, 1);
    auto* entered = static_cast<PlayScreen*>(top());
    ASSERT_NE(entered, screen);
    EXPECT_EQ(entered->room->map->path, next);
    EXPECT_EQ(currentCharacter, entered->room->character);
    EXPECT_NEAR(currentCharacter->candleLife, 40.0f, 0.2f) << "given 30 s and a few frames burnt";

    PlayState outro;
    outro.entryDoor.target = "Outro";
    entered->changeRoom(&outro);
    frames(20);
    EXPECT_STREQ(top()->typeName(), "CreditsScreen");
    EXPECT_EQ(SoundManagerMusicState(), MS_CREDITS);
    EXPECT_EQ(currentCharacter, nullptr);
}

// A death after a checkpoint, and a fall in a room that gives no candle on a
// respawn, enter the room again as it was first met. The room left behind
// leaves the music to the new one: no danger while the new character holds
// its candle.
TEST_F(PlayScreenTest, ADeathOrAFallEntersTheRoomAgainAndTheMusicFollowsTheNewCharacter) {
    PlayState entry;
    entry.entryDoor.target = world.writeMap("Hall.json", std::vector<std::string>(8, "........"));
    gameProgress.lastCheckpointId = 2;
    auto* dark = pushScreen(new_PlayScreen(&entry));
    frames(20);
    CharacterEntity* dying = dark->room->character;
    dying->candleLife = -5;
    frames(1);
    EXPECT_EQ(SoundManagerMusicState(), MS_DEATH);
    EXPECT_TRUE(dying->leavingRoom) << "the dead stand still till the room is entered again";
    frames(30);
    ASSERT_NE(top(), dark);
    EXPECT_GT(currentCharacter->candleLife, 69.0f) << "a fresh candle";
    for (int frame = 0; frame < 120; ++frame) {
        frames(1);
        ASSERT_EQ(SoundManagerMusicState(), MS_SPOOKY) << "frame " << frame;
    }

    ScreenStackShutdown();
    ScreenStackInit();
    const std::string holder = mapObject("Entity.Candle", 128, 64, 32, 32, R"("decimal.Life": "40")") + "," +
                               mapObject("Entity.Light", -512, -512, 1664, 1664);
    auto* boxRoom = world.play(world.writeMap("BoxRoom.json", std::vector<std::string>(8, "........"),
                                              "[" + holder + "]", R"("bool.RespawnWithCandle": "false")"));
    frames(20);
    boxRoom->room->removeEntity(entitiesOf(boxRoom->room.get(), ET_CANDLE).front());
    boxRoom->room->character->falling = true;
    frames(120);
    ASSERT_NE(top(), boxRoom) << "a fall in a room without a candle to respawn with enters it again";
    auto* again = static_cast<PlayScreen*>(top());
    EXPECT_EQ(entitiesOf(again->room.get(), ET_CANDLE).size(), 1u) << "its candle holder stands again";
    EXPECT_EQ(again->room->character->scale.x, 1.5f);
}

// The drops live in the world's pixels whatever the screen scale: on a large
// desktop the rain still comes down in its band above the character.
TEST_F(PlayScreenTest, RainOnTheRoofSpawnsAboveTheCharacterAtAnyScale) {
    KESetViewport(screenWidth(), screenHeight(), {2.0f, 2.0f});
    PlayScreen* screen = world.play(world.writeMap(
        "Roof.json", std::vector<std::string>(20, std::string(40, '.')), "[]", R"("bool.Storm": "true")"));
    frames(3);
    const CharacterEntity* character = screen->room->character;
    const std::vector<Particle>& drops = screen->rain->store->particles;
    ASSERT_GT(drops.size(), 5u);
    for (const Particle& drop : drops) {
        const Vector2 at = drop.position;
        EXPECT_GT(at.x, character->x - screenWidth() * 0.5f - 300);
        EXPECT_LT(at.x, character->x + screenWidth() * 0.5f + 10);
        EXPECT_GT(at.y, character->y - screenHeight() - 100);
        EXPECT_LT(at.y, character->y - screenHeight() * 0.3f + 30);
    }
}

}  // namespace
