#include "Content/Map.h"
#include "Util/Random.h"
#include "World/LightEntity.h"
#include "World/Room.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int TILE = 10;
constexpr int FLOOR = 0;
constexpr int DARKNESS = 1;

// A 20 x 20 map of 10-pixel floor cells, all of it on screen.
class LightTest : public ::testing::Test {
protected:
    void SetUp() override {
        map.width = map.height = 20;
        map.tileWidth = map.tileHeight = TILE;
        map.tileLayerCount = 2;
        map.tileLayers = std::make_unique<TileLayer[]>(2);
        for (int layer = 0; layer < 2; ++layer) {
            map.tileLayers[layer].tiles = std::make_unique<Tile[]>(20 * 20);
            for (int i = 0; i < 20 * 20; ++i) map.tileLayers[layer].tiles[i].flags = 0;
        }
        map.lastColumn = map.lastRow = 20;
        room.map = &map;
    }

    std::unique_ptr<LightEntity> lightAt(float x, float y, float radius) {
        std::unique_ptr<LightEntity> light(new_LightEntity(&room));
        light->setRadius(radius);
        light->setPosition(x, y);
        return light;
    }

    Tile& cell(int column, int row, int layer = DARKNESS) { return *map.getTile(column, row, layer); }

    // The lit marks of both layers, as the frame's draw passes leave them:
    // cleared, with every cell dark again.
    std::vector<uint32_t> takeMarks() {
        std::vector<uint32_t> marks;
        for (int layer : {FLOOR, DARKNESS})
            for (int i = 0; i < 20 * 20; ++i) {
                Tile& tile = map.tileLayers[layer].tiles[i];
                marks.push_back(tile.flags & TILE_LIT);
                tile.flags &= ~TILE_LIT;
                tile.darkness = 1.0f;
            }
        return marks;
    }
    bool isLit(int column, int row, int layer = DARKNESS) {
        return (cell(column, row, layer).flags & TILE_LIT) != 0;
    }

    Map map;
    Room room;
};

// The reach is the radius rounded to whole tiles; the box of cells the
// darkness pass walks truncates the light's pixel edges.
TEST_F(LightTest, TheReachRoundsTheRadiusAndTheBoxTruncatesItsEdges) {
    const struct {
        float radius;
        int tiles, minColumn, maxColumn, minRow, maxRow;
    } cases[] = {{40, 4, 6, 14, 1, 9}, {44, 4, 6, 14, 1, 10}, {45, 5, 6, 15, 1, 10}};
    for (const auto& c : cases) {
        auto light = lightAt(105, 57, c.radius);
        EXPECT_EQ(light->centerColumn, 10);
        EXPECT_EQ(light->centerRow, 5);
        EXPECT_EQ(light->radiusTiles, c.tiles) << c.radius;
        EXPECT_EQ((std::array{light->minColumn, light->maxColumn, light->minRow, light->maxRow}),
                  (std::array{c.minColumn, c.maxColumn, c.minRow, c.maxRow}))
            << c.radius;
    }

    // A map object may size or place a light far beyond any map: its cells
    // stay within whole-number range and it lights the map it covers whole.
    auto vast = lightAt(105, 57, 1e30f);
    EXPECT_EQ(vast->radiusTiles, 32767);
    EXPECT_EQ((std::array{vast->minColumn, vast->maxColumn}), (std::array{-200000000, 200000000}));
    vast->update(0.1f);
    EXPECT_TRUE(isLit(0, 0) && isLit(19, 0) && isLit(0, 19) && isLit(19, 19));
    auto farAway = lightAt(-3e30f, 3e30f, 1e30f);
    EXPECT_EQ((std::array{farAway->centerColumn, farAway->centerRow}), (std::array{-16777216, 16777216}));
    takeMarks();
    farAway->update(0.1f);
    EXPECT_EQ(takeMarks(), std::vector<uint32_t>(2 * 20 * 20, 0u)) << "a light off the map lights none of it";
}

// The centre loses the light's whole intensity, the glow fades outward to
// nothing one radius away, and lights add up to full light and no further.
TEST_F(LightTest, DarknessThinsMostAtTheCentreFadesOutwardAndAddsUpAcrossLights) {
    auto light = lightAt(100, 100, 50);
    light->intensity = light->flickerTarget = 0.8f;
    cell(15, 10).flags |= TILE_LIT;  // lit by an earlier light, exactly one radius away
    light->update(0.0f);
    EXPECT_NEAR(cell(10, 10).darkness, 0.2f, 1e-6f);
    for (int column = 10; column < 15; ++column)
        EXPECT_LT(cell(column, 10).darkness, cell(column + 1, 10).darkness) << column;
    EXPECT_FLOAT_EQ(cell(15, 10).darkness, 1.0f);

    const float alone = cell(12, 10).darkness;
    auto other = lightAt(140, 100, 50);
    other->update(0.0f);
    EXPECT_LT(cell(12, 10).darkness, alone);
    EXPECT_EQ(cell(14, 10).darkness, 0.0f) << "two lights near their centres clamp to fully lit";
}

TEST_F(LightTest, AWallsShadowStaysDarkButACellLitByAnotherLightIsThinned) {
    cell(12, 10).flags |= TILE_BLOCKING;
    auto light = lightAt(105, 105, 60);
    light->update(0.0f);
    EXPECT_TRUE(isLit(12, 10, FLOOR));
    for (int column = 13; column <= 15; ++column) {
        EXPECT_FALSE(isLit(column, 10, FLOOR)) << "behind the wall, column " << column;
        EXPECT_FLOAT_EQ(cell(column, 10).darkness, 1.0f);
    }

    cell(14, 10).flags |= TILE_LIT;  // as if another light reached it
    light->update(0.0f);
    EXPECT_LT(cell(14, 10).darkness, 1.0f) << "thinned though this light cannot see it";
    EXPECT_FLOAT_EQ(cell(13, 10).darkness, 1.0f);
}

// A light keeps its last cast while it stays in its cell with the same reach;
// moving to another cell or changing its reach lights what a new light there
// would.
TEST_F(LightTest, AStillLightRelightsItsLastCastAndAMovedOneCastsAgain) {
    for (int row = 6; row <= 12; ++row) cell(12, row).flags |= TILE_BLOCKING;
    auto castAt = [this](float x, float y, float radius) {
        lightAt(x, y, radius)->update(0.0f);
        return takeMarks();
    };
    auto light = lightAt(105, 95, 60);
    const std::vector<std::vector<uint32_t>> expected{castAt(105, 95, 60), castAt(115, 95, 60),
                                                      castAt(115, 95, 80)};
    const struct {
        float x, radius;
        size_t expected;
    } frames[] = {{105, 60, 0}, {105, 60, 0}, {108, 62, 0}, {115, 62, 1}, {115, 80, 2}, {105, 60, 0}};
    for (const auto& frame : frames) {
        light->setRadius(frame.radius);
        light->setPosition(frame.x, 95);
        light->update(0.0f);
        EXPECT_EQ(takeMarks(), expected[frame.expected]) << "at " << frame.x << ", radius " << frame.radius;
    }
}

TEST_F(LightTest, AWalledInOrOutsideLightCastsNothing) {
    cell(10, 10).flags |= TILE_BLOCKING;
    auto walledIn = lightAt(105, 105, 40);
    walledIn->update(0.1f);
    auto outside = lightAt(-15, 105, 40);
    outside->update(0.1f);
    for (int i = 0; i < 20 * 20; ++i) {
        ASSERT_EQ(map.tileLayers[DARKNESS].tiles[i].flags & TILE_LIT, 0u) << "cell " << i;
        ASSERT_EQ(map.tileLayers[FLOOR].tiles[i].flags & TILE_LIT, 0u) << "cell " << i;
    }
    EXPECT_EQ(walledIn->clock, 0.0f);
    EXPECT_EQ(outside->clock, 0.0f);

    auto pointLight = lightAt(55, 55, 0);
    pointLight->update(0.1f);
    EXPECT_EQ(cell(5, 5).darkness, 1.0f) << "a light without a radius lights its cell but gives no glow";
}

TEST_F(LightTest, AnOffScreenLightStandsStillAndOneTouchingTheScreenRuns) {
    map.firstColumn = 0;
    map.lastColumn = 5;
    auto offScreen = lightAt(105, 105, 40);  // columns 6..14
    offScreen->update(0.1f);
    EXPECT_EQ(offScreen->clock, 0.0f);
    EXPECT_EQ(offScreen->intensity, 1.0f);
    EXPECT_FALSE(isLit(10, 10));

    map.lastColumn = 6;
    offScreen->update(0.1f);
    EXPECT_FLOAT_EQ(offScreen->clock, 0.1f);
    EXPECT_TRUE(isLit(10, 10));
}

// The flame picks a new target between 0.75 and 1 every 0.05 to 0.15 s, and
// the intensity eases towards it without leaving those bounds.
TEST_F(LightTest, FlickerStaysWithinItsBoundsAndEasesTowardsItsTarget) {
    RandomSeed(7);
    auto light = lightAt(105, 105, 40);
    EXPECT_TRUE(light->nextFlicker >= 0.05f && light->nextFlicker <= 0.15f) << light->nextFlicker;
    light->update(0.01f);
    EXPECT_EQ(light->flickerTarget, 1.0f) << "not due yet";
    float targetsSeen = 0;
    for (int frame = 0; frame < 300; ++frame) {
        const float target = light->flickerTarget;
        light->update(1 / 60.0f);
        if (light->flickerTarget != target) ++targetsSeen;
        EXPECT_TRUE(light->flickerTarget >= 0.75f && light->flickerTarget <= 1.0f) << light->flickerTarget;
        EXPECT_TRUE(light->intensity >= 0.75f && light->intensity <= 1.0f) << light->intensity;
    }
    EXPECT_TRUE(targetsSeen >= 5 * 5 / 1.5f && targetsSeen <= 5 * 20) << targetsSeen << " targets in 5 s";
}

}  // namespace
