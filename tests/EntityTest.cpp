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

// A 27 x 39 walker 2 px into the right side of a 32 x 32 holder, its bottom
// some pixels over the holder's top: walking straight at a corner it only
// grazes, it slips up past it by as much as it was held back each frame.
TEST(EntityTest, WalkingStraightAtAGrazedCornerSlidesPastIt) {
    Box holder(0, 100, 32, 32);
    const struct {
        const char* what;
        float overTop;
        Vector2 velocity;
        float pushedX, slidY;
    } cases[] = {
        {"9 px of a 39 px side over the top: held back 2 px and slides up 2", 9, {-125, 0}, 32, -2},
        {"1 px over: the shallower way out is up", 1, {-125, 0}, 30, -1},
        {"20 px over: it is the side, not the corner", 20, {-125, 0}, 32, 0},
        {"walking down as well: no slide", 9, {-88, 88}, 32, 0},
        {"standing still: no slide", 9, {0, 0}, 32, 0},
    };
    for (const auto& c : cases) {
        Box walker(30, 100 + c.overTop - 39, 27, 39);
        walker.velocity = c.velocity;
        walker.pushOut(&holder);
        EXPECT_EQ(walker.x, c.pushedX) << c.what;
        EXPECT_FLOAT_EQ(walker.y, 100 + c.overTop - 39 + c.slidY) << c.what;
    }
    Box walker(32, 100 + 9 - 39, 27, 39);
    walker.velocity = {-125, 0};
    for (int frame = 0; frame < 6; ++frame) {
        walker.x -= 2;
        walker.pushOut(&holder);
    }
    EXPECT_LT(walker.x, 32.0f) << "past the corner within six frames, walking on";
}

TEST(EntityTest, SpriteUpdateMovesAndTurnsAboutThePivotRelativeToTheCamera) {
    Room room;
    room.camera->viewPosition = {100.0f, 50.0f};
    Box sprite(110, 60, 8, 4, &room);
    sprite.velocity = {10.0f, 0.0f};
    sprite.pivot = {4.0f, 2.0f};
    sprite.update(0.5f);
    EXPECT_EQ(sprite.x, 115.0f);
    float px, py;
    Matrix3TransformPoint(&sprite.transform, 0, 0, &px, &py);
    EXPECT_NEAR(px, 15.0f, 1e-4f) << "unturned: the top-left at (x, y) minus the camera";
    EXPECT_NEAR(py, 10.0f, 1e-4f);

    sprite.rotation = std::numbers::pi_v<float>;
    sprite.update(0.0f);
    Matrix3TransformPoint(&sprite.transform, 4, 2, &px, &py);
    EXPECT_NEAR(px, 15 + 4, 1e-4f) << "the pivot stays put when the sprite turns";
    EXPECT_NEAR(py, 10 + 2, 1e-4f);
}

}  // namespace
