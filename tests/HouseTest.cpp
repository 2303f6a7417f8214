// The house as it ships: every room of the preload list, built as the game
// builds it, checked for what a player would trip over.
#include "Content/Map.h"
#include "Content/PreloadList.h"
#include "World/TextEntity.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Read where the world's scratch directory links the game's assets.
std::vector<std::string> houseRooms() {
    std::vector<std::string> rooms;
    for (const PreloadEntry& entry : PreloadListRead(PRELOAD_PATH))
        if (entry.type == CT_MAP) rooms.push_back(entry.file);
    return rooms;
}

bool overlap(const Entity& a, const Entity& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The floor's words are placed in the world's pixels and drawn at the virtual
// resolution, so what holds here holds at every desktop size: no two texts
// of a room run into each other, and each lies on floor, not over a wall.
TEST(HouseTest, NoTwoTextsOnAFloorOverlapAndEachLiesOnTheFloor) {
    TestWorld world;
    world.linkHouseRooms();
    const std::vector<std::string> rooms = houseRooms();
    ASSERT_GE(rooms.size(), 13u);
    for (const std::string& path : rooms) {
        Room* room = world.enter(path);
        const std::vector<TextEntity*> texts = entitiesOf<TextEntity>(room, ET_TEXT);
        for (size_t i = 0; i < texts.size(); ++i) {
            for (size_t j = i + 1; j < texts.size(); ++j)
                EXPECT_FALSE(overlap(*texts[i], *texts[j]))
                    << path << ": \"" << texts[i]->text << "\" runs into \"" << texts[j]->text << "\"";
            Map& map = *room->map;
            const TextEntity& text = *texts[i];
            for (int row = static_cast<int>(text.y) / map.tileHeight;
                 row <= static_cast<int>(text.y + text.height - 1) / map.tileHeight; ++row)
                for (int column = static_cast<int>(text.x) / map.tileWidth;
                     column <= static_cast<int>(text.x + text.width - 1) / map.tileWidth; ++column) {
                    const Tile* wall = map.getTile(column, row, 1);
                    EXPECT_TRUE(wall == nullptr || (wall->flags & TILE_COLLISION) == 0)
                        << path << ": \"" << text.text << "\" lies over the wall at column " << column
                        << ", row " << row;
                }
        }
    }
}

}  // namespace
