#include "Engine/Gamepad.h"
#include "Engine/Kestrel.h"
#include "Engine/KeyCodes.h"
#include "Engine/QuadMesh.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 64;
constexpr int HEIGHT = 32;

struct Pixel {
    int r, g, b;
};

// A headless engine drawing into a 64 x 32 frame.
class KestrelTest : public ::testing::Test {
protected:
    Pixel pixelAt(int x, int y) {
        Frame frame;
        EXPECT_EQ(frame.width, WIDTH);
        EXPECT_EQ(frame.height, HEIGHT);
        const unsigned char* p = frame.at(x, y);
        return {p[0], p[1], p[2]};
    }

    // A frame begun over that background, drawing untextured; the white unit
    // quad to draw with.
    KEMesh* startUntexturedFrame(float red, float green, float blue) {
        KEGfxSetBackgroundColor(red, green, blue);
        KESysFrameStart();
        KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
        KEGfxTextureSet(nullptr, 0, 0);
        return createQuadMesh(1, 1, &colourWhite);
    }

    void drawQuad(KEMesh* mesh, float x, float y, float scaleX, float scaleY) {
        Matrix3 transform;
        Matrix3Scale(&transform, scaleX, scaleY);
        transform.m[0][2] = x;
        transform.m[1][2] = y;
        KEGfxSetTransform(&transform);
        KEGfxMeshDraw(mesh);
    }

    HeadlessEngine engine{WIDTH, HEIGHT};
    ScratchDirectory files;
};

void expectPixel(Pixel actual, Pixel expected) {
    EXPECT_NEAR(actual.r, expected.r, 2);
    EXPECT_NEAR(actual.g, expected.g, 2);
    EXPECT_NEAR(actual.b, expected.b, 2);
}

TEST_F(KestrelTest, KeyEventsBecomeHeldTriggeredAndReleasedPerFrame) {
    KEInputPostKey(KEY_W, true);
    EXPECT_TRUE(KEInputAnyKeyDown());
    EXPECT_FALSE(KEInputCheckCurr(KEY_W)) << "the table changes at the next update";
    KEInputUpdate();
    EXPECT_TRUE(KEInputCheckCurr(KEY_W));
    EXPECT_TRUE(KEInputCheckTriggered(KEY_W));
    KEInputUpdate();
    EXPECT_TRUE(KEInputCheckCurr(KEY_W));
    EXPECT_FALSE(KEInputCheckTriggered(KEY_W));
    KEInputPostKey(KEY_A, true);
    KEInputPostKey(KEY_W, false);
    EXPECT_FALSE(KEInputAnyKeyDown()) << "any key coming up ends it, as the window's messages tell it";
    KEInputPostKey(KEY_A, false);
    KEInputUpdate();
    EXPECT_FALSE(KEInputCheckCurr(KEY_W));
    EXPECT_TRUE(KEInputCheckReleased(KEY_W));
    KEInputUpdate();
    EXPECT_FALSE(KEInputCheckReleased(KEY_W));

    // A tap within one frame still shows both edges.
    KEInputPostKey(KEY_SPACE, true);
    KEInputPostKey(KEY_SPACE, false);
    KEInputUpdate();
    EXPECT_TRUE(KEInputCheckTriggered(KEY_SPACE));
    EXPECT_TRUE(KEInputCheckReleased(KEY_SPACE));
    EXPECT_FALSE(KEInputCheckCurr(KEY_SPACE));

    KEInputPostKey(-1, true);
    KEInputPostKey(KEY_CODE_COUNT, true);
    KEInputUpdate();
    EXPECT_FALSE(KEInputCheckCurr(KEY_CODE_COUNT));
    EXPECT_FALSE(KEInputCheckCurr(-5));
}

// The keys a controller in that state holds.
std::vector<int> padKeys(std::initializer_list<KEPadButton> buttons, float x, float y) {
    Gamepad pad;
    for (KEPadButton button : buttons) pad.setButton(button, true);
    pad.setStick(x, y);
    KeySet held;
    pad.addHeldKeys(&held);
    std::vector<int> keys;
    for (int key = 0; key < KEY_CODE_COUNT; ++key)
        if (held[static_cast<size_t>(key)]) keys.push_back(key);
    return keys;
}

TEST(GamepadTest, ButtonsPressTheirKeysAndTheStickWalksInEightDirectionsOutsideItsDeadZone) {
    using Keys = std::vector<int>;
    EXPECT_EQ(padKeys({KE_PAD_A}, 0, 0), (Keys{KEY_ENTER, KEY_SPACE})) << "interact, and choose in menus";
    EXPECT_EQ(padKeys({KE_PAD_B, KE_PAD_START}, 0, 0), (Keys{KEY_ESCAPE, KEY_E}));
    EXPECT_EQ(padKeys({KE_PAD_UP, KE_PAD_LEFT}, 0, 0), (Keys{KEY_LEFT, KEY_UP}));
    const std::pair<std::pair<float, float>, Keys> sticks[] = {
        {{0.0f, 0.0f}, {}},
        {{0.29f, 0.0f}, {}},  // inside the dead zone
        {{0.2f, -0.2f}, {}},
        {{0.31f, 0.0f}, {KEY_RIGHT}},
        {{-1.0f, 0.0f}, {KEY_LEFT}},
        {{0.0f, 1.0f}, {KEY_DOWN}},
        {{0.7f, -0.7f}, {KEY_UP, KEY_RIGHT}},
        {{-0.6f, 0.6f}, {KEY_LEFT, KEY_DOWN}},
        // Within 22.5 degrees of an axis the stick walks straight along it.
        {{0.9f, 0.35f}, {KEY_RIGHT}},
        {{0.9f, 0.4f}, {KEY_RIGHT, KEY_DOWN}},
        {{-0.35f, -0.9f}, {KEY_UP}},
        {{5.0f, -9.0f}, {KEY_UP, KEY_RIGHT}},  // clamped to its travel
        {{std::numeric_limits<float>::quiet_NaN(), 1.0f}, {KEY_DOWN}},
    };
    for (const auto& [stick, keys] : sticks)
        EXPECT_EQ(padKeys({}, stick.first, stick.second), keys) << stick.first << ", " << stick.second;
}

// SDL's virtual joystick stands in for a controller plugged into the machine.
TEST_F(KestrelTest, AVirtualPadPressesKeysBesideTheKeyboardAndIsLetGoWhenUnplugged) {
    auto nextFrame = [] {
        KESysFrameStart();
        KEInputUpdate();
    };
    EXPECT_EQ(KEInputPadCount(), 0) << "a headless run opens no real controller";
    KEInputPlugVirtualPad();
    KEInputSetVirtualPadButton(KE_PAD_A, true);
    nextFrame();
    EXPECT_EQ(KEInputPadCount(), 1);
    EXPECT_TRUE(KEInputCheckTriggered(KEY_SPACE)) << "a button held as the pad is plugged in counts";
    EXPECT_TRUE(KEInputCheckTriggered(KEY_ENTER));
    KEInputSetVirtualPadButton(KE_PAD_A, false);
    nextFrame();
    EXPECT_TRUE(KEInputCheckReleased(KEY_SPACE));

    // The keyboard and the pad hold Left together: it stays down until both let go.
    KEInputPostKey(KEY_LEFT, true);
    KEInputSetVirtualPadStick(-1.0f, 0.0f);
    nextFrame();
    KEInputSetVirtualPadStick(0.0f, 0.0f);
    nextFrame();
    EXPECT_TRUE(KEInputCheckCurr(KEY_LEFT)) << "the keyboard still holds it";
    KEInputSetVirtualPadStick(-1.0f, 0.0f);
    KEInputPostKey(KEY_LEFT, false);
    nextFrame();
    EXPECT_TRUE(KEInputCheckCurr(KEY_LEFT)) << "the pad still holds it";

    // Pulled out mid-walk, it lets go of what it held.
    KEInputUnplugVirtualPad();
    nextFrame();
    EXPECT_EQ(KEInputPadCount(), 0);
    EXPECT_TRUE(KEInputCheckReleased(KEY_LEFT));
    KEInputSetVirtualPadButton(KE_PAD_START, true);
    nextFrame();
    EXPECT_FALSE(KEInputCheckCurr(KEY_ESCAPE)) << "an unplugged pad presses nothing";

    KEInputPlugVirtualPad();
    KEInputSetVirtualPadButton(KE_PAD_START, true);
    nextFrame();
    EXPECT_EQ(KEInputPadCount(), 1) << "plugged in again, without a restart";
    EXPECT_TRUE(KEInputCheckTriggered(KEY_ESCAPE));
}

TEST_F(KestrelTest, UntexturedDrawIsVertexColourTimesTintThroughTheTransform) {
    KEMesh* quad = startUntexturedFrame(0, 0, 1);
    KEGfxSetTintColor(1, 0.5f, 0, 1);
    drawQuad(quad, 0, 0, 32, 32);
    expectPixel(pixelAt(10, 10), {255, 128, 0});
    expectPixel(pixelAt(50, 10), {0, 0, 255});  // outside the quad: the background

    KEGfxSetTintColor(1, 1, 1, 0.5f);
    drawQuad(quad, 32, 0, 32, 32);
    expectPixel(pixelAt(50, 10), {128, 128, 255});  // half opacity blends over the blue
    KEGfxMeshFree(quad);
}

TEST_F(KestrelTest, TexturedDrawIsTexelTimesTintWithTheFrameOffset) {
    // Two texels: green on the left, red on the right.
    const unsigned char texels[] = {0, 255, 0, 255, 255, 0, 0, 255};
    std::string png = files.path("sheet.png");
    ASSERT_NE(stbi_write_png(png.c_str(), 2, 1, 4, texels, 8), 0);
    KETexture* texture = KEGfxTextureLoad(png.c_str());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(KEGfxTextureLoad(files.path("missing.png").c_str()), nullptr);

    KESysFrameStart();
    KEMesh* frame = createFrameMesh(1, 1, 2, 1, nullptr);
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetTintColor(1, 1, 1, 1);
    KEGfxTextureSet(texture, 0, 0);
    drawQuad(frame, 0, 0, 32, 32);
    KEGfxTextureSet(texture, 0.5f, 0);
    KEGfxSetTintColor(0.5f, 1, 1, 1);
    drawQuad(frame, 32, 0, 32, 32);
    expectPixel(pixelAt(16, 16), {0, 255, 0});
    expectPixel(pixelAt(48, 16), {128, 0, 0});
    KEGfxMeshFree(frame);
    KEGfxTextureUnload(texture);
}

// Text and sprites are frames cut from sheets: at 1:1 every texel of the
// frame shows once, also where the frame's start lies a float rounding short
// of a texel edge (13 / 22 x 22 is 12.99...).
TEST_F(KestrelTest, AFrameDrawnOneToOneShowsEachOfItsTexelsOnce) {
    constexpr int SIDE = 22;
    std::vector<unsigned char> texels;
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x)
            texels.insert(texels.end(),
                          {static_cast<unsigned char>(x * 10), static_cast<unsigned char>(y * 10), 0, 255});
    std::string png = files.path("grid.png");
    ASSERT_NE(stbi_write_png(png.c_str(), SIDE, SIDE, 4, texels.data(), SIDE * 4), 0);
    KETexture* texture = KEGfxTextureLoad(png.c_str());
    ASSERT_NE(texture, nullptr);
    KESysFrameStart();
    KEMesh* frame = createFrameMesh(5, 6, SIDE, SIDE, nullptr);
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetTintColor(1, 1, 1, 1);
    KEGfxTextureSet(texture, 13.0f / SIDE, 13.0f / SIDE);
    drawQuad(frame, 10, 10, 1, 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(pixelAt(10 + i, 12).r, (13 + i) * 10) << "column " << i;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(pixelAt(12, 10 + i).g, (13 + i) * 10) << "row " << i;
    KEGfxMeshFree(frame);
    KEGfxTextureUnload(texture);
}

// Everything is placed in virtual pixels and the viewport's scale takes it
// to the window. Tiles side by side at a scale that is not whole (full HD
// shows 896 x 504 at 15/7) meet without a gap: no background shows between.
TEST_F(KestrelTest, TheViewportScalesWhatIsDrawnAndNeighbouringQuadsLeaveNoGap) {
    constexpr float SCALE = 15.0f / 7.0f;
    const ScopedViewport viewport{WIDTH / SCALE, HEIGHT / SCALE, {SCALE, SCALE}};
    KEMesh* tile = startUntexturedFrame(0, 0, 0);
    KEGfxSetTintColor(1, 1, 1, 1);
    drawQuad(tile, 0, 0, 2, 2);
    EXPECT_EQ(Frame().at(3, 3)[0], 255);
    EXPECT_EQ(Frame().at(5, 5)[0], 0) << "two virtual pixels are four and a bit in the window";
    for (int column = 0; column < 15; ++column)
        for (int row = 0; row < 8; ++row) drawQuad(tile, 0.14f + column * 2.0f, 0.28f + row * 2.0f, 2, 2);
    const Frame frame;
    for (int y = 2; y < HEIGHT - 2; ++y)
        for (int x = 2; x < WIDTH - 2; ++x)
            ASSERT_EQ(frame.at(x, y)[0], 255) << "a gap at " << x << ", " << y;
    KEGfxMeshFree(tile);
}

}  // namespace
