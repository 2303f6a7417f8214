#include "Util/TweenManager.h"
#include "Util/TweenManagerInspection.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "Util/Color.h"

namespace {

const float zero = 0.0f;
const float one = 1.0f;
const float two = 2.0f;

float shown;
std::vector<float> shownAtCompletion;

void recordCompletion() {
    shownAtCompletion.push_back(shown);
}

class TweenManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TweenManagerInit();
        shown = 0.0f;
        shownAtCompletion.clear();
    }
    void TearDown() override { TweenManagerShutdown(); }
};

TEST_F(TweenManagerTest, ShownValueLagsTheClockByOneFrame) {
    TweenManagerTween(&shown, &one, 1.0f, easeLinear, TWEEN_FLOAT, recordCompletion);
    std::vector<float> frames;
    for (int frame = 0; frame < 4; ++frame) {
        UpdateTweens(0.25f);
        frames.push_back(shown);
    }
    EXPECT_EQ(frames, (std::vector<float>{0.0f, 0.25f, 0.5f, 1.0f}));
    EXPECT_EQ(shownAtCompletion, std::vector<float>{1.0f});
    EXPECT_EQ(TweenManagerCount(), 0);
}

TEST_F(TweenManagerTest, RestartContinuesFromTheCurrentValue) {
    Tween* first = TweenManagerTween(&shown, &one, 1.0f, easeLinear, TWEEN_FLOAT, nullptr);
    UpdateTweens(0.25f);
    UpdateTweens(0.25f);
    EXPECT_EQ(TweenManagerTween(&shown, &two, 1.0f, easeLinear, TWEEN_FLOAT, nullptr), first);
    EXPECT_EQ(TweenManagerCount(), 1);
    UpdateTweens(0.25f);
    EXPECT_EQ(shown, 0.25f);
    UpdateTweens(0.25f);
    EXPECT_EQ(shown, 0.6875f);
}

TEST_F(TweenManagerTest, VectorAndColorTweensMoveTheirComponents) {
    float position[2] = {0.0f, 10.0f};
    const float destination[2] = {4.0f, 20.0f};
    Color color{0x12345678u, 0.0f, 0.0f, 0.0f, 0.0f};
    TweenManagerTween(position, destination, 1.0f, easeLinear, TWEEN_VEC2, nullptr);
    TweenManagerTween(&color, &colourWhite, 1.0f, easeLinear, TWEEN_COLOR, nullptr);
    UpdateTweens(0.5f);
    UpdateTweens(0.25f);
    EXPECT_EQ(position[1], 15.0f);
    EXPECT_EQ(color.blue, 0.5f);
    UpdateTweens(0.25f);
    EXPECT_EQ(position[0], 4.0f);
    EXPECT_EQ(color.opacity, 1.0f);
    EXPECT_EQ(color.packed, 0x12345678u);
}

// A pulsing highlight: every completion starts the way back.
TEST_F(TweenManagerTest, OnCompleteMayRestartItsOwnVariable) {
    auto pulseBack = []() {
        recordCompletion();
        TweenManagerTween(&shown, &zero, 1.0f, easeLinear, TWEEN_FLOAT, nullptr);
    };
    TweenManagerTween(&shown, &one, 0.5f, easeLinear, TWEEN_FLOAT, pulseBack);
    UpdateTweens(0.5f);
    EXPECT_EQ(shownAtCompletion, std::vector<float>{1.0f});
    ASSERT_EQ(TweenManagerCount(), 1);
    UpdateTweens(0.5f);
    EXPECT_EQ(shown, 1.0f);
    UpdateTweens(0.5f);
    EXPECT_EQ(shown, 0.0f);
    EXPECT_EQ(TweenManagerCount(), 0);
}

// The completing tween is not the last one, so the new tween lies ahead of the pass.
TEST_F(TweenManagerTest, TweenStartedDuringAPassWaitsForTheNext) {
    static float follower;
    float bystander = 0.0f;
    follower = 5.0f;
    auto startFollower = []() {
        TweenManagerTween(&follower, &one, 0.25f, easeLinear, TWEEN_FLOAT, nullptr);
    };
    TweenManagerTween(&shown, &one, 0.25f, easeLinear, TWEEN_FLOAT, startFollower);
    TweenManagerTween(&bystander, &one, 10.0f, easeLinear, TWEEN_FLOAT, nullptr);
    UpdateTweens(0.25f);
    EXPECT_EQ(follower, 5.0f);
    UpdateTweens(0.25f);
    EXPECT_EQ(follower, 1.0f);
}

TEST(EasingTest, ShapesProgressByTheirFormulas) {
    struct Sample {
        EasingFunction easing;
        float half;
    };
    const Sample samples[] = {{easeLinear, 0.5f},       {easeQuadOut, 0.75f},   {easeCubicIn, 0.125f},
                              {easeCubicOut, 0.875f},   {easeQuartIn, 0.0625f}, {easeQuartOut, 0.9375f},
                              {easeQuintOut, 0.96875f}, {easeQuintInOut, 0.5f}, {easeElasticOut, 1.0220971f}};
    for (const Sample& sample : samples) {
        EXPECT_NEAR(sample.easing(0.0f), 0.0f, 1e-6f);
        EXPECT_NEAR(sample.easing(0.5f), sample.half, 1e-6f);
        EXPECT_NEAR(sample.easing(1.0f), 1.0f, 1e-5f);
    }
    EXPECT_NEAR(easeElasticOut(2.0f / 13.0f), 1.344f, 1e-3f);
    EXPECT_NEAR(easeQuintInOut(0.49999f), 0.5f, 1e-3f);
}

TEST_F(TweenManagerTest, NegligibleDurationAndKindMismatchAreFatal) {
    EXPECT_FATAL(TweenManagerTween(&shown, &one, 0.0005f, easeLinear, TWEEN_FLOAT, nullptr),
                 "Tween duration cannot be zero\\.");
    TweenManagerTween(&shown, &one, 1.0f, easeLinear, TWEEN_FLOAT, nullptr);
    EXPECT_FATAL(TweenManagerTween(&shown, &colourWhite, 1.0f, easeLinear, TWEEN_COLOR, nullptr),
                 "Tween already exists with different type\\.");
}

}  // namespace
