#include "World/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// The view lands on whole pixels, at most a pixel from the position, and a
// shake moves it no further than its magnitude.
TEST(CameraTest, TheViewIsWholePixelsNearThePositionAndTheShake) {
    std::unique_ptr<Camera> camera{new_Camera()};
    camera->setPosition(10.6f, -3.2f);
    camera->update(0);
    EXPECT_EQ(camera->viewPosition.x, std::floor(camera->viewPosition.x));
    EXPECT_LE(std::fabs(camera->viewPosition.x - 10.6f), 1.0f);
    EXPECT_LE(std::fabs(camera->viewPosition.y + 3.2f), 1.0f);
    camera->setPosition(0, 0);
    camera->shakeFrequency = {0, 1};
    camera->shakeTime = 0.5f;
    camera->shakeMagnitude = -2.5f;
    camera->update(0);
    EXPECT_NE(camera->viewPosition.x, 0.0f) << "the shake moves the view";
    EXPECT_LE(std::fabs(camera->viewPosition.x), 2.5f + 1.0f);
    EXPECT_LE(std::fabs(camera->viewPosition.y), 2.5f + 1.0f);
}

TEST(CameraTest, EasesByRateTimesDtAndOvershootsAboveOne) {
    std::unique_ptr<Camera> camera{new_Camera()};
    camera->followRate = {5, 5};
    camera->setTarget(100, -40);
    camera->update(0.2f);
    EXPECT_FLOAT_EQ(camera->position.x, 100.0f);
    EXPECT_FLOAT_EQ(camera->position.y, -40.0f);
    camera->setPosition(0, 0);
    camera->update(0.3f);
    EXPECT_FLOAT_EQ(camera->position.x, 150.0f);
}

TEST(CameraTest, ShakeDecaysStopsAndNeverGrowsOnALongFrame) {
    std::unique_ptr<Camera> camera{new_Camera()};
    camera->addShake(4);
    camera->update(0.1f);
    EXPECT_FLOAT_EQ(camera->shakeMagnitude, 4.0f * (1.0f - 2.5f * 0.1f));
    camera->stopShake();
    EXPECT_EQ(camera->shakeTime, 0.0f);
    EXPECT_EQ(camera->shakeMagnitude, 0.0f);
    camera->addShake(4);
    camera->update(1.0f);
    EXPECT_EQ(camera->shakeMagnitude, 0.0f);
}

TEST(CameraTest, ClampHoldsEveryMoveInsideTheBoundsOnlyWhenSet) {
    std::unique_ptr<Camera> camera{new_Camera()};
    camera->boundsMaximum = {100, 50};
    camera->move(150, -10);
    EXPECT_EQ(camera->position.x, 150.0f);
    camera->clamp = true;
    camera->setPosition(150, -10);
    EXPECT_EQ(camera->position.x, 100.0f);
    EXPECT_EQ(camera->position.y, 0.0f);
    Vector2 delta{-130, 70};
    camera->moveBy(&delta);
    EXPECT_EQ(camera->position.x, 0.0f);
    EXPECT_EQ(camera->position.y, 50.0f);
    camera->followRate = {1, 1};
    camera->setTarget(500, 30);
    camera->update(1.0f);
    EXPECT_EQ(camera->position.x, 100.0f);
}

}  // namespace
