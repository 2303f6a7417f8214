#include "Util/TimeoutManager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> fired;
int ids[] = {0, 1, 2, 3};

void record(void* id) {
    fired.push_back(*static_cast<int*>(id));
}

// The frame (counted from 1) in which each recorded timeout fired.
std::vector<int> runFrames(int frames, float dt) {
    std::vector<int> firingFrames;
    for (int frame = 1; frame <= frames; ++frame) {
        UpdateTimeouts(dt);
        while (firingFrames.size() < fired.size()) firingFrames.push_back(frame);
    }
    return firingFrames;
}

class TimeoutManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TimeoutManagerInit();
        fired.clear();
    }
    void TearDown() override { TimeoutManagerShutdown(); }
};

TEST_F(TimeoutManagerTest, FiresInOrderOnceFrameTimesReachTheDelay) {
    SetTimeout(0.1f, record, &ids[0]);
    SetTimeout(3.6f, record, &ids[1]);
    SetTimeout(7.1f, record, &ids[2]);
    std::vector<int> firingFrames = runFrames(500, 1.0f / 60.0f);
    EXPECT_EQ(fired, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(firingFrames.size(), 3u);
    // Six float sixtieths sum to exactly 0.1f; longer sums drift by a frame.
    EXPECT_EQ(firingFrames[0], 6);
    EXPECT_NEAR(firingFrames[1], 216, 1);
    EXPECT_NEAR(firingFrames[2], 426, 1);
}

TEST_F(TimeoutManagerTest, ZeroDelayWaitsForThePassAndClearedOnesNeverFire) {
    ClearTimeouts();
    SetTimeout(0.0f, record, &ids[0]);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(runFrames(2, 0.0f), std::vector<int>{1});
    SetTimeout(0.0f, record, &ids[1]);
    ClearTimeouts();
    runFrames(2, 0.5f);
    EXPECT_EQ(fired, std::vector<int>{0});
}

// A timeout set by a callback is reached in the same pass unless the firing
// one was the last; otherwise it sees its first dt in the next frame.
TEST_F(TimeoutManagerTest, CallbacksChainTimeouts) {
    auto chain = [](void* id) {
        record(id);
        SetTimeout(0.5f, record, &ids[3]);
    };
    SetTimeout(0.5f, chain, &ids[0]);
    EXPECT_EQ(runFrames(4, 0.25f), (std::vector<int>{2, 4}));

    fired.clear();
    SetTimeout(0.0f, chain, &ids[0]);
    SetTimeout(10.0f, record, &ids[1]);
    EXPECT_EQ(runFrames(1, 0.5f), (std::vector<int>{1, 1}));
    EXPECT_EQ(fired, (std::vector<int>{0, 3}));
}

// Skipping an intro clears from inside a timeout and starts afresh.
TEST_F(TimeoutManagerTest, CallbackMayClearAndSetAgain) {
    auto skip = [](void* id) {
        record(id);
        ClearTimeouts();
        SetTimeout(0.0f, record, &ids[3]);
    };
    SetTimeout(0.0f, skip, &ids[0]);
    SetTimeout(0.0f, record, &ids[1]);
    SetTimeout(0.0f, record, &ids[2]);
    EXPECT_EQ(runFrames(2, 0.1f), (std::vector<int>{1, 2}));
    EXPECT_EQ(fired, (std::vector<int>{0, 3}));
}

}  // namespace
