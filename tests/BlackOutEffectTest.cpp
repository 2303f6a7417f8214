#include "Effects/BlackOutEffect.h"
#include "Engine/Viewport.h"
#include "Game/Game.h"
#include "TestSupport.h"
#include "Util/Random.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class BlackOutEffectTest : public ::testing::Test {
protected:
    void SetUp() override { effect = new_BlackOut(); }
    void run(float seconds) {
        for (int frames = static_cast<int>(seconds * 60 + 0.5f); frames > 0; --frames)
            effect->update(1 / 60.0f);
    }

    ScopedViewport viewport{64, 36, {2, 2}};
    std::unique_ptr<BlackOut> effect;
};

TEST_F(BlackOutEffectTest, FadesBackOverFiveSecondsAndIgnoresStartsMeanwhile) {
    effect->start(false);
    run(1);
    effect->start(true);
    EXPECT_NEAR(effect->opacity, 0.8f, 1e-4f);
    EXPECT_FALSE(effect->flicker);
    run(1);
    EXPECT_NEAR(effect->opacity, 0.6f, 1e-4f);
    run(3);
    run(1 / 60.0f);  // rounding leaves one last step that dips below 0
    effect->start(true);
    EXPECT_EQ(effect->opacity, 1.0f);
}

TEST_F(BlackOutEffectTest, HoldBlackTurnsTheFadeAroundForGood) {
    effect->start(true);
    run(2.5f);
    effect->holdBlack();
    EXPECT_FALSE(effect->flicker);
    run(1);
    EXPECT_NEAR(effect->opacity, 0.9f, 1e-4f);
    run(0.25f + 1 / 60.0f);
    EXPECT_EQ(effect->opacity, 1.0f);
    run(10);
    EXPECT_EQ(effect->opacity, 1.0f);
}

// Only a flickering black-out thinner than six tenths drops out: sixty times
// a second it does or not, one time in nine, so it is out about a ninth of
// the time at any frame rate.
TEST_F(BlackOutEffectTest, AThinFlickeringBlackOutIsOutAboutANinthOfTheTimeAtAnyFrameRate) {
    RandomSeed(7);
    auto secondsOut = [&](float opacity, bool flicker, float dt) {
        double out = 0;
        for (double seconds = 0; seconds < 30; seconds += dt) {
            effect->opacity = opacity;
            effect->flicker = flicker;
            effect->update(dt);
            if (effect->visibleOpacity() == 0) out += dt;
        }
        return out;
    };
    for (float dt : {1 / 30.0f, 1 / 60.0f, 1 / 144.0f, 1 / 240.0f}) {
        SCOPED_TRACE(testing::Message() << 1 / dt << " fps");
        EXPECT_EQ(secondsOut(0.61f, true, dt), 0.0);
        EXPECT_EQ(secondsOut(0.5f, false, dt), 0.0);
        EXPECT_NEAR(secondsOut(0.59f, true, dt), 30.0 / 9, 1.0);
    }
}

TEST_F(BlackOutEffectTest, DrawsItsOpacityInBlackOverTheWholeWindow) {
    HeadlessEngine engine(128, 72);
    KEGfxSetBackgroundColor(1, 1, 1);
    KESysFrameStart();
    effect->opacity = 0.5f;
    effect->draw();
    Frame frame;
    int darkest = 255, lightest = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            darkest = std::min<int>(darkest, frame.at(x, y)[0]);
            lightest = std::max<int>(lightest, frame.at(x, y)[0]);
        }
    EXPECT_NEAR(darkest, 128, 3);
    EXPECT_NEAR(lightest, 128, 3);
}

}  // namespace
