// The engine's fast paths change no pixel: every room of the house, played
// from its entry, looks the same with them and without them, at the game's
// own size and scaled up to full HD.
#include "Content/ContentManager.h"
#include "Content/PreloadList.h"
#include "TestSupport.h"
#include "WorldSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
        updateScreenStack(FRAME);
        drawScreenStack(FRAME);
    }
}

struct FastPathsOff {
    FastPathsOff() { KEGfxSetFastPaths(false); }
    ~FastPathsOff() { KEGfxSetFastPaths(true); }
};

std::vector<unsigned char> drawnFrame() {
    KESysFrameStart();
    drawScreenStack(FRAME);
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
            PlayState state;
            state.entryDoor.target = entry.file;
            pushScreen(new_PlayScreen(&state));
            // Unrasterised until the fade in is over and the lights have
            // settled; then the room stands still and is drawn both ways.
            KEGfxSetRasterising(false);
            runFrames(90);
            addScreen(std::make_unique<Freezer>());
            runFrames(2);
            KEGfxSetRasterising(true);
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

}  // namespace
