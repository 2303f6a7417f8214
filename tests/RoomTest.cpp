#include "Content/Map.h"
#include "Content/PreloadList.h"
#include "Effects/FireEmitter.h"
#include "Effects/FlareEmitter.h"
#include "Screens/NotificationBarInspection.h"
#include "TestSupport.h"
#include "World/Camera.h"
#include "World/CandleEntity.h"
#include "World/ImageEntity.h"
#include "World/LanternEntity.h"
#include "World/LightEntity.h"
#include "World/Spawner.h"
#include "World/TextEntity.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

// An entity that notes its updates and may act during them.
class Marker : public Entity {
public:
    Marker(Room* owner, int32_t z, std::string text, std::vector<std::string>* updates)
        : Entity(ET_ZONE, owner), label(std::move(text)), log(updates) {
        zIndex = z;
    }
    ~Marker() override { log->push_back("~" + label); }
    void update(float) override {
        log->push_back(label);
        if (onUpdate) onUpdate();
    }

    std::string label;
    std::vector<std::string>* log;
    std::function<void()> onUpdate;
};

std::vector<std::string> order(const Room& room) {
    std::vector<std::string> labels;
    for (ListNode<Entity>* node = room.entities->head; node != nullptr; node = node->next)
        labels.push_back(static_cast<Marker*>(node->data)->label);
    return labels;
}

TEST(RoomTest, EntitiesRunInZOrderNewestFirstAndLeaveAtTheNextUpdate) {
    std::vector<std::string> log;
    Room room;
    room.addEntity(std::make_unique<Marker>(&room, 5, "a", &log));
    auto* b = addEntityTo(room, std::make_unique<Marker>(&room, 5, "b", &log));
    room.addEntity(std::make_unique<Marker>(&room, 1, "c", &log));
    EXPECT_EQ(order(room), (std::vector<std::string>{"c", "b", "a"})) << "equal z: the newest first";
    EXPECT_EQ(b->id, 1u);

    // b removes itself, and adds one entity behind it and one in front.
    b->onUpdate = [&] {
        room.removeEntity(b);
        room.addEntity(std::make_unique<Marker>(&room, 9, "behind", &log));
        room.addEntity(std::make_unique<Marker>(&room, 0, "front", &log));
        b->onUpdate = nullptr;
    };
    room.update(0.1f);
    EXPECT_EQ(log, (std::vector<std::string>{"c", "b", "a", "behind"})) << "behind runs in the same pass";
    EXPECT_EQ(order(room), (std::vector<std::string>{"front", "c", "b", "a", "behind"}));

    log.clear();
    room.update(0.1f);
    EXPECT_EQ(log, (std::vector<std::string>{"front", "c", "~b", "a", "behind"}));
    EXPECT_EQ(room.findEntityByName(nullptr), room.entities->head->data) << "no name matches no name";
}

class RoomWorldTest : public ::testing::Test {
protected:
    TestWorld world;
    const std::vector<std::string> plan = std::vector<std::string>(12, std::string(20, '.'));
};

// 64 x 64 spawn areas; the character's box is 18 x 26 before its scale.
const std::string SPAWNS = R"([
 {"type": "Character.Spawn", "x": 64, "y": 64, "width": 64, "height": 64, "properties": {"int.ID": "0"}},
 {"type": "Entity.Spawn", "x": 256, "y": 128, "width": 64, "height": 64, "properties": {"int.ID": "2"}},
 {"type": "Entity.Light", "name": "Hall", "x": 100, "y": 40, "width": 96, "height": 96,
  "properties": {"decimal.Intensity": "0.5"}},
 {"type": "Entity.Candle", "x": 320, "y": 64, "width": 32, "height": 32, "properties": {"decimal.Life": "30"}},
 {"type": "Entity.Lantern", "x": 400, "y": 64, "width": 14, "height": 24,
  "properties": {"int.Orientation": "1", "decimal.Radius": "150", "decimal.Intensity": "0.8"}},
 {"type": "Entity.Fire", "x": 10, "y": 20, "width": 32, "height": 32},
 {"type": "Entity.Flare", "x": 30, "y": 40, "width": 16, "height": 16},
 {"type": "Entity.Ghost", "x": 30, "y": 40, "width": 16, "height": 16}])";

TEST_F(RoomWorldTest, TheSpawnerPlacesTheMapsObjectsAndTheCharacterAtItsEntry) {
    testing::internal::CaptureStderr();
    Room* room = world.enter(world.writeMap("Hall.json", plan, SPAWNS), 2);
    EXPECT_THAT(
        testing::internal::GetCapturedStderr(),
        testing::HasSubstr("warning: Map object \"\" (Entity.Ghost at 30, 40) is of a type the game does "
                           "not know; it is left out. File: Assets/FloorTemplate/FinalRooms/Hall.json"));
    EXPECT_FATAL(checkMapObjectTypes(*room->map),
                 "Map object \"\" \\(Entity.Ghost at 30, 40\\) is of a type "
                 "the game does not know.*Hall.json")
        << "--check-assets refuses it";
    CharacterEntity* character = room->character;
    EXPECT_EQ(currentCharacter, character);
    EXPECT_EQ(character->x, 256 + (64 - 18) / 2.0f);
    EXPECT_EQ(character->y, 128 + (64 - 26) / 2.0f);
    EXPECT_EQ(room->camera->position.x, character->x - 448);
    EXPECT_EQ(room->camera->target.y, character->y - 252);

    auto* hall = static_cast<LightEntity*>(room->findEntityByName("Hall"));
    ASSERT_NE(hall, nullptr);
    EXPECT_EQ((std::array{hall->centerX, hall->radius, hall->intensity}), (std::array{148.0f, 48.0f, 0.5f}));
    EXPECT_EQ(entitiesOf(room, ET_LIGHT).size(), 4u)
        << "the map's, the candle's, the lantern's and the character's";
    EXPECT_EQ(room->fireEmitters->count, 1);
    EXPECT_EQ(room->flareEmitters->count, 1);
    EXPECT_EQ(room->entities->tail->data->kind, ET_CANDLE)
        << "the lantern came later; couches are not placed yet";

    room->update(1.0f / 60);
    auto* lantern = static_cast<LanternEntity*>(room->entities->tail->prev->data);
    EXPECT_NEAR(lantern->fireEmitter->position.x, 400 - 5 * 1.5f, 1e-3f) << "the flame turned a quarter";
    EXPECT_NEAR(lantern->fireEmitter->position.y, 64 + 7 * 1.5f, 1e-3f);
    EXPECT_EQ(lantern->light->radius, 150.0f);
}

TEST_F(RoomWorldTest, AnUnknownEntryStartsAtTheFirstSpawnPointOrTheMapsMiddle) {
    testing::internal::CaptureStderr();
    Room* room = world.enter(world.writeMap("Hall.json", plan, SPAWNS), 7);
    EXPECT_EQ(room->character->x, 64 + 23.0f);
    room = world.enter(world.writeMap("Bare.json", plan), 0);
    EXPECT_EQ(room->character->x, 320.0f);
    EXPECT_EQ(room->character->y, 192.0f);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                testing::HasSubstr("warning: The map has no spawn point 7; the character starts at its first "
                                   "spawn point. File: Assets/FloorTemplate/FinalRooms/Hall.json"));
}

TEST_F(RoomWorldTest, AnObjectWithoutARequiredPropertyOrWithABadValueNamesMapObjectAndKey) {
    struct Broken {
        const char* type;
        const char* properties;
        const char* problem;
    };
    const Broken broken[] = {
        {"Entity.Lantern", R"("int.Orientation": "1", "decimal.Intensity": "0.8")",
         "is missing its required property \"Radius\""},
        {"Entity.Door", R"("int.ID": "1")", "is missing its required property \"Target\""},
        {"Entity.Door", R"("Target": "Intro")", "is missing its required property \"AfterIntro\""},
        {"Entity.Door", R"("Target": "Study.json", "bool.Locked": "true")",
         "has \"KeyID\" 0, but key ids start at 1"},
        {"Entity.Key", "", "is missing its required property \"ID\""},
        {"Entity.Key", R"("int.ID": "0")", "has \"ID\" 0, but key ids start at 1"},
        {"Entity.CheckPoint", R"("Room": "Hall.json")", "is missing its required property \"ID\""},
        {"Entity.CheckPoint", R"("int.ID": "2")", "is missing its required property \"Room\""},
        {"Entity.Couch", R"("int.Type": "6")", "has \"Type\" 6, but couch looks are 0 to 5"},
        {"Entity.Image", R"("int.Orientation": "0")", "is missing its required property \"Target\""},
        {"Entity.Image", R"("Target": "Assets/Animations/Door.json")",
         "is missing its required property \"Orientation\""},
        {"Entity.Pit", "", "is missing its required property \"Rate\""},
        {"Entity.Text", "", "is missing its required property \"Text\""},
        {"Entity.Zone", "", "is missing its required property \"Name\""},
    };
    int map = 0;
    for (const Broken& b : broken) {
        const std::string porch =
            std::string(R"([{"type": ")") + b.type +
            R"(", "name": "porch", "x": 8, "y": 16, "width": 14, "height": 24, "properties": {)" +
            b.properties + "}}]";
        const std::string path = world.writeMap("Hall" + std::to_string(++map) + ".json", {"...."}, porch);
        EXPECT_FATAL(world.enter(path), "Map object \"porch\" \\(" + std::string(b.type) + " at 8, 16\\) " +
                                            b.problem + ".*File: " + path);
    }
}

// A map says what its room is like; what it says wrongly names the map.
TEST_F(RoomWorldTest, TheMapSaysWhatTheRoomIsLike) {
    const RoomRules plain = world.enter(world.writeMap("Hall.json", {"...."}))->rules;
    EXPECT_TRUE(plain == RoomRules{}) << "a map without properties makes an ordinary room";
    EXPECT_TRUE(!plain.storm && !plain.finalPassage && plain.respawnWithCandle && !plain.darkHoles &&
                plain.candleBurns && plain.characterLight == 40 && plain.music == RoomMusic::Spooky);
    const RoomRules drive = world
                                .enter(world.writeMap("Drive.json", {"...."}, "[]",
                                                      R"("bool.Storm": "true", "bool.CandleBurns": "false",
                                                          "bool.RespawnWithCandle": "false",
                                                          "decimal.CharacterLight": "120", "Music": "menu")"))
                                ->rules;
    EXPECT_TRUE(drive.storm && !drive.candleBurns && drive.characterLight == 120 &&
                drive.music == RoomMusic::Menu);
    EXPECT_TRUE(world.room->character->candleFrozen);
    EXPECT_EQ(world.room->character->light->radius, 120.0f);
    EXPECT_EQ(SoundManagerMusicState(), MS_MENU);

    const std::pair<const char*, const char*> broken[] = {
        {R"("Storm": "true")", "Property Storm is a string, not a bool"},
        {R"("Music": "jazz")",
         "Map property \"Music\" is \"jazz\", but a room starts with \"spooky\" or \"menu\""},
        {R"("decimal.CharacterLight": "-3")",
         "Map property \"CharacterLight\" is -3, but the character's light reaches 1 to 1024"},
    };
    int odd = 0;
    for (const auto& [properties, message] : broken) {
        const std::string path =
            world.writeMap("Odd" + std::to_string(++odd) + ".json", {"...."}, "[]", properties);
        EXPECT_FATAL(world.enter(path), std::string(message) + ".*File: " + path);
    }
}

// An entity that sets the room's prompt each frame.
class Prompter : public Entity {
public:
    explicit Prompter(Room* owner) : Entity(ET_ZONE, owner) {}
    void update(float) override { room->prompt = text; }
    const char* text = nullptr;
};

// The room passes its prompt to the screen that plays it, which shows it in
// the notification bar.
TEST_F(RoomWorldTest, ThePromptShowsChangesAndHidesTheNotificationBar) {
    ScreenStackInit();
    Room* room = world.play(world.writeMap("Hall.json", {"...."}))->room.get();
    auto* prompter = addEntityTo(*room, std::make_unique<Prompter>(room));
    auto frame = [&](const char* text) {
        prompter->text = text;
        room->update(0.05f);
        UpdateTweens(0.05f);
    };
    frame("Open Door");
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_SHOWING);
    for (int i = 0; i < 6; ++i) frame("Open Door");
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_SHOWN);
    frame("Unlock Door");
    EXPECT_STREQ(NotificationBarText(), "Unlock Door");
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_SHOWING) << "a new text slides in without hiding";
    for (int i = 0; i < 20; ++i) frame(nullptr);
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_HIDDEN);
    EXPECT_EQ(NotificationBarText(), nullptr);
    ScreenStackShutdown();
}

struct Box {
    float x, y, width, height;
};

// The box an entity takes on the floor, scaled as a sprite is drawn.
Box boxOf(const Entity& entity) {
    const auto* sprite = dynamic_cast<const SpriteEntity*>(&entity);
    const Vector2 scale = sprite != nullptr ? sprite->scale : Vector2{1.0f, 1.0f};
    return {entity.x, entity.y, entity.width * scale.x, entity.height * scale.y};
}

bool overlap(const Box& a, const Box& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Whether any cell under the box is a wall the character collides with.
bool overWall(Map& map, const Box& box) {
    for (int row = static_cast<int>(box.y) / map.tileHeight; row * map.tileHeight < box.y + box.height; ++row)
        for (int column = static_cast<int>(box.x) / map.tileWidth; column * map.tileWidth < box.x + box.width;
             ++column)
            if (const Tile* cell = map.getTile(column, row, 1); cell && (cell->flags & TILE_COLLISION))
                return true;
    return false;
}

// Texts, and the solid furniture and fittings a text must stay clear of.
bool standsOnTheFloor(const Entity& entity) {
    if (entity.kind == ET_IMAGE) return static_cast<const ImageEntity&>(entity).collidable;
    for (int32_t kind : {ET_TEXT, ET_CANDLE, ET_DOOR, ET_COUCH, ET_TABLE, ET_JOURNAL, ET_KEY, ET_LANTERN})
        if (entity.kind == kind) return true;
    return false;
}

// Every room of the house as it ships. The floor's words are placed in the
// world's pixels and drawn at the virtual resolution, so what holds here
// holds at every desktop size: none runs into another, over a wall or under
// a solid thing.
TEST(HouseTest, EveryTextOnAFloorStandsClear) {
    TestWorld world;
    world.linkHouseRooms();
    for (const PreloadEntry& entry : PreloadListRead(PRELOAD_PATH)) {
        if (entry.type != CT_MAP) continue;
        Room* room = world.enter(entry.file);
        for (TextEntity* text : entitiesOf<TextEntity>(room, ET_TEXT)) {
            EXPECT_FALSE(overWall(*room->map, boxOf(*text))) << entry.file << ": \"" << text->text << "\"";
            for (Entity* other : *room->entities) {
                if (other == text || !standsOnTheFloor(*other)) continue;
                EXPECT_FALSE(overlap(boxOf(*text), boxOf(*other)))
                    << entry.file << ": \"" << text->text << "\" runs into a thing of kind " << other->kind
                    << " at " << other->x << ", " << other->y;
            }
        }
    }
}

}  // namespace
