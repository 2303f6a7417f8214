// Doors, holes, keys, the journal and checkpoints in a room owned by a play
// screen, driven frame by frame with the space bar.
#include "Content/Map.h"
#include "Engine/KeyCodes.h"
#include "Screens/JournalScreen.h"
#include "TestSupport.h"
#include "World/CheckpointEntity.h"
#include "World/DoorEntity.h"
#include "World/GameProgress.h"
#include "World/KeyEntity.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr float FRAME = 1.0f / 60.0f;

// A door in the top wall of a room of floor: its top-left at (x, 0), its
// middle 16 pixels further on and down.
std::string doorObject(const std::string& type, int x, const std::string& properties) {
    return mapObject(type, x, 0, 32, 32, R"("Target": "Study.json", "int.ID": "4")" + properties);
}

// Every door room holds the same three: open, locked by key 7, and a hole.
enum DoorIndex { OPEN_DOOR, LOCKED_DOOR, HOLE };
const int DOOR_X[] = {32, 256, 480};
const std::string THREE_DOORS =
    doorObject("Entity.Door", DOOR_X[OPEN_DOOR], "") + "," +
    doorObject("Entity.Door", DOOR_X[LOCKED_DOOR], R"(, "bool.Locked": "true", "int.KeyID": "7")") + "," +
    doorObject("Entity.Hole", DOOR_X[HOLE], "");

class InteractionTest : public PlayedRoomTest {
protected:
    void SetUp() override {
        PlayedRoomTest::SetUp();
        GameProgressReset();
    }
    void TearDown() override {
        PlayedRoomTest::TearDown();
        GameProgressReset();
    }

    void standAt(float x, float y) {
        character->x = x;
        character->y = y;
    }

    // One room update, with the space bar going down this frame when pressed.
    void step(bool pressed = false) {
        KEInputPostKey(KEY_SPACE, pressed);
        KEInputUpdate();
        room->update(FRAME);
    }

    bool leaving() const { return screen->isExiting; }

    Entity* doorAt(int x) const {
        for (Entity* door : entitiesOf(room, ET_DOOR))
            if (door->x == static_cast<float>(x)) return door;
        return nullptr;
    }

    size_t count(int32_t kind) const { return entitiesOf(room, kind).size(); }
};

// A journal lying at the far end of the room: until it is taken, no door opens.
const std::string JOURNAL = mapObject("Entity.Journal", 600, 300, 24, 20, R"("Target": "Journal")");

// The room of dark holes: they refuse a character without a burning candle.
const char* const DARK_HOLES = R"("bool.DarkHoles": "true")";

struct DoorCase {
    const char* what;
    const char* mapProperties;
    bool journalLies;
    DoorIndex door;
    int32_t collectedKey;  // 0 for none
    float candleLife;
    const char* prompt;
    bool leaves;
};

TEST_F(InteractionTest, DoorsPromptAndOpenAsTheirLockKeyJournalAndCandleAllow) {
    const DoorCase cases[] = {
        {"open door", "", false, OPEN_DOOR, 0, 10, "Open Door", true},
        {"locked, key missing", "", false, LOCKED_DOOR, 0, 10, "Door Locked", false},
        {"locked, another key", "", false, LOCKED_DOOR, 2, 10, "Door Locked", false},
        {"locked, key held: unlocks and leaves", "", false, LOCKED_DOOR, 7, 10, "Unlock Door", true},
        {"no journal yet", "", true, OPEN_DOOR, 0, 10, "I Can't Forget That Journal...", false},
        {"no journal, locked, key held", "", true, LOCKED_DOOR, 7, 10, "I Can't Forget That Journal...",
         false},
        {"hole needs no journal", "", true, HOLE, 0, 10, "Enter Hole", true},
        {"dark hole", DARK_HOLES, false, HOLE, 0, 10, "It's too dark down here without a candle", false},
        {"lit hole among dark ones", DARK_HOLES, false, HOLE, 0, 10.5f, "Enter Hole", true},
        {"hole elsewhere needs no candle", "", false, HOLE, 0, 10, "Enter Hole", true},
    };
    for (const DoorCase& c : cases) {
        SCOPED_TRACE(c.what);
        GameProgressReset();
        if (c.collectedKey != 0) gameProgress.collectedKeyIds[0] = c.collectedKey;
        // Each case a map of its own: the content cache keeps maps by path.
        enter("Doors" + std::to_string(&c - cases) + ".json",
              THREE_DOORS + (c.journalLies ? "," + JOURNAL : ""), c.mapProperties);
        standAt(static_cast<float>(DOOR_X[c.door]) + 4, 60);
        step();
        // The door alone, so that the character's own candle logic stays out of it.
        character->candleLife = c.candleLife;
        Entity* door = doorAt(DOOR_X[c.door]);
        room->prompt = nullptr;
        door->update(FRAME);
        EXPECT_STREQ(room->prompt, c.prompt);
        KEInputPostKey(KEY_SPACE, true);
        KEInputUpdate();
        door->update(FRAME);
        KEInputPostKey(KEY_SPACE, false);
        KEInputUpdate();
        EXPECT_EQ(leaving(), c.leaves);
        if (c.leaves) {
            EXPECT_EQ(screen->playState.entryDoor.target, "Study.json");
            EXPECT_EQ(screen->playState.entryDoor.id, 4);
            EXPECT_EQ(screen->playState.entryDoor.isHole, c.door == HOLE);
        }
        ScreenStackShutdown();
        ScreenStackInit();
    }
}

TEST_F(InteractionTest, ADoorReachesSixtyPixelsFromItsMiddleToTheCharactersCorner) {
    enter("Hall.json", THREE_DOORS);
    standAt(48, 16 + 60);
    step();
    EXPECT_EQ(room->prompt, nullptr) << "exactly 60 pixels away";
    standAt(48, 16 + 59.9f);
    step();
    EXPECT_STREQ(room->prompt, "Open Door");
}

TEST_F(InteractionTest, LeavingCarriesTheCandleLessTenAndTheDoorIsSolid) {
    enter("Hall.json", THREE_DOORS);
    character->giveCandle(50);
    standAt(36, 20);
    step();
    EXPECT_EQ(character->y, 32.0f) << "pushed out of the door's box";
    step(true);
    ASSERT_TRUE(leaving());
    EXPECT_NEAR(screen->playState.carriedCandleLife, character->candleLife - 10, 0.001f);
    EXPECT_GT(screen->playState.carriedCandleLife, 39.0f);
}

const std::string KEY_3 = mapObject("Entity.Key", 64, 96, 16, 16, R"("int.ID": "3")");

TEST_F(InteractionTest, APickedUpKeyIsRecordedOnceAndNeverLaidOutAgain) {
    enter("Hall.json", KEY_3);
    standAt(64 + 49, 96);
    step();
    EXPECT_STREQ(room->prompt, "Pickup Key");
    step(true);
    EXPECT_TRUE(isKeyCollected(3));
    EXPECT_EQ(std::count(std::begin(gameProgress.collectedKeyIds), std::end(gameProgress.collectedKeyIds), 3),
              1);
    step();
    EXPECT_EQ(count(ET_KEY), 0u);

    ScreenStackShutdown();
    ScreenStackInit();
    enter("Hall.json", KEY_3);
    EXPECT_EQ(count(ET_KEY), 0u) << "rebuilt without the key";
}

TEST_F(InteractionTest, WithEveryKeySlotTakenAKeyStaysWhereItLies) {
    for (int32_t& slot : gameProgress.collectedKeyIds) slot = 100;
    enter("Hall.json", KEY_3);
    standAt(64, 96);
    step(true);
    EXPECT_STREQ(room->prompt, "Pickup Key");
    step();
    EXPECT_EQ(count(ET_KEY), 1u);
}

TEST_F(InteractionTest, TheJournalIsTakenWithTheSpaceBarHeldAndStaysTakenForTheGame) {
    const std::string journal = mapObject("Entity.Journal", 160, 160, 24, 20, R"("Target": "Journal")");
    enter("RoomTutA.json", journal);
    EXPECT_FALSE(character->hasJournal) << "doors stay shut while it lies in the room";
    KEInputPostKey(KEY_SPACE, true);
    KEInputUpdate();
    standAt(160 - 80, 160);
    room->update(FRAME);
    EXPECT_FALSE(character->hasJournal) << "80 pixels away";
    KEInputUpdate();
    ASSERT_FALSE(KEInputCheckTriggered(KEY_SPACE));
    standAt(160 - 79, 160);
    room->update(FRAME);
    EXPECT_TRUE(character->hasJournal) << "held, not freshly pressed";
    KEInputPostKey(KEY_SPACE, false);
    KEInputUpdate();

    // Coming back, the room no longer lays it out; a new game finds it where it was.
    for (const bool newGame : {false, true}) {
        if (newGame) GameProgressReset();
        ScreenStackShutdown();
        ScreenStackInit();
        enter("RoomTutA.json", journal);
        EXPECT_EQ(count(ET_JOURNAL), newGame ? 1u : 0u);
        EXPECT_EQ(character->hasJournal, !newGame);
    }
    GameProgressReset();
}

// Every checkpoint fires once, in whatever order the house is played; the
// highest reached is what a death goes back to, and it never goes down.
TEST_F(InteractionTest, CheckpointsFireOnceEachInAnyOrderAndTheHighestStays) {
    auto checkpoint = [](int id, int x, int page) {
        return mapObject("Entity.CheckPoint", x, 64, 32, 64,
                         R"("int.ID": ")" + std::to_string(id) + R"(", "Room": "Room)" + std::to_string(id) +
                             R"(.json", "Journal": "Assets/Textures/JournalBackground)" +
                             std::to_string(page) + R"(.png")");
    };
    enter("Hall.json", checkpoint(6, 32, 4) + "," + checkpoint(3, 192, 2));
    ASSERT_EQ(room->spawnPoints->count, 2) << "each checkpoint is a spawn point of its id";
    // 6 first, touched edge to edge; then 3, whose page opens though 6 stays the highest.
    for (const auto& [x, page] : {std::pair{32 - character->width, MS_DIALOGUE_4}, {192.0f, MS_DIALOGUE_2}}) {
        standAt(x, 64);
        step();
        EXPECT_STREQ(ScreenStackScreens().tail->data->typeName(), "JournalScreen");
        EXPECT_TRUE(character->readingJournal);
        EXPECT_EQ(SoundManagerMusicState(), page);
        EXPECT_EQ(gameProgress.lastCheckpointId, 6);
        EXPECT_EQ(gameProgress.lastCheckpointRoom, "Room6.json");
        closeJournalPages();
        character->readingJournal = false;
    }
    step();
    EXPECT_EQ(count(ET_CHECKPOINT), 0u) << "each fired once and is gone";
}

}  // namespace
