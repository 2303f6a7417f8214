// The screens around the rooms: both menus, the splash and intro cards and
// the credits, driven frame by frame as the game loop drives them.
#include "Content/Map.h"
#include "Content/Settings.h"
#include "Effects/ReducedFlashing.h"
#include "Engine/KeyCodes.h"
#include "Engine/Viewport.h"
#include "Screens/CardScreen.h"
#include "Screens/CreditsScreen.h"
#include "Screens/IntroScreen.h"
#include "Screens/KeysScreen.h"
#include "Screens/MainMenuScreen.h"
#include "Screens/OptionsScreen.h"
#include "Screens/PauseScreen.h"
#include "TestSupport.h"
#include "Util/TweenManagerInspection.h"
#include "World/GameProgress.h"
#include "World/KeyEntity.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr float FRAME = 1.0f / 60.0f;

bool sameColour(const Color& a, const Color& b) {
    return std::fabs(a.red - b.red) < 1e-4f && std::fabs(a.green - b.green) < 1e-4f &&
           std::fabs(a.blue - b.blue) < 1e-4f;
}

class TitleScreensTest : public ::testing::Test {
protected:
    // The player's files in the test's own directory: a game started here
    // saves there.
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", world.files.path("config").c_str(), 1);
        setenv("XDG_DATA_HOME", world.files.path("data").c_str(), 1);
        SettingsInit();
        GameProgressInitSave();
        AudioConfigure(AudioBackend::Silent);
        ASSERT_TRUE(AudioLogOpen(world.files.path("audio.log").c_str()));
        SoundManagerInit();
        ScreenStackInit();
    }

    void TearDown() override {
        ScreenStackShutdown();
        SoundManagerShutdown();
        AudioLogClose();
        holdAKey(false);
        GameProgressInitSave();
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
    }

    // A key held outside the keys the menus read.
    static void holdAKey(bool down) { KEInputPostKey(KEY_SHIFT, down); }

    // One pass of the game loop. Keys given go down this frame and up the next.
    void frame(std::initializer_list<int> pressed = {}) {
        for (int key : held) KEInputPostKey(key, false);
        held.assign(pressed);
        for (int key : pressed) KEInputPostKey(key, true);
        KEInputUpdate();
        UpdateTimeouts(FRAME);
        UpdateTweens(FRAME);
        ScreenStackUpdate(FRAME);
        AudioLogSetFrame(++frameNumber);
        elapsed += FRAME;
    }

    void wait(float seconds) {
        for (float until = elapsed + seconds; elapsed < until;) frame();
    }

    Screen* top() const { return ScreenStackScreens().tail->data; }

    size_t cues(const std::string& action, const std::string& name) const {
        return readAudioLog(world.files.path("audio.log"), action, name).size();
    }

    // Replaces one of the game's assets in the test's own Assets folder.
    void replaceAsset(const std::string& name, const std::string& bytes) const {
        std::filesystem::remove(world.files.path("Assets/" + name));
        world.files.write("Assets/" + name, bytes);
    }

    TestWorld world{896, 504, false};
    std::vector<int> held;
    long frameNumber = 0;
    float elapsed = 0.0f;
};

struct MenuStep {
    const char* what;
    std::initializer_list<int> keys;
    int32_t selected;
    size_t moveCues;  // so far
};

TEST_F(TitleScreensTest, TheMainMenuMovesWithinItsItemsAndCuesEachMove) {
    const MenuStep steps[] = {
        {"Up on Play", {KEY_UP}, 0, 0},     {"Up and Down in one frame", {KEY_UP, KEY_DOWN}, 0, 0},
        {"S moves down", {KEY_S}, 1, 1},    {"Down", {KEY_DOWN}, 2, 2},
        {"Down to Exit", {KEY_DOWN}, 3, 3}, {"Down on Exit", {KEY_DOWN}, 3, 3},
        {"W moves up", {KEY_W}, 2, 4},
    };
    auto* menu = pushScreen(new_MainMenuScreen());
    for (const MenuStep& step : steps) {
        frame(step.keys);
        frame();
        EXPECT_EQ(menu->selectedIndex(), step.selected) << step.what;
        EXPECT_EQ(cues("start", "sfx_ui_move"), step.moveCues) << step.what;
    }
    EXPECT_EQ(cues("start", "sfx_ui_start"), 0u);
    frame({KEY_DOWN});
    frame({KEY_ENTER});
    EXPECT_TRUE(ScreenStackExitRequested()) << "Exit ends the game at once";
    EXPECT_EQ(cues("start", "sfx_ui_start"), 1u) << "Enter plays the start cue even on Exit";
}

TEST_F(TitleScreensTest, ASecondMoveRestartsTheItemsFromWhereTheyStand) {
    auto* menu = pushScreen(new_MainMenuScreen());
    const auto items = menu->menuItems();
    frame({KEY_DOWN});
    wait(0.05f);
    const Color playHalfway = items[0].colour;
    ASSERT_FALSE(sameColour(playHalfway, MENU_HIGHLIGHT_COLOUR));
    ASSERT_FALSE(sameColour(playHalfway, MENU_NORMAL_COLOUR));
    frame({KEY_UP});
    EXPECT_NEAR(items[0].colour.red, playHalfway.red, 0.1f) << "no jump to either colour";
    EXPECT_EQ(TweenManagerCount(), 5) << "one tween a variable: both items' colours and offsets, the band";
    wait(0.9f);
    EXPECT_TRUE(sameColour(items[0].colour, MENU_HIGHLIGHT_COLOUR));
    EXPECT_FLOAT_EQ(items[0].offset, MENU_SELECTED_OFFSET);
    EXPECT_TRUE(sameColour(items[1].colour, MENU_NORMAL_COLOUR));
    EXPECT_FLOAT_EQ(items[1].offset, 0.0f);
}

TEST_F(TitleScreensTest, PlayStartsANewGameOutsideTheHouseThatForgetsTheLastOne) {
    world.writeMap("IntroEnd.json", {"........"});
    gameProgress.collectedKeyIds[0] = 3;
    addScreen(new_MainMenuScreen());
    frame({KEY_ENTER});
    wait(0.8f);
    auto* screen = dynamic_cast<PlayScreen*>(top());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->playState.entryDoor.target, FIRST_ROOM);
    EXPECT_FALSE(isKeyCollected(3));
}

TEST_F(TitleScreensTest, ThePauseMenuOpensOverTheRoomAndEscapeLeavesIt) {
    world.play(world.writeMap("Hall.json", {"........"}));
    wait(0.3f);
    frame({KEY_ESCAPE});
    frame();
    auto* pause = dynamic_cast<PauseScreen*>(top());
    ASSERT_NE(pause, nullptr);
    frame({KEY_DOWN});
    frame({KEY_ESCAPE});
    EXPECT_TRUE(pause->isExiting) << "Escape resumes";
    wait(0.8f);
    ASSERT_EQ(ScreenStackScreens().count, 1);
    frame({KEY_P});
    frame();
    pause = dynamic_cast<PauseScreen*>(top());
    ASSERT_NE(pause, nullptr) << "P pauses too";
    wait(0.2f);
    EXPECT_EQ(pause->selectedIndex(), 0);
    EXPECT_TRUE(sameColour(pause->menuItems()[0].colour, MENU_HIGHLIGHT_COLOUR))
        << "Resume highlighted again";
    EXPECT_TRUE(sameColour(pause->menuItems()[1].colour, MENU_NORMAL_COLOUR));
    EXPECT_EQ(pause->menuItems()[1].offset, 0.0f) << "the last menu's bounce does not carry over";
    frame({KEY_ENTER});
    EXPECT_TRUE(pause->isExiting) << "Resume";
}

// "Main Menu" leaves the game for the title menu; a room played without a
// save there has nothing to continue, and "Play" starts afresh.
TEST_F(TitleScreensTest, ThePauseMenusMainMenuLeavesTheGameForTheTitle) {
    world.writeMap("IntroEnd.json", {"........"});
    world.play(world.writeMap("Hall.json", {"........"}));
    gameProgress.collectedKeyIds[0] = 3;
    wait(0.3f);
    frame({KEY_ESCAPE});
    frame();
    auto* pause = dynamic_cast<PauseScreen*>(top());
    ASSERT_NE(pause, nullptr);
    ASSERT_STREQ(pause->menuItems()[2].text, "Main Menu");
    frame({KEY_DOWN});
    frame({KEY_DOWN});
    frame({KEY_ENTER});
    wait(0.5f);
    EXPECT_STREQ(top()->typeName(), "MainMenuScreen");
    for (Screen* screen : ScreenStackScreens())
        EXPECT_STRNE(screen->typeName(), "PlayScreen") << "the room is gone";
    EXPECT_EQ(currentCharacter, nullptr);
    EXPECT_EQ(SoundManagerMusicState(), MS_MENU);
    wait(1.5f);
    frame({KEY_ENTER});
    wait(0.8f);
    auto* screen = dynamic_cast<PlayScreen*>(top());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->playState.entryDoor.target, FIRST_ROOM);
    EXPECT_FALSE(isKeyCollected(3)) << "a new game";
}

// The options change at once what they name and keep it; the keys page
// refuses a key another action holds, binds a free one and restores the
// defaults.
TEST_F(TitleScreensTest, OptionsChangeAtOnceAndTheKeysPageRefusesATakenKey) {
    auto press = [&](int key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            frame({key});
            frame();
        }
    };
    pushScreen(new_OptionsScreen());
    wait(0.4f);
    press(KEY_LEFT);
    EXPECT_EQ(SettingsCurrent().masterVolume, 90);
    EXPECT_FLOAT_EQ(SoundManagerVolume(SoundVolume::Master), 0.9f);
    press(KEY_DOWN, 6);
    press(KEY_RIGHT);
    EXPECT_EQ(MapDarknessStyle().look, LightLook::Smooth);
    press(KEY_DOWN);
    press(KEY_RIGHT);
    EXPECT_TRUE(ReducedFlashingIsOn());
    press(KEY_DOWN);
    press(KEY_ENTER);
    wait(0.4f);
    auto* keys = dynamic_cast<KeysScreen*>(top());
    ASSERT_NE(keys, nullptr);
    press(KEY_ENTER);
    EXPECT_TRUE(keys->isWaitingForKey());
    press(KEY_SPACE);
    EXPECT_EQ(keys->message(), "Space is taken by Interact");
    EXPECT_EQ(SettingsCurrent().keys, Settings::defaultKeyBindings());
    press(KEY_ENTER);
    press(KEY_0 + 8);
    EXPECT_EQ(SettingsCurrent().keys[0], (std::array<int, 2>{KEY_0 + 8, KEY_UP}));
    press(KEY_DOWN, ACTION_COUNT);
    press(KEY_ENTER);
    EXPECT_EQ(SettingsCurrent().keys, Settings::defaultKeyBindings()) << "Restore Defaults";
    SettingsInit();
    EXPECT_EQ(SettingsCurrent().masterVolume, 90) << "kept in the file";
    applySettings(Settings{});
}

TEST_F(TitleScreensTest, TheFinalPassageCannotBePaused) {
    world.play(world.writeMap("End.json", {"........"}, "[]", R"("bool.FinalPassage": "true")"));
    wait(0.3f);
    frame({KEY_ESCAPE});
    frame({KEY_P});
    frame();
    EXPECT_EQ(ScreenStackScreens().count, 1);
}

TEST_F(TitleScreensTest, CreditsShowASectionEvery3point5SecondsThenTheMainMenu) {
    replaceAsset("Credits.json", R"([{"heading": "A", "text": "a"}, {"heading": "B", "text": "b\nb"},
                                     {"heading": "C", "text": "c"}])");
    auto* credits = pushScreen(new_CreditsScreen());
    EXPECT_EQ(credits->opacity(), 1.0f) << "the first section is up at once";
    std::vector<float> changes;
    for (int32_t shown = 0; !credits->isExiting && elapsed < 15.0f;) {
        frame();
        if (credits->sectionIndex() != shown || credits->isExiting) changes.push_back(elapsed);
        shown = credits->sectionIndex();
    }
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_NEAR(changes[0], 3.6f, 0.05f);
    EXPECT_NEAR(changes[1], 7.1f, 0.05f);
    EXPECT_NEAR(changes[2], 10.6f, 0.05f) << "leaves 3.5 s after the last section came";
    wait(0.8f);
    EXPECT_NE(dynamic_cast<MainMenuScreen*>(top()), nullptr);

    holdAKey(true);
    credits = pushScreen(new_CreditsScreen());
    frame();
    EXPECT_TRUE(credits->isExiting) << "a key held as they start leaves them at once";
}

// A key held from the start skips only after 7.95 s, and a second intro of
// the same process shows its cards as the first did.
TEST_F(TitleScreensTest, EveryIntroShowsItsCardsAndAKeySkipsOnlyAfterAWhile) {
    world.writeMap("RoomTutA.json", {"........"});
    for (int run = 0; run < 2; ++run) {
        auto* intro = dynamic_cast<CardScreen*>(pushScreen(new_IntroScreen(ROOMS + "/RoomTutA.json")));
        holdAKey(true);
        wait(7.9f);
        EXPECT_FALSE(intro->isExiting) << "run " << run;
        holdAKey(false);
        wait(1.5f);
        EXPECT_GT(intro->opacity(), 0.5f) << "run " << run << ": the first card is up";
        holdAKey(true);
        frame();
        EXPECT_TRUE(intro->isExiting) << "run " << run;
        holdAKey(false);
        wait(1.3f);
        auto* tutorial = dynamic_cast<PlayScreen*>(top());
        ASSERT_NE(tutorial, nullptr);
        EXPECT_EQ(tutorial->playState.entryDoor.target, ROOMS + "/RoomTutA.json");
        EXPECT_EQ(cues("play-file", "Assets/Sounds/DoorBreak.mp3"), static_cast<size_t>(run + 1));
        ScreenStackShutdown();
        ScreenStackInit();
    }
}

TEST(CreditsFileTest, ACreditsFileOfTheWrongShapeIsFatalAndNamesTheFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"[{", "Unabled to parse credits"},
        {R"({"heading": "A", "text": "a"})", "must be a JSON array"},
        {"[]", "Credits hold no section"},
        {R"(["A"])", "section 0 is not an object"},
        {R"([{"text": "a"}])", "Credits section missing heading"},
        {R"([{"heading": "A", "text": "a"}, {"heading": "B"}])", "Credits section missing contents"},
        {R"([{"heading": 1, "text": "a"}])", "\"heading\" is not a string"},
        {R"([{"heading": "A", "text": ["a"]}])", "\"text\" is not a string"},
    };
    ScratchDirectory files;
    for (const auto& [json, message] : cases) {
        const std::string path = files.write("Credits.json", json);
        EXPECT_FATAL(parseCredits(path.c_str()), std::string(message) + ".*Credits.json") << json;
    }
    const std::string good = files.write("Good.json", R"([{"heading": "A", "text": "a\nb"}])");
    const std::vector<CreditSection> sections = parseCredits(good.c_str());
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].text, "a\nb");
}

// However the window is scaled, the backdrop leaves none of its edges bare.
TEST_F(TitleScreensTest, TheBackdropCoversTheWindowAtEveryScale) {
    for (float scale : {0.5f, 1.0f, 2.0f, 3.0f}) {
        KESetViewport(screenWidth(), screenHeight(), {scale, scale});
        const Vector2 backdrop = backgroundScaleFor(448, 252);
        EXPECT_GE(448 * backdrop.x, screenWidth() * scale) << scale;
        EXPECT_GE(252 * backdrop.y, screenHeight() * scale) << scale;
    }
}

}  // namespace
