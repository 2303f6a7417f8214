#include "Screens/Screen.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the stack does to it.
class ProbeScreen : public Screen {
public:
    ProbeScreen(std::vector<std::string>* events, std::string screenName, float onTime, float offTime)
        : log(events), name(std::move(screenName)) {
        transitionOnTime = onTime;
        transitionOffTime = offTime;
        onTransitionedOn = [this](Screen*) { ++transitionedOn; };
    }
    ~ProbeScreen() override { log->push_back(name + " destroyed"); }

    const char* typeName() const override { return "ProbeScreen"; }
    void loadContent() override { log->push_back(name + " loaded"); }
    void handleInput(float) override { ++inputs; }
    void draw(float) override { log->push_back(name + " drawn"); }

    std::vector<std::string>* log;
    std::string name;
    int transitionedOn = 0;
    int inputs = 0;
};

class ScreenStackTest : public ::testing::Test {
protected:
    void SetUp() override { ScreenStackInit(); }
    void TearDown() override { ScreenStackShutdown(); }

    ProbeScreen* push(const std::string& name, float onTime = 0.225f, float offTime = 0.225f) {
        return pushScreen(std::make_unique<ProbeScreen>(&log, name, onTime, offTime));
    }

    void frames(int count, float dt) {
        for (int i = 0; i < count; ++i) ScreenStackUpdate(dt);
    }

    std::vector<std::string> log;
};

TEST_F(ScreenStackTest, FadesInOverItsOnTimeAndFiresOnTransitionedOnOnce) {
    ProbeScreen* screen = push("play");
    frames(2, 0.075f);
    EXPECT_EQ(screen->state, ScreenState::TransitionOn);
    EXPECT_NEAR(screen->transitionOpacity(), 2.0f / 3.0f, 1e-5f);
    frames(1, 0.075f);
    EXPECT_EQ(screen->state, ScreenState::Active);
    EXPECT_EQ(screen->transitionPosition, 0.0f);
    EXPECT_EQ(screen->transitionedOn, 1);
    frames(5, 0.075f);
    EXPECT_EQ(screen->transitionedOn, 1);
    EXPECT_EQ(screen->inputs, 8);
}

TEST_F(ScreenStackTest, ZeroFrameTimeRestartsTheTransitionWithoutMovingIt) {
    ProbeScreen* screen = push("play");
    frames(4, 0.1f);
    ASSERT_EQ(screen->state, ScreenState::Active);
    frames(1, 0.0f);
    EXPECT_EQ(screen->state, ScreenState::TransitionOn);
    EXPECT_EQ(screen->transitionPosition, 0.0f);
    frames(1, 0.1f);
    EXPECT_EQ(screen->state, ScreenState::Active);
    EXPECT_EQ(screen->transitionedOn, 2);
}

TEST_F(ScreenStackTest, PopupTakesTheInputButLeavesTheScreenBelowDrawn) {
    ProbeScreen* play = push("play");
    frames(3, 0.1f);
    ProbeScreen* pause = push("pause", 0.45f, 0.75f);
    pause->isPopup = true;
    frames(10, 0.1f);
    EXPECT_EQ(play->state, ScreenState::Active);
    EXPECT_FALSE(play->isActive());
    EXPECT_TRUE(pause->isActive());
    int playInputs = play->inputs;
    frames(1, 0.1f);
    EXPECT_EQ(play->inputs, playInputs);

    log.clear();
    ScreenStackDraw(0.1f);
    EXPECT_EQ(log, (std::vector<std::string>{"play drawn", "pause drawn"}));
}

TEST_F(ScreenStackTest, CoveringScreenHidesTheOneBelowAndUncoveringBringsItBack) {
    ProbeScreen* play = push("play");
    frames(3, 0.1f);
    ProbeScreen* menu = push("menu");
    frames(1, 0.1f);
    EXPECT_EQ(play->state, ScreenState::TransitionOff);
    frames(3, 0.1f);
    EXPECT_EQ(play->state, ScreenState::Hidden);
    log.clear();
    ScreenStackDraw(0.1f);
    EXPECT_EQ(log, (std::vector<std::string>{"menu drawn"}));

    menu->exitScreen();
    frames(1, 0.1f);
    EXPECT_EQ(menu->state, ScreenState::TransitionOff);
    EXPECT_EQ(play->state, ScreenState::TransitionOn) << "a leaving screen covers nothing";
    frames(2, 0.1f);
    EXPECT_TRUE(menu->isFinished);
    EXPECT_EQ(play->state, ScreenState::Active);
    EXPECT_EQ(ScreenStackScreens().count, 2);
    frames(1, 0.1f);
    EXPECT_EQ(ScreenStackScreens().count, 1) << "the finished menu is removed at the next update";
    EXPECT_EQ(log.back(), "menu destroyed");
}

TEST_F(ScreenStackTest, ExitWithZeroOffTimeFinishesAtOnceAndLeavesAtTheNextUpdate) {
    ProbeScreen* splash = push("splash", 0.0f, 0.0f);
    int transitionedOff = 0;
    splash->onTransitionedOff = [&](Screen*) { ++transitionedOff; };
    frames(1, 0.1f);
    splash->exitScreen();
    EXPECT_EQ(transitionedOff, 1);
    EXPECT_TRUE(splash->isFinished);
    EXPECT_EQ(ScreenStackScreens().count, 1);
    frames(1, 0.1f);
    EXPECT_EQ(ScreenStackScreens().count, 0);
    EXPECT_EQ(transitionedOff, 1);
}

TEST_F(ScreenStackTest, ScreenPushedWhileLeavingIsFirstUpdatedInTheNextFrame) {
    ProbeScreen* loading = push("loading", 0.1f, 0.1f);
    ProbeScreen* next = nullptr;
    loading->onTransitionedOff = [&](Screen*) { next = push("next", 0.2f); };
    frames(2, 0.1f);
    loading->exitScreen();
    frames(1, 0.1f);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(loading->isFinished);
    EXPECT_EQ(next->transitionPosition, 1.0f) << "not updated in the frame it was pushed";
    EXPECT_EQ(ScreenStackScreens().tail->data, next);
    frames(1, 0.1f);
    EXPECT_EQ(ScreenStackScreens().count, 1);
    EXPECT_FLOAT_EQ(next->transitionPosition, 0.5f);
}

TEST_F(ScreenStackTest, HiddenScreenToldToExitFinishesOnItsNextUpdate) {
    ProbeScreen* play = push("play");
    frames(3, 0.1f);
    push("menu");
    frames(4, 0.1f);
    ASSERT_EQ(play->state, ScreenState::Hidden);
    int transitionedOff = 0;
    play->onTransitionedOff = [&](Screen*) { ++transitionedOff; };
    play->exitScreen();
    frames(1, 0.1f);
    EXPECT_TRUE(play->isFinished);
    EXPECT_EQ(transitionedOff, 1);
}

}  // namespace
