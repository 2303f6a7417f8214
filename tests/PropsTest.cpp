// Couches, tables, images, pits, zones and the journal page screen.
#include "Content/Map.h"
#include "Engine/KeyCodes.h"
#include "Screens/JournalScreen.h"
#include "TestSupport.h"
#include "World/Camera.h"
#include "World/CouchEntity.h"
#include "World/GameProgress.h"
#include "World/ImageEntity.h"
#include "World/LightEntity.h"
#include "World/PitEntity.h"
#include "World/TableEntity.h"
#include "World/WalkZone.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr float FRAME = 1.0f / 60.0f;

class PropsTest : public PlayedRoomTest {
protected:
    template <typename Kind>
    Kind* first(int32_t kind) const {
        return entitiesOf<Kind>(room, kind).front();
    }

    // Frames that start as the game's do, so shared animations advance.
    void frames(int count, float dt = FRAME) {
        for (int i = 0; i < count; ++i) {
            KESysFrameStart();
            room->update(dt);
        }
    }
};

TEST_F(PropsTest, TurnedCouchesAndImagesLieOverTheirBoxAndTablesStretchToTheirObject) {
    enter("Hall.json", mapObject("Entity.Couch", 64, 64, 0, 0, R"("int.Type": "1", "int.Orientation": "1")") +
                           "," + mapObject("Entity.Table", 256, 64, 96, 48) + "," +
                           mapObject("Entity.Image", 320, 200, 0, 0,
                                     R"("Target": "Assets/Animations/Couch2.json", "int.Orientation": "3")"));
    auto* couch = first<CouchEntity>(ET_COUCH);
    const auto frameWidth = static_cast<float>(couch->animation->frameWidth);
    const auto frameHeight = static_cast<float>(couch->animation->frameHeight);
    ASSERT_GT(frameWidth, frameHeight) << "a couch lies along its long side";
    EXPECT_EQ(couch->width, frameHeight);
    EXPECT_EQ(couch->height, frameWidth);
    auto* table = first<TableEntity>(ET_TABLE);
    frames(1);
    EXPECT_FLOAT_EQ(table->scale.x, 96.0f / static_cast<float>(table->animation->frameWidth));
    EXPECT_FLOAT_EQ(table->width * table->scale.x, 96.0f) << "the collision box is the object";
    EXPECT_FLOAT_EQ(table->height * table->scale.y, 48.0f);

    // The drawn sprite's corners, mapped to world pixels, span the box.
    for (SpriteEntity* sprite :
         {static_cast<SpriteEntity*>(couch), static_cast<SpriteEntity*>(first<ImageEntity>(ET_IMAGE))}) {
        const Vector2 view = room->camera->viewPosition;
        float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
        for (float u : {0.0f, 1.0f})
            for (float v : {0.0f, 1.0f}) {
                float px, py;
                Matrix3TransformPoint(&sprite->transform, u * frameWidth, v * frameHeight, &px, &py);
                minX = std::min(minX, px + view.x), maxX = std::max(maxX, px + view.x);
                minY = std::min(minY, py + view.y), maxY = std::max(maxY, py + view.y);
            }
        EXPECT_NEAR(minX, sprite->x, 0.01f);
        EXPECT_NEAR(minY, sprite->y, 0.01f);
        EXPECT_NEAR(maxX, sprite->x + sprite->width, 0.01f);
        EXPECT_NEAR(maxY, sprite->y + sprite->height, 0.01f);
    }
}

TEST_F(PropsTest, APitShowsOnceLitAndPullsOnlyWhenOpen) {
    enter("Hall.json", mapObject("Entity.Pit", 320, 192, 64, 64, R"("decimal.Rate": "0.1")"));
    auto* pit = first<PitEntity>(ET_PIT);
    character->x = 32;
    character->y = 32;
    frames(5);
    EXPECT_FALSE(pit->revealed) << "out of the character's light";
    EXPECT_EQ(pit->animation->frame, 0u);

    character->x = 336;
    character->y = 205;
    frames(2);
    ASSERT_TRUE(pit->revealed) << "once the light has followed the character";
    EXPECT_FALSE(character->falling) << "a pit still closed does not pull";
    for (int i = 0; i < 60 && pit->animation->frame < PIT_OPEN_FRAME; ++i) {
        EXPECT_FALSE(character->falling) << "frame " << pit->animation->frame;
        frames(1);
    }
    frames(1);
    EXPECT_TRUE(character->falling);

    character->falling = false;
    character->scale = {1.5f, 1.5f};
    character->x = 32;
    character->y = 32;
    frames(1);
    EXPECT_TRUE(pit->revealed) << "it stays shown";
}

// An open pit catches the character whose middle, as drawn, stands over the
// round hole: not one whose box only brushes the pit's edge.
TEST_F(PropsTest, AnOpenPitCatchesTheCharacterWhoseMiddleIsOverTheHole) {
    const struct {
        const char* what;
        float middleX, middleY;  // the character's, from the pit's middle
        bool falls;
    } cases[] = {
        {"over the middle", 0, 0, true},
        {"just inside the rim", 24, 0, true},
        {"beside the rim, its box over the pit", 30, 0, false},
        {"above, its box over the pit's top", 0, -30, false},
        {"over the box's corner, outside the round hole", 21, 21, false},
    };
    for (const auto& c : cases) {
        enter("Hall.json", mapObject("Entity.Pit", 320, 192, 64, 64, R"("decimal.Rate": "0.01")"));
        auto* pit = first<PitEntity>(ET_PIT);
        character->candleFrozen = true;
        const auto place = [&] {
            character->x = 352 + c.middleX - character->width * character->scale.x * 0.5f;
            character->y = 224 + c.middleY - character->height * character->scale.y * 0.5f;
        };
        place();
        frames(2);
        ASSERT_TRUE(pit->revealed) << c.what << ": the light follows a frame behind";
        for (int i = 0; i < 30 && !character->falling; ++i) {
            place();
            frames(1);
        }
        EXPECT_GE(pit->animation->frame, PIT_OPEN_FRAME) << c.what;
        EXPECT_EQ(character->falling, c.falls) << c.what;
        ScreenStackShutdown();
        ScreenStackInit();
    }
}

TEST_F(PropsTest, TheStormSoundsOnlyInItsZoneOutInTheStorm) {
    const std::string zone = mapObject("Entity.Zone", 0, 0, 512, 384, R"("Name": "Rain_And_Thunder")");
    enter("Attic.json", zone);
    frames(2);
    EXPECT_EQ(SoundManagerAmbienceState(), AS_QUIET) << "indoors";
    ScreenStackShutdown();
    ScreenStackInit();
    enter("Roof.json", zone, R"("bool.Storm": "true")");
    frames(2);
    EXPECT_EQ(SoundManagerAmbienceState(), AS_STORM);
    character->x = 600;
    frames(1);
    EXPECT_EQ(SoundManagerAmbienceState(), AS_QUIET) << "stepped out";
}

// Played once to the end, the scene stands still until a new game resets it.
TEST_F(PropsTest, TheFinalSceneLeavesForTheCreditsOncePerGame) {
    auto playScene = [&] {
        enter("End.json", mapObject("Entity.Zone", 0, 0, 64, 384, R"("Name": "WALK")"));
        character->x = 10;
        character->y = 100;
        for (int i = 0; i < 600 && !screen->isExiting; ++i) frames(1, 0.02f);
        const bool leftForCredits = screen->isExiting && screen->playState.entryDoor.target == "Outro";
        ScreenStackShutdown();
        ScreenStackInit();
        return leftForCredits;
    };
    GameProgressReset();
    EXPECT_TRUE(playScene());
    EXPECT_FALSE(playScene()) << "the scene state outlives the room";
    GameProgressReset();
    EXPECT_TRUE(playScene());
}

TEST(JournalScreenTest, APageShrinksToFitTheScreenBothWaysAndIsNeverEnlarged) {
    struct Fit {
        float width, height, scale;
    };
    for (const Fit& fit : {Fit{1600, 1200, 0.5f}, Fit{1000, 500, 0.8f}, Fit{700, 700, 600.0f / 700.0f},
                           Fit{2000, 700, 0.4f}, Fit{400, 300, 1.0f}})
        EXPECT_FLOAT_EQ(journalPageScale(fit.width, fit.height, 800, 600), fit.scale)
            << fit.width << " x " << fit.height;
}

TEST_F(PropsTest, EClosesAnOrdinaryPageAndCutsItsNarrationButNotTheFinalPage) {
    enter("Hall.json", "");
    for (int page : {3, 8}) {
        auto* journal = pushScreen(
            new_JournalScreen(("Assets/Textures/JournalBackground" + std::to_string(page) + ".png").c_str()));
        EXPECT_EQ(SoundManagerMusicState(), MS_DIALOGUE_1 + page - 1);
        EXPECT_EQ(journal->capturesInput, page != 8);
        EXPECT_EQ(journal->offsetX, 0.0f) << "a page as wide as the screen";
        KEInputPostKey(KEY_E, true);
        KEInputUpdate();
        journal->handleInput(FRAME);
        KEInputPostKey(KEY_E, false);
        KEInputUpdate();
        EXPECT_EQ(journal->isExiting, page != 8);
        EXPECT_EQ(SoundManagerMusicState(), page == 8 ? MS_DIALOGUE_8 : MS_CALM);
    }
}

}  // namespace
