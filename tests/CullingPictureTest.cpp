// Culling leaves out only draws that change no pixel: every room of the house,
// played from its entry, looks the same with it and without it, at the
// game's own size and scaled up to full HD.
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

// Screens the rooms open on entry (journal pages) go on a stack of their own.
struct ScreenStack {
    ScreenStack() { ScreenStackInit(); }
    ~ScreenStack() { ScreenStackShutdown(); }
};

struct CullingOff {
    CullingOff() { KEGfxSetCulling(false); }
    ~CullingOff() { KEGfxSetCulling(true); }
};

std::vector<unsigned char> drawnFrame(PlayScreen& screen) {
    KESysFrameStart();
    screen.draw(FRAME);
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

TEST(CullingPictureTest, EveryRoomLooksTheSameWithAndWithoutCulling) {
    for (const Desktop desktop : {Desktop{896, 504, 1.0f}, Desktop{1920, 1080, 1920.0f / 896.0f}}) {
        TestWorld world(desktop.width, desktop.height);
        world.linkHouseRooms();
        const ScreenStack stack;
        KESetViewport(896, 504, {desktop.scale, desktop.scale});
        int rooms = 0;
        for (const PreloadEntry& entry : PreloadListRead(PRELOAD_PATH)) {
            if (entry.type != CT_MAP) continue;
            ++rooms;
            PlayState state;
            state.entryDoor.target = entry.file;
            const std::unique_ptr<PlayScreen> screen = new_PlayScreen(&state);
            screen->loadContent();
            // Unrasterised until the fade in is over and the lights have
            // settled; then the room stands still and is drawn both ways.
            KEGfxSetRasterising(false);
            for (int frame = 0; frame < 90; ++frame) {
                screen->update(FRAME, frame >= 88, false);
                screen->draw(FRAME);
            }
            KEGfxSetRasterising(true);
            const std::vector<unsigned char> culled = drawnFrame(*screen);
            std::vector<unsigned char> everything;
            {
                const CullingOff off;
                everything = drawnFrame(*screen);
            }
            const auto [most, pixels] = difference(culled, everything);
            EXPECT_GT(difference(culled, std::vector<unsigned char>(culled.size(), 0)).second, 1000)
                << entry.file << ": something of the room shows";
            EXPECT_LE(most, 1) << entry.file << " at " << desktop.width << " x " << desktop.height << ": "
                               << pixels << " pixels differ";
        }
        EXPECT_EQ(rooms, 13) << "every room of the house";
    }
}

}  // namespace
