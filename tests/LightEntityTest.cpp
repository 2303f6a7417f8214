#include "Content/Map.h"
#include "Util/Random.h"
#include "World/LightEntity.h"
#include "World/Room.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

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
    bool isLit(int column, int row, int layer = DARKNESS) {
        return (cell(column, row, layer).flags & TILE_LIT) != 0;
    }

    Map map;
    Room room;
};

TEST_F(LightTest, PlacingTheLightCachesItsBoxTilesAndRadius) {
    auto light = lightAt(105, 57, 40);
    EXPECT_EQ(light->kind, ET_LIGHT);
    EXPECT_EQ(light->zIndex, -1);
    EXPECT_EQ(light->x, 65.0f);
    EXPECT_EQ(light->y, 17.0f);
    EXPECT_EQ(light->width, 80.0f);
    EXPECT_EQ(light->radiusSquared, 1600.0f);
    EXPECT_EQ(light->radiusTiles, 4);
    EXPECT_EQ(light->radiusTilesSquared, 16);
    EXPECT_EQ(light->centerColumn, 10);
    EXPECT_EQ(light->centerRow, 5);
    EXPECT_EQ(light->minColumn, 6);
    EXPECT_EQ(light->maxColumn, 14);
    EXPECT_EQ(light->minRow, 1);
    EXPECT_EQ(light->maxRow, 9);

    light->setRadius(44);  // 4.4 tiles round down; the centre cell stays
    EXPECT_EQ(light->radiusTiles, 4);
    EXPECT_EQ(light->minRow, 1) << "57 - 44 = 13 px";
    EXPECT_EQ(light->maxColumn, 14) << "149 px";
    EXPECT_EQ(light->x, 61.0f);
    light->setRadius(45);
    EXPECT_EQ(light->radiusTiles, 5) << "4.5 tiles round up";
}

TEST_F(LightTest, DarknessFallsOffWithTheSquaredDistanceToTheCellCorner) {
    auto light = lightAt(100, 100, 50);
    light->intensity = light->flickerTarget = 0.8f;
    cell(15, 10).flags |= TILE_LIT;  // lit by an earlier light, exactly one radius away
    light->update(0.0f);

    EXPECT_NEAR(cell(10, 10).darkness, 0.2f, 1e-6f) << "the centre loses the whole intensity";
    EXPECT_NEAR(cell(13, 11).darkness, 1.0f - 0.66f * 0.8f, 1e-6f) << "d = 0.4, under the knee";
    EXPECT_NEAR(cell(12, 14).darkness, 1.0f - (1.0f - 0.8f) * 0.8f, 1e-6f) << "d = 0.8, beyond it";
    EXPECT_FLOAT_EQ(cell(15, 10).darkness, 1.0f) << "one radius away: nothing";
    EXPECT_FALSE(isLit(15, 11)) << "5 and 1 tiles off: outside the light's reach";
    EXPECT_FLOAT_EQ(cell(15, 11).darkness, 1.0f);
}

TEST_F(LightTest, DarknessAddsUpAcrossLightsAndStopsAtFullLight) {
    auto left = lightAt(80, 100, 50);
    auto right = lightAt(120, 100, 50);
    left->update(0.0f);
    EXPECT_NEAR(cell(10, 10).darkness, 1.0f - (1.0f - 0.16f * 0.85f), 1e-6f);
    right->update(0.0f);
    EXPECT_NEAR(cell(10, 10).darkness, 0.0f, 1e-6f) << "two lights of 0.864 clamp to fully lit";

    cell(10, 10).darkness = 1.0f;
    left->intensity = left->flickerTarget = 0.25f;
    right->intensity = right->flickerTarget = 0.25f;
    left->update(0.0f);
    right->update(0.0f);
    EXPECT_NEAR(cell(10, 10).darkness, 1.0f - 2 * 0.25f * 0.864f, 1e-6f);
}

TEST_F(LightTest, AWallIsLitAndCastsAShadowBehindIt) {
    cell(12, 10).flags |= TILE_BLOCKING;
    auto light = lightAt(105, 105, 60);
    light->update(0.0f);

    EXPECT_TRUE(isLit(12, 10));
    EXPECT_TRUE(isLit(11, 10)) << "in front of the wall";
    for (int column = 13; column <= 15; ++column) {
        EXPECT_FALSE(isLit(column, 10)) << "behind the wall, column " << column;
        EXPECT_FALSE(isLit(column, 10, FLOOR)) << "behind the wall, column " << column;
        EXPECT_FLOAT_EQ(cell(column, 10).darkness, 1.0f);
    }
    EXPECT_TRUE(isLit(13, 8)) << "beside the shadow";
    EXPECT_TRUE(isLit(13, 12)) << "beside the shadow";
    EXPECT_TRUE(isLit(8, 10)) << "the far side is open";
    EXPECT_TRUE(isLit(10, 10, FLOOR));
    EXPECT_TRUE(isLit(12, 10, FLOOR));

    cell(14, 10).flags |= TILE_LIT;  // as if another light reached it
    light->update(0.0f);
    const float share = (35.0f * 35.0f + 5.0f * 5.0f) / 3600.0f;
    EXPECT_NEAR(cell(14, 10).darkness, share * 0.85f, 1e-6f) << "thinned though this light cannot see it";
    EXPECT_FLOAT_EQ(cell(13, 10).darkness, 1.0f);
}

TEST_F(LightTest, ReachIsStrictlyInsideTheRadiusInTilesAndStopsAtTheMapEdge) {
    auto light = lightAt(15, 105, 40);  // 4 tiles, one column from the left edge
    light->update(0.0f);
    EXPECT_TRUE(isLit(1, 13)) << "3 rows down: 9 < 16";
    EXPECT_FALSE(isLit(1, 14)) << "4 rows down: 16 is not < 16";
    EXPECT_TRUE(isLit(0, 10));
    EXPECT_TRUE(isLit(4, 12)) << "9 + 4 < 16";
    EXPECT_FALSE(isLit(4, 13)) << "9 + 9 > 16";
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
    std::srand(7);
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
