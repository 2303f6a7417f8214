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
    Box touching(32, 0, 16, 16);
    touching.pushOut(&wall);
    EXPECT_EQ(touching.x, 32.0f);
    EXPECT_EQ(touching.y, 0.0f);

    Box fromTheRight(29.6f, 10, 16, 16);  // 2.4 px deep on x, far deeper on y
    fromTheRight.pushOut(&wall);
    EXPECT_EQ(fromTheRight.x, 31.6f) << "x moves by the rounded 2.4";
    EXPECT_EQ(fromTheRight.y, 10.0f);

    Box fromAbove(8, -14, 16, 16);  // 2 px deep on y
    fromAbove.pushOut(&wall);
    EXPECT_EQ(fromAbove.y, -16.0f);
    EXPECT_EQ(fromAbove.x, 8.0f);

    Box scaledDown(29, 10, 32, 32);
    scaledDown.scale = {0.5f, 0.5f};  // a 16 x 16 box, 3 px deep on x
    scaledDown.pushOut(&wall);
    EXPECT_EQ(scaledDown.x, 32.0f);
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
