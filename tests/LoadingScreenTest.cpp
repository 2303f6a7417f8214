#include "Content/ContentManager.h"
#include "Content/TextureContent.h"
#include "Game/Game.h"
#include "Screens/LoadingScreen.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <thread>

namespace {

// Runs a loading screen over a preload list of three textures in a scratch
// copy of the game's folder.
class LoadingScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(files.path("Assets"));
        std::filesystem::create_directory_symlink(std::filesystem::absolute(HALCYRA_ASSETS "/Fonts"),
                                                  files.path("Assets/Fonts"));
        for (const char* name : {"One", "Two", "Three"})
            files.writePng(std::string("Assets/Textures/") + name + ".png", 4, 4);
        files.write("Assets/Preload.json", R"([{"file": "Assets/Textures/One.png", "type": 0},
                                               {"file": "Assets/Textures/Two.png", "type": 0},
                                               {"file": "Assets/Textures/Three.png", "type": 0}])");
        selectResolution(896, 504);
        ContentManagerInit();
        ScreenStackInit();
        addScreen(new_LoadingScreen(new_ScreenAfterLoading));
        loading = ScreenStackScreens().head->data;
    }

    void TearDown() override {
        ScreenStackShutdown();
        ContentManagerShutdown();
    }

    void frame(float dt = 0.1f) {
        ScreenStackUpdate(dt);
        KESysFrameStart();
        ScreenStackDraw(dt);
    }

    // How much of the bar is filled, read from the frame's pixels.
    float barFill() {
        Frame frame;
        // Fully faded in, the fill is grey 64 over a bar of grey 49.
        const int row = 430, left = 45, right = 851;
        int filled = 0;
        for (int x = left; x < right; ++x) filled += frame.at(x, row)[0] > 56 ? 1 : 0;
        return static_cast<float>(filled) / static_cast<float>(right - left);
    }

    bool complete(const char* name) {
        std::string path = std::string("Assets/Textures/") + name + ".png";
        return ContentLoad<TextureContent>(path.c_str())->texture != nullptr;
    }

    ScratchDirectory files;
    HeadlessEngine engine;
    ScopedDirectory inFiles{files.root};
    Screen* loading = nullptr;
};

TEST_F(LoadingScreenTest, CompletesOneItemAFrameInReverseOrderThenLeaves) {
    // One long first frame fades the screen in at once, so that the bar shows.
    frame(1.25f);
    for (int i = 0; i < 2000 && barFill() < 0.99f; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        frame();
    }
    ASSERT_GT(barFill(), 0.99f);
    // From here the worker is done and the cache is the main thread's again.
    std::vector<std::string> completed;
    auto note = [&] {
        for (const char* name : {"Three", "Two", "One"})
            if (complete(name) && std::find(completed.begin(), completed.end(), name) == completed.end())
                completed.push_back(name);
    };
    note();
    int framesToExit = 0;
    while (!loading->isExiting && framesToExit < 10) {
        frame();
        note();
        ++framesToExit;
    }
    EXPECT_EQ(completed, (std::vector<std::string>{"Three", "Two", "One"}));
    EXPECT_TRUE(loading->isExiting);
    EXPECT_LE(framesToExit, 4);
    frame();
    EXPECT_EQ(loading->state, ScreenState::TransitionOff);
}

}  // namespace
