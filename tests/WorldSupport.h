// A playable room built in a scratch directory from a plan of text rows,
// with the game's own assets linked in, the engine headless and the sound
// silent. Tests and benchmarks of the world share it.
#pragma once

#include "Audio/EventAudio.h"
#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Engine/Viewport.h"
#include "Game/Game.h"
#include "Sandbox.h"
#include "Screens/NotificationBar.h"
#include "Screens/PlayScreen.h"
#include "TestSupport.h"
#include "Util/StringHelper.h"
#include "Util/TimeoutManager.h"
#include "Util/TweenManager.h"
#include "World/CharacterEntity.h"
#include "World/Room.h"

#include <filesystem>
#include <string>
#include <vector>

inline constexpr int WORLD_TILE = 32;
// Where the game's rooms live; tests write theirs there.
inline const std::string ROOMS = "Assets/FloorTemplate/FinalRooms";

// Adds an entity to the room, which owns it, and hands back where it went.
template <typename Kind>
Kind* addEntityTo(Room& room, std::unique_ptr<Kind> entity) {
    Kind* added = entity.get();
    room.addEntity(std::move(entity));
    return added;
}

class TestWorld {
public:
    // Rooms are laid out for a screen of that size in virtual pixels.
    // Without startSound the caller runs the sound manager itself.
    explicit TestWorld(int width = 896, int height = 504, bool startSound = true)
        : engine(width, height), ownsSound(startSound) {
        linkAssets();
        saved = KEGetViewport();
        KESetViewport(static_cast<float>(width), static_cast<float>(height), {1.0f, 1.0f});
        debugRectMesh = nullptr;
        ContentManagerInit();
        TimeoutManagerInit();
        TweenManagerInit();
        if (ownsSound) {
            AudioConfigure(AudioBackend::Silent);
            SoundManagerInit();
        }
        NotificationBarInit();
        writeTiles();
    }

    ~TestWorld() {
        room.reset();
        currentCharacter = nullptr;
        NotificationBarShutdown();
        if (ownsSound) SoundManagerShutdown();
        ContentManagerShutdown();
        TweenManagerShutdown();
        TimeoutManagerShutdown();
        KESetViewport(saved.width, saved.height, saved.scale);
    }

    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // Writes a map into the rooms folder and returns its path as the game
    // names it: '#' is a wall (it blocks light and the character), any
    // other character floor. objects is the JSON array of the object group,
    // properties the map's own (an object's items: what the room is like).
    std::string writeMap(const std::string& name, const std::vector<std::string>& rows,
                         const std::string& objects = "[]", const std::string& properties = "") const {
        std::string floor, walls;
        for (const std::string& row : rows)
            for (char cell : row) {
                floor += std::string(floor.empty() ? "" : ",") + "1";
                walls += std::string(walls.empty() ? "" : ",") + (cell == '#' ? "2" : "0");
            }
        std::string json =
            "{\"width\": " + std::to_string(rows.front().size()) +
            ", \"height\": " + std::to_string(rows.size()) +
            ", \"tilewidth\": 32, \"tileheight\": 32, \"tilesets\": [{\"image\": \"Tiles.png\","
            " \"imagewidth\": 64, \"imageheight\": 32, \"firstgid\": 1, \"tileproperties\":"
            " {\"1\": {\"bool.Blocking\": \"true\"}}}], \"layers\": ["
            "{\"type\": \"tilelayer\", \"visible\": true, \"opacity\": 1, \"data\": [" +
            floor + "]}, {\"type\": \"tilelayer\", \"visible\": true, \"opacity\": 1, \"data\": [" + walls +
            "]}, {\"type\": \"objectgroup\", \"objects\": " + objects + "}]" +
            (properties.empty() ? "" : ", \"properties\": {" + properties + "}") + "}";
        files.write(ROOMS + "/" + name, json);
        return ROOMS + "/" + name;
    }

    // The same, with a light over the whole map before the objects (a JSON
    // list's items), so that a character without a candle lives on.
    std::string writeLitMap(const std::string& name, const std::vector<std::string>& rows,
                            const std::string& objects, const std::string& properties = "") const {
        const std::string light =
            R"({"type": "Entity.Light", "x": -512, "y": -512, "width": 1664, "height": 1664})";
        return writeMap(name, rows, "[" + light + (objects.empty() ? "" : ",") + objects + "]", properties);
    }

    // A play screen of the map, carrying a candle of that life in, put on the screen stack.
    static PlayScreen* play(const std::string& mapPath, float carriedCandleLife = 0) {
        PlayState entry;
        entry.entryDoor.target = mapPath;
        entry.carriedCandleLife = carriedCandleLife;
        return pushScreen(new_PlayScreen(&entry));
    }

    // The room a play state entering the map through spawn point id leads to.
    Room* enter(const std::string& mapPath, int entryId = 0, float carriedCandleLife = 0,
                PlayScreen* owner = nullptr) {
        room.reset();
        PlayState entry;
        entry.entryDoor.target = mapPath;
        entry.entryDoor.id = entryId;
        entry.carriedCandleLife = carriedCandleLife;
        room = new_Room(owner, &entry);
        return room.get();
    }

    // The house's own rooms too, beside the test's.
    void linkHouseRooms() const {
        const std::filesystem::path rooms =
            std::filesystem::absolute(HALCYRA_ASSETS) / "FloorTemplate/FinalRooms";
        for (const auto& entry : std::filesystem::directory_iterator(rooms))
            std::filesystem::create_symlink(entry.path(),
                                            files.path(ROOMS + "/" + entry.path().filename().string()));
    }

    HeadlessEngine engine;
    ScratchDirectory files;
    ScopedDirectory inFiles{files.root};
    std::unique_ptr<Room> room;

private:
    bool ownsSound;
    Viewport saved;

    // The game's assets, but for a folder of rooms of the test's own, so
    // maps can be written at the paths the game gives meaning to.
    void linkAssets() const {
        std::filesystem::create_directories(files.path(ROOMS));
        const std::filesystem::path assets = std::filesystem::absolute(HALCYRA_ASSETS);
        for (const auto& entry : std::filesystem::directory_iterator(assets))
            if (entry.path().filename() != "FloorTemplate")
                std::filesystem::create_symlink(entry.path(),
                                                files.path("Assets/" + entry.path().filename().string()));
    }

    // Floor light grey, walls brown.
    void writeTiles() const {
        std::vector<uint32_t> pixels(64 * 32);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = i % 64 < 32 ? 0xFFB0B0B0u : 0xFF204070u;
        stbi_write_png(files.path(ROOMS + "/Tiles.png").c_str(), 64, 32, 4, pixels.data(), 64 * 4);
    }
};

// A map object of that type and box, with the properties (an object's items), as JSON.
inline std::string mapObject(const std::string& type, int x, int y, int width, int height,
                             const std::string& properties = "") {
    return R"({"type": ")" + type + R"(", "x": )" + std::to_string(x) + R"(, "y": )" + std::to_string(y) +
           R"(, "width": )" + std::to_string(width) + R"(, "height": )" + std::to_string(height) +
           R"(, "properties": {)" + properties + "}}";
}

// A 20 x 12 room of floor, lit all over, played by a screen on the screen stack.
class PlayedRoomTest : public ::testing::Test {
protected:
    void SetUp() override { ScreenStackInit(); }
    void TearDown() override { ScreenStackShutdown(); }

    // Plays the map of that name holding the objects (a JSON list's items),
    // with the map's own properties (an object's items).
    Room* enter(const std::string& name, const std::string& objects, const std::string& properties = "") {
        screen = TestWorld::play(
            world.writeLitMap(name, std::vector<std::string>(12, std::string(20, '.')), objects, properties));
        room = screen->room.get();
        character = room->character;
        return room;
    }

    TestWorld world;
    PlayScreen* screen = nullptr;
    Room* room = nullptr;
    CharacterEntity* character = nullptr;
};

// The room's entities of that kind, in the room's order.
template <typename Kind = Entity>
std::vector<Kind*> entitiesOf(Room* room, int32_t kind) {
    const std::unique_ptr<List<Entity>> found = room->getEntitiesOfKind(kind);
    std::vector<Kind*> entities;
    for (Entity* entity : *found) entities.push_back(static_cast<Kind*>(entity));
    return entities;
}
