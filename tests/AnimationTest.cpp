#include "Content/AnimationContent.h"
#include "Content/ContentManager.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

// An animation of four frames in one row, ready to play.
Animation fourFrames(bool looping, bool pingPong) {
    Animation animation;
    animation.frameCount = 4;
    animation.columns = 4;
    animation.frameDuration = 0.1f;
    animation.frameUv = {0.25f, 1.0f};
    animation.looping = looping;
    animation.pingPong = pingPong;
    animation.play();
    return animation;
}

std::vector<uint32_t> frames(Animation& animation, int updates, float dt = 0.1f) {
    std::vector<uint32_t> shown;
    for (int i = 0; i < updates; ++i) {
        animation.update(dt);
        shown.push_back(animation.frame);
    }
    return shown;
}

TEST(AnimationTest, PlayModesStepOneFrameAnUpdate) {
    Animation loop = fourFrames(true, false);
    EXPECT_EQ(frames(loop, 6), (std::vector<uint32_t>{1, 2, 3, 0, 1, 2}));
    Animation bounce = fourFrames(true, true);
    EXPECT_EQ(frames(bounce, 7), (std::vector<uint32_t>{1, 2, 3, 2, 1, 0, 1}));
    Animation once = fourFrames(false, true);
    EXPECT_EQ(frames(once, 5), (std::vector<uint32_t>{1, 2, 3, 3, 3}));
    EXPECT_TRUE(once.isLastFrame());
    once.reset();
    EXPECT_EQ(once.frame, 0u);
    EXPECT_FALSE(once.paused);

    Animation slow = fourFrames(true, false);
    EXPECT_EQ(frames(slow, 1, 0.25f), std::vector<uint32_t>{1}) << "a long frame advances one frame only";
    EXPECT_EQ(slow.timer, 0.0f);
    EXPECT_EQ(slow.uvOffset.x, 0.25f);
    slow.pause();
    slow.update(0.05f);
    EXPECT_EQ(slow.timer, 0.0f) << "paused: the timer stands still";
}

// An animation frame lasts its duration whatever the frame rate: a frame's
// overrun carries into the next.
TEST(AnimationTest, AFrameLastsItsDurationAtAnyFrameRate) {
    for (float dt : {1 / 30.0f, 1 / 60.0f, 1 / 144.0f, 1 / 240.0f}) {
        Animation loop = fourFrames(true, false);
        int advances = 0;
        for (int frame = static_cast<int>(std::lround(3 / dt)); frame > 0; --frame) {
            const uint32_t shown = loop.frame;
            loop.update(dt);
            advances += loop.frame != shown ? 1 : 0;
        }
        EXPECT_NEAR(advances, 30, 1) << 1 / dt << " fps: a tenth of a second a frame";
    }
}

class AnimationContentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContentManagerInit();
        files.writePng("Sheet.png", 256, 128);
    }
    void TearDown() override { ContentManagerShutdown(); }

    Animation* load(const std::string& json) {
        std::string path = files.write("Anim" + std::to_string(++count) + ".json", json);
        return ContentLoad<Animation>(path.c_str());
    }

    ScratchDirectory files;
    HeadlessEngine engine;
    int count = 0;
};

TEST_F(AnimationContentTest, FrameGridComesFromTheSheet) {
    Animation* eight =
        load(R"({"FrameCount": 8, "FrameWidth": 64, "SpriteSheet": "Sheet.png", "FrameDuration": 1})");
    EXPECT_EQ(eight->columns, 4u);
    EXPECT_EQ(eight->frameHeight, 64);
    EXPECT_EQ(eight->frameDuration, 1.0f);
    EXPECT_TRUE(eight->looping);
    EXPECT_FALSE(eight->pingPong);
    eight->play();
    for (int i = 0; i < 5; ++i) {
        KESysFrameStart();
        eight->update(1.0f);
        eight->update(1.0f);  // a second entity that draws the cached animation
    }
    EXPECT_EQ(eight->frame, 5u) << "a cached animation advances once a frame";
    EXPECT_EQ(eight->uvOffset.x, 0.25f);
    EXPECT_EQ(eight->uvOffset.y, 0.5f);

    Animation* six = load(R"({"FrameCount": 6, "FrameWidth": 64, "SpriteSheet": "Sheet.png",
                              "FrameDuration": 0.5, "Looping": false, "PingPong": true})");
    EXPECT_EQ(six->frameHeight, 128) << "rows round down";
    EXPECT_FALSE(six->looping);
    EXPECT_TRUE(six->pingPong);
    EXPECT_EQ(six->sheet, eight->sheet) << "one cached sheet";
}

TEST_F(AnimationContentTest, BrokenFilesAreFatalAndNamed) {
    const std::string good =
        R"({"FrameCount": 8, "FrameWidth": 64, "SpriteSheet": "Sheet.png", "FrameDuration": 1})";
    // The good file with one text replaced; without one, the whole file.
    const std::tuple<std::string, std::string, const char*> cases[] = {
        {"", "[1, 2]", "Invalid animation file \\(.*Anim1.json\\)\\."},
        {"", "{\"FrameCount\": ", "Invalid animation file"},
        {R"("FrameCount": 8, )", "", "Unable to find frame count\\."},
        {"8", R"("8")", "\"FrameCount\" has the wrong type"},
        {"64", "64.5", "\"FrameWidth\" has the wrong type"},
        {R"("SpriteSheet": "Sheet.png", )", "", "Unable to find sprite sheet\\."},
        {R"(, "FrameDuration": 1)", "", "Unable to find frame duration\\."},
        {"64", "300", "narrower than one frame"},
        {"8", "2", "4 frames a row, more than the 2 frames"},
        {"8", "0", "frame count must be at least 1"},
    };
    for (const auto& [from, to, message] : cases) {
        count = 0;
        const std::string json =
            from.empty() ? to : std::string(good).replace(good.find(from), from.size(), to);
        EXPECT_FATAL(load(json), message) << json;
    }
}

}  // namespace
