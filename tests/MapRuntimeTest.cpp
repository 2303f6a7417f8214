#include "Content/ContentManager.h"
#include "Content/MapContent.h"
#include "Engine/Viewport.h"
#include "Game/Game.h"
#include "Screens/PlayScreen.h"
#include "TestSupport.h"
#include "World/Camera.h"
#include "World/Room.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct VisibleRange {
    int firstColumn, lastColumn, firstRow, lastRow;
    bool operator==(const VisibleRange&) const = default;
};

std::ostream& operator<<(std::ostream& out, const VisibleRange& range) {
    return out << "columns " << range.firstColumn << ".." << range.lastColumn << ", rows " << range.firstRow
               << ".." << range.lastRow;
}

// A 40 x 30 map of 32-pixel tiles on an 800 x 600 screen, as the loader sizes it.
class MapVisibleRangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        map.width = 40;
        map.height = 30;
        map.tileWidth = 32;
        map.tileHeight = 32;
        map.visibleColumns = 26;
        map.visibleRows = 20;
    }
    VisibleRange rangeSeenFrom(float x, float y) {
        map.prepare({x, y});
        return {map.firstColumn, map.lastColumn, map.firstRow, map.lastRow};
    }

    ScopedViewport viewport{800.0f, 600.0f, screenScale()};
    Map map;
};

// A tile of margin each way, truncated toward zero, widened up to the
// screen's far edge for a camera before the map, and inside the map.
TEST_F(MapVisibleRangeTest, CoversTheScreenWithAOneTileMarginInsideTheMap) {
    const std::tuple<float, float, VisibleRange> cases[] = {
        {100.7f, 70.9f, {2, 30, 1, 23}},      {-0.5f, 0.0f, {0, 27, 0, 21}},
        {-40.0f, 0.0f, {0, 24, 0, 21}},       {0.0f, -100.0f, {0, 27, 0, 16}},
        {-900.0f, 0.0f, {0, 0, 0, 21}},       {1000.0f, 900.0f, {30, 40, 27, 30}},
        {5000.0f, 5000.0f, {40, 40, 30, 30}},
    };
    for (const auto& [x, y, range] : cases) EXPECT_EQ(rangeSeenFrom(x, y), range) << x << ", " << y;
}

using Pixel = std::array<int, 3>;
constexpr Pixel BLACK{0, 0, 0};
constexpr Pixel RED{255, 0, 0};
constexpr Pixel GREEN{0, 255, 0};
constexpr Pixel BLUE{0, 0, 255};

// Two tiles of 32 pixels in one image: gid 1 green, gid 2 blue. The floor is
// green but for a blue cell at column 2, row 1; the darkness layer has walls
// (blue) at (1, 0) and (0, 1).
const std::string ROOM =
    R"({"width": 4, "height": 2, "tilewidth": 32, "tileheight": 32,
 "tilesets": [{"image": "Tiles.png", "imagewidth": 64, "imageheight": 32, "firstgid": 1}],
 "layers": [
  {"type": "tilelayer", "visible": true, "opacity": 1, "data": [1, 1, 1, 1, 1, 1, 2, 1]},
  {"type": "tilelayer", "visible": true, "opacity": 1, "data": [0, 2, 0, 0, 2, 0, 0, 0]}]})";

// Members go after TearDown: the engine outlives the textures.
class MapDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContentManagerInit();
        writeTileImage();
        map = ContentLoad<Map>(files.write("Room.json", ROOM).c_str(), CF_DEFERRED);
        MapContentComplete(map);
        KEGfxSetBackgroundColor(1, 0, 0);
        KESysFrameStart();
        map->prepare(camera.viewPosition);
    }
    void TearDown() override { ContentManagerShutdown(); }

    void writeTileImage() const {
        std::vector<uint32_t> pixels(64 * 32);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = i % 64 < 32 ? 0xFF00FF00u : 0xFFFF0000u;
        stbi_write_png(files.path("Tiles.png").c_str(), 64, 32, 4, pixels.data(), 64 * 4);
    }

    Tile& floor(int column, int row) { return *map->getTile(column, row, 0); }
    Tile& darkness(int column, int row) { return *map->getTile(column, row, 1); }

    void lightFloor() {
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 4; ++column) floor(column, row).flags |= TILE_LIT;
    }
    static void light(Tile& tile, float darkness) {
        tile.flags |= TILE_LIT;
        tile.darkness = darkness;
    }

    // The middle of each cell of the frame drawn so far, row by row.
    std::vector<Pixel> cellColours() const {
        Frame frame;
        std::vector<Pixel> colours;
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 4; ++column) {
                const unsigned char* p = frame.at(column * 32 + 16, row * 32 + 16);
                colours.push_back({p[0], p[1], p[2]});
            }
        return colours;
    }

    ScratchDirectory files;
    ScopedViewport viewport{128.0f, 64.0f, screenScale()};
    HeadlessEngine engine{128, 64};
    Map* map = nullptr;
    Camera camera;
};

TEST_F(MapDrawTest, FloorShowsOnlyLitTilesAndConsumesTheirMarks) {
    floor(0, 0).flags |= TILE_LIT;
    floor(2, 1).flags |= TILE_LIT;
    map->drawFloor(1.0f, MARKS_EXPIRE);
    EXPECT_EQ(cellColours(), (std::vector<Pixel>{GREEN, RED, RED, RED, RED, RED, BLUE, RED}));
    EXPECT_EQ(floor(0, 0).flags & TILE_LIT, 0u);
    EXPECT_EQ(floor(2, 1).flags & TILE_LIT, 0u);
}

TEST_F(MapDrawTest, DarknessBlacksOutUnlitCellsAndThinsOverLitOnes) {
    lightFloor();
    map->drawFloor(1.0f, MARKS_EXPIRE);
    light(darkness(0, 0), 0.99995f);
    light(darkness(1, 0), 0.0f);
    light(darkness(2, 0), 0.5f);
    map->drawDarkness(1.0f, MARKS_EXPIRE);

    const Pixel halfGreen{0, 128, 0};
    // Unlit cells: the empty ones show the floor, the walls are black.
    const std::vector<Pixel> expected{BLACK, BLUE, halfGreen, GREEN, BLACK, GREEN, BLUE, GREEN};
    const std::vector<Pixel> actual = cellColours();
    for (size_t cell = 0; cell < expected.size(); ++cell)
        for (size_t channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(actual[cell][channel], expected[cell][channel], 2) << "cell " << cell;
    EXPECT_EQ(darkness(2, 0).flags & TILE_LIT, 0u);
    EXPECT_EQ(darkness(2, 0).darkness, 1.0f);
}

TEST_F(MapDrawTest, CellsOutOfViewKeepTheirMarks) {
    camera.viewPosition = {500.0f, 0.0f};
    map->prepare(camera.viewPosition);
    lightFloor();
    light(darkness(3, 1), 0.25f);
    map->drawFloor(1.0f, MARKS_EXPIRE);
    map->drawDarkness(1.0f, MARKS_EXPIRE);
    EXPECT_EQ(cellColours(), std::vector<Pixel>(8, RED));
    EXPECT_NE(floor(3, 1).flags & TILE_LIT, 0u);
    EXPECT_EQ(darkness(3, 1).darkness, 0.25f);
}

TEST_F(MapDrawTest, MarksLastWhileAnotherScreenHasFocus) {
    std::filesystem::create_directory_symlink(std::filesystem::absolute(HALCYRA_ASSETS),
                                              files.path("Assets"));
    const ScopedDirectory inFiles(files.root);
    const PlayState entry;
    PlayScreen playScreen(&entry);
    Room room;
    room.map = map;
    room.owner = &playScreen;
    floor(0, 0).flags |= TILE_LIT;
    light(darkness(0, 0), 0.3f);
    playScreen.otherScreenHasFocus = true;
    for (int frame = 0; frame < 2; ++frame) room.draw(1.0f, 0.0f);
    EXPECT_NE(floor(0, 0).flags & TILE_LIT, 0u);
    EXPECT_NE(darkness(0, 0).flags & TILE_LIT, 0u);
    EXPECT_EQ(darkness(0, 0).darkness, 0.3f);

    playScreen.otherScreenHasFocus = false;
    room.draw(1.0f, 0.0f);
    EXPECT_EQ(floor(0, 0).flags & TILE_LIT, 0u);
    EXPECT_EQ(darkness(0, 0).flags & TILE_LIT, 0u);
    EXPECT_EQ(darkness(0, 0).darkness, 1.0f);
}

TEST(DarknessStyleTest, KeepsTheFloorBetweenNothingAndHalf) {
    const std::pair<float, float> cases[] = {{-1.0f, 0.0f}, {0.3f, 0.3f}, {0.8f, 0.5f}, {NAN, 0.0f}};
    for (const auto& [asked, kept] : cases) {
        MapSetDarknessStyle({LightLook::Smooth, asked});
        EXPECT_EQ(MapDarknessStyle().floor, kept) << asked;
        EXPECT_EQ(MapDarknessStyle().look, LightLook::Smooth);
    }
    MapSetDarknessStyle({});
}

// An 8 x 3 room of white 32-pixel tiles, every floor cell lit: columns 0 to 5
// lit with a darkness that rises 0.15 a column, walls at columns 6 and 7
// that no light reached.
const std::string WHITE_ROOM =
    R"({"width": 8, "height": 3, "tilewidth": 32, "tileheight": 32,
 "tilesets": [{"image": "White.png", "imagewidth": 32, "imageheight": 32, "firstgid": 1}],
 "layers": [
  {"type": "tilelayer", "visible": true, "opacity": 1, "data": [1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1]},
  {"type": "tilelayer", "visible": true, "opacity": 1, "data": [0,0,0,0,0,0,1,1, 0,0,0,0,0,0,1,1, 0,0,0,0,0,0,1,1]}]})";

class DarknessLookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContentManagerInit();
        files.writePng("White.png", 32, 32);
        map = ContentLoad<Map>(files.write("Room.json", WHITE_ROOM).c_str(), CF_DEFERRED);
        MapContentComplete(map);
    }
    void TearDown() override {
        MapSetDarknessStyle({});
        KEGfxSetFastPaths(true);
        ContentManagerShutdown();
    }

    // The brightness of the middle row, pixel column by column, drawn in that
    // style from that far right.
    std::vector<int> middleRow(const DarknessStyle& style, float viewX = 0.0f) {
        MapSetDarknessStyle(style);
        KESysFrameStart();
        map->prepare({viewX, 0.0f});
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 8; ++column) {
                map->getTile(column, row, 0)->flags |= TILE_LIT;
                Tile& darkness = *map->getTile(column, row, 1);
                if (column < 6) darkness.flags |= TILE_LIT;
                if (column < 6) darkness.darkness = 0.1f + 0.15f * static_cast<float>(column);
            }
        map->drawFloor(1.0f, MARKS_EXPIRE);
        map->drawDarkness(1.0f, MARKS_EXPIRE);
        const Frame frame;
        std::vector<int> row;
        for (int x = 0; x < 256; ++x) row.push_back(frame.at(x, 48)[1]);
        return row;
    }

    ScratchDirectory files;
    ScopedViewport viewport{256.0f, 96.0f, {1.0f, 1.0f}};
    HeadlessEngine engine{256, 96};
    Map* map = nullptr;
};

// Between the lit cells the tiles step by 0.15 at each edge and stay flat
// inside; the smooth light changes as little across an edge as inside a
// cell, with the engine's fast paths and without, and with the first cell
// half off the screen.
TEST_F(DarknessLookTest, SmoothLightHasNoStepAtTheEdgesOfCells) {
    const std::tuple<LightLook, bool, int> cases[] = {{LightLook::Tiles, true, 0},
                                                      {LightLook::Smooth, true, 0},
                                                      {LightLook::Smooth, false, 0},
                                                      {LightLook::Smooth, true, 16}};
    for (const auto& [look, fastPaths, viewX] : cases) {
        KEGfxSetFastPaths(fastPaths);
        const std::vector<int> row = middleRow({look, 0.0f}, static_cast<float>(viewX));
        int within = 0, across = 0;
        for (int x = 1; x < 150; ++x) {
            int& most = (x + viewX) % 32 == 0 ? across : within;
            most = std::max(most, std::abs(row[x] - row[x - 1]));
        }
        const bool smooth = look == LightLook::Smooth;
        SCOPED_TRACE(testing::Message()
                     << (smooth ? "smooth" : "tiles") << ", fast paths " << fastPaths << ", view " << viewX);
        EXPECT_LE(within, smooth ? 3 : 0);
        if (smooth) EXPECT_LE(across, within + 1);
        else EXPECT_GE(across, 36);
    }
}

// The floor lifts full darkness, the walls no light reached, to 1 - floor in
// either look, and every darkness with it: the middle of column 2 (0.4 dark,
// as its corners average) shows 1 - 0.4 x (1 - floor) of the white floor.
// Only lit cells blend, so none of the light leaks onto those walls.
TEST_F(DarknessLookTest, FloorLiftsEveryDarknessAndUnlitWallsStayEvenlyDark) {
    for (const LightLook look : {LightLook::Tiles, LightLook::Smooth})
        for (const float floor : {0.0f, 0.3f, 0.5f}) {
            const std::vector<int> row = middleRow({look, floor});
            const int wall = static_cast<int>(std::lround(255.0f * floor));
            for (int x = 192; x < 256; ++x) ASSERT_NEAR(row[x], wall, 1) << "x " << x << ", floor " << floor;
            EXPECT_NEAR(row[80], 255.0f * (1.0f - 0.4f * (1.0f - floor)), 2.0f) << "floor " << floor;
        }
}

}  // namespace
