#include "Content/ContentManager.h"
#include "Game/Game.h"
#include "Screens/NotificationBarInspection.h"
#include "TestSupport.h"
#include "Util/TweenManager.h"

#include <gtest/gtest.h>

namespace {

class NotificationBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        selectResolution(896, 504);
        TweenManagerInit();
        ContentManagerInit();
        NotificationBarInit();
    }
    void TearDown() override {
        NotificationBarShutdown();
        ContentManagerShutdown();
        TweenManagerShutdown();
    }

    void seconds(float time) {
        for (int frame = 0; frame < static_cast<int>(time / 0.05f + 0.5f); ++frame) UpdateTweens(0.05f);
    }

    HeadlessEngine engine;
    ScopedDirectory inGame{std::filesystem::absolute(HALCYRA_ASSETS "/..")};
};

TEST_F(NotificationBarTest, SlidesInWithThePromptAndOutWhenItGoes) {
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_HIDDEN);
    showNotification("Open Door");
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_SHOWING);
    seconds(0.3f);
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_SHOWN);
    EXPECT_EQ(NotificationBarPosition().y, 504.0f - 45.0f);
    EXPECT_EQ(NotificationBarOpacity(), 1.0f);

    showNotification("Unlock Door");
    EXPECT_STREQ(NotificationBarText(), "Unlock Door") << "a new prompt changes the text without hiding";
    seconds(0.3f);
    hideNotification();
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_SHOWN) << "hiding changes the state only once gone";
    seconds(0.65f);
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_HIDDEN);
    EXPECT_EQ(NotificationBarText(), nullptr);
    EXPECT_EQ(NotificationBarPosition().y, 504.0f);
}

// Set, cleared within the slide-in and set again: the running hide wins.
TEST_F(NotificationBarTest, APromptBackBeforeTheBarWasInStaysHidden) {
    showNotification("Open Door");
    seconds(0.1f);
    hideNotification();
    showNotification("Pickup Key");
    seconds(0.7f);
    EXPECT_EQ(NotificationBarState(), NOTIFICATION_HIDDEN);
    EXPECT_EQ(NotificationBarText(), nullptr);
    drawNotification(1.0f);
}

}  // namespace
