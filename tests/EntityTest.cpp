#include "Game/Game.h"
#include "TestSupport.h"
#include "World/Camera.h"
#include "World/Entity.h"
#include "World/Room.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

struct Box : SpriteEntity {
    Box(float left, float top, float w, float h, Room* owner = nullptr) : SpriteEntity(ET_TABLE, owner) {
        x = left;
        y = top;
        width = w;
        height = h;
    }
};

TEST(EntityTest, PushOutMovesOneAxisByWholePixelsAndLeavesTouchingBoxes) {
    Box wall(0, 0, 32, 32);
    const struct {
        const char* what;
        float x, y, side, scale, pushedX, pushedY;
    } cases[] = {
        {"touching", 32, 0, 16, 1, 32, 0},
        {"2.4 px deep on x, far deeper on y: x moves by the rounded 2.4", 29.6f, 10, 16, 1, 31.6f, 10},
        {"2 px deep on y", 8, -14, 16, 1, 8, -16},
        {"a 16 x 16 box, scaled down, 3 px deep on x", 29, 10, 32, 0.5f, 32, 10},
    };
    for (const auto& c : cases) {
        Box box(c.x, c.y, c.side, c.side);
        box.scale = {c.scale, c.scale};
        box.pushOut(&wall);
        EXPECT_EQ(box.x, c.pushedX) << c.what;
        EXPECT_EQ(box.y, c.pushedY) << c.what;
    }
}

TEST(EntityTest, SpriteUpdateMovesAndTurnsAboutThePivotRelativeToTheCamera) {
    ScopedViewport viewport(screenWidth(), screenHeight(), {2.0f, 2.0f});
    Room room;
    room.camera->viewPosition = {100.0f, 50.0f};
    Box sprite(110, 60, 8, 4, &room);
    sprite.velocity = {10.0f, 0.0f};
    sprite.pivot = {4.0f, 2.0f};
    sprite.update(0.5f);
    EXPECT_EQ(sprite.x, 115.0f);
    float px, py;
    Matrix3TransformPoint(&sprite.transform, 0, 0, &px, &py);
    EXPECT_NEAR(px, 30.0f, 1e-4f) << "unturned: the top-left at (x, y) minus the camera, scaled";
    EXPECT_NEAR(py, 20.0f, 1e-4f);

    sprite.rotation = std::numbers::pi_v<float>;
    sprite.update(0.0f);
    Matrix3TransformPoint(&sprite.transform, 4, 2, &px, &py);
    EXPECT_NEAR(px, 2 * (15 + 4), 1e-4f) << "the pivot stays put when the sprite turns";
    EXPECT_NEAR(py, 2 * (10 + 2), 1e-4f);
}

}  // namespace
