// The engine's fast paths change no pixel: every room of the house, played
// from its entry, looks the same with them and without them, at the game's
// own size and scaled up to full HD. The last page, drawn from a copy at the
// window's size, shows over the room as the page itself would.
#include "Content/ContentManager.h"
#include "Content/PreloadList.h"
#include "Screens/JournalScreen.h"
#include "TestSupport.h"
#include "World/GameProgress.h"
#include "World/WalkZone.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float FRAME = 1.0f / 60.0f;

struct Desktop {
    int width, height;
    float scale;  // of the 896 x 504 virtual screen
};

// A room with the screens it opens on entry (journal pages), on a stack of
// its own.
struct ScreenStack {
    ScreenStack() { ScreenStackInit(); }
    ~ScreenStack() { ScreenStackShutdown(); }
};

// Takes the keyboard and draws nothing: the screens below stand still.
class Freezer : public Screen {
public:
    Freezer() { isPopup = true; }
    const char* typeName() const override { return "Freezer"; }
};

void runFrames(int count) {
    for (int frame = 0; frame < count; ++frame) {
        ScreenStackUpdate(FRAME);
        ScreenStackDraw(FRAME);
    }
}

// Plays the map unrasterised for that many frames, until the fade in is
// over and the lights have settled; then the room stands still under a
// freezer, to be drawn as often as a test likes.
void playUntilStill(const std::string& mapPath, int frames) {
    PlayState state;
    state.entryDoor.target = mapPath;
    pushScreen(new_PlayScreen(&state));
    KEGfxSetRasterising(false);
    runFrames(frames);
    addScreen(std::make_unique<Freezer>());
    runFrames(2);
    KEGfxSetRasterising(true);
}

struct FastPathsOff {
    FastPathsOff() { KEGfxSetFastPaths(false); }
    ~FastPathsOff() { KEGfxSetFastPaths(true); }
};

std::vector<unsigned char> drawnFrame() {
    KESysFrameStart();
    ScreenStackDraw(FRAME);
    return Frame().rgba;
}

// The most any channel of any pixel differs, and how many pixels differ.
std::pair<int, long> difference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int most = 0;
    long pixels = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        int here = 0;
        for (size_t channel = 0; channel < 3; ++channel)
            here = std::max(here, std::abs(a[i + channel] - b[i + channel]));
        most = std::max(most, here);
        pixels += here > 0 ? 1 : 0;
    }
    return {most, pixels};
}

TEST(FastPathPictureTest, EveryRoomLooksTheSameWithAndWithoutTheFastPaths) {
    for (const Desktop desktop : {Desktop{896, 504, 1.0f}, Desktop{1920, 1080, 1920.0f / 896.0f}}) {
        TestWorld world(desktop.width, desktop.height);
        world.linkHouseRooms();
        KESetViewport(896, 504, {desktop.scale, desktop.scale});
        int rooms = 0;
        for (const PreloadEntry& entry : PreloadListRead(PRELOAD_PATH)) {
            if (entry.type != CT_MAP) continue;
            ++rooms;
            const ScreenStack stack;
            playUntilStill(entry.file, 90);
            const std::vector<unsigned char> fast = drawnFrame();
            std::vector<unsigned char> everything;
            {
                const FastPathsOff off;
                everything = drawnFrame();
            }
            const auto [most, pixels] = difference(fast, everything);
            EXPECT_GT(difference(fast, std::vector<unsigned char>(fast.size(), 0)).second, 1000)
                << entry.file << ": something of the room shows";
            EXPECT_LE(most, 1) << entry.file << " at " << desktop.width << " x " << desktop.height << ": "
                               << pixels << " pixels differ";
        }
        EXPECT_EQ(rooms, 13) << "every room of the house";
    }
}

// Walking into the end passage at full HD opens the last page, which shows
// faintly over the room: each pixel is the room's mixed with the page's texel
// under it (nearest, give or take the texel beside it where SDL's stretch
// rounds the other way) at the page's opacity.
TEST(JournalPictureTest, TheLastPageShowsFaintlyOverTheRoomTexelForTexel) {
    constexpr const char* PAGE = "Assets/Textures/JournalBackground8.png";
    constexpr float OPACITY = 0.45f;
    TestWorld world(1920, 1080);
    world.linkHouseRooms();
    KESetViewport(896, 504, {1920.0f / 896.0f, 1920.0f / 896.0f});
    GameProgressReset();
    const ScreenStack stack;
    playUntilStill("Assets/FloorTemplate/FinalRooms/End.json", 180);
    ASSERT_EQ(ScreenStackScreens().count, 3) << "the room, its last page and the freezer";
    const std::vector<unsigned char> shown = drawnFrame();
    closeJournalPages();
    runFrames(60);
    const std::vector<unsigned char> room = drawnFrame();

    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> page(stbi_load(PAGE, &width, &height, &channels, 3),
                                                               stbi_image_free);
    ASSERT_NE(page, nullptr);
    auto matchesTexel = [&](size_t pixel, int texelX, int texelY) {
        texelX = std::clamp(texelX, 0, width - 1);
        texelY = std::clamp(texelY, 0, height - 1);
        const unsigned char* texel = page.get() + (texelY * width + texelX) * 3;
        for (size_t channel = 0; channel < 3; ++channel) {
            const float expected = room[pixel + channel] * (1 - OPACITY) + texel[channel] * OPACITY;
            if (std::abs(expected - shown[pixel + channel]) > 3.0f) return false;
        }
        return true;
    };
    long checked = 0, wrong = 0, unchanged = 0;
    for (int y = 0; y < 1080; y += 3)
        for (int x = 0; x < 1920; x += 3) {
            const size_t pixel = (static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4;
            const int texelX = x * width / 1920, texelY = y * height / 1080;
            bool matches = false;
            for (int dy = -1; dy <= 1 && !matches; ++dy)
                for (int dx = -1; dx <= 1 && !matches; ++dx)
                    matches = matchesTexel(pixel, texelX + dx, texelY + dy);
            ++checked;
            wrong += matches ? 0 : 1;
            unchanged += std::equal(&room[pixel], &room[pixel] + 3, &shown[pixel]) ? 1 : 0;
        }
    EXPECT_EQ(wrong, 0) << "of " << checked << " pixels";
    EXPECT_LT(unchanged, checked / 20) << "the page shows nearly everywhere";
}

}  // namespace
