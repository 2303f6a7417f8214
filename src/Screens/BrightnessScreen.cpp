#include "Screens/BrightnessScreen.h"

#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Content/Settings.h"
#include "Content/TextureFont.h"
#include "Debug/Debug.h"
#include "Engine/KeyCodes.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Screens/MainMenuScreen.h"
#include "Screens/MenuScreen.h"
#include "Screens/OptionsScreen.h"

#include <algorithm>
#include <string>

namespace {

constexpr int CUE_MOVE = 0;
constexpr int CUE_START = 3;
// The stone of the house's walls, in the light.
constexpr Color STONE{0xFF8C7A64u, 1.0f, 0x8C / 255.0f, 0x7A / 255.0f, 0x64 / 255.0f};
constexpr float PATCH_SIZE = 96.0f;
constexpr float PATCH_GAP = 64.0f;
constexpr float DEEPEST_DARKNESS = 1.0f;
constexpr float DIM_TILE_DARKNESS = 0.8f;
constexpr float TEXT_GAP = 14.0f;
constexpr float HINT_OPACITY = 0.6f;

}  // namespace

BrightnessScreen::BrightnessScreen(bool first)
    : firstStart(first), brightness(SettingsCurrent().brightness), brightnessBefore(brightness) {
    isPopup = !first;
    capturesInput = true;
    transitionOnTime = 0.5f;
    transitionOffTime = 0.5f;
    easeOn = easeCubicIn;
    easeOff = easeCubicOut;
    if (first) onTransitionedOff = [](Screen*) { addScreen(new_MainMenuScreen()); };
}

std::unique_ptr<BrightnessScreen> new_BrightnessScreen(bool firstStart) {
    return DEBUG_MAKE_UNIQUE(BrightnessScreen, "new_BrightnessScreen", firstStart);
}

void BrightnessScreen::loadContent() {
    titleFont = ContentLoad<TextureFont>("Assets/Fonts/Menu.fnt");
    textFont = ContentLoad<TextureFont>("Assets/Fonts/CreditText.fnt");
    black.reset(createQuadMesh(1, 1, &colourBlack));
    stone.reset(createQuadMesh(1, 1, &STONE));
}

// The lift is seen at once; the settings keep it on Enter.
void BrightnessScreen::handleInput(float) {
    if (KEInputCheckTriggered(KEY_ENTER) || (firstStart && KEInputCheckTriggered(KEY_ESCAPE))) {
        SoundManagerPlayInterface(CUE_START);
        keep(brightness);
        exitScreen();
        return;
    }
    if (KEInputCheckTriggered(KEY_ESCAPE)) {
        Settings before = SettingsCurrent();
        before.brightness = brightnessBefore;
        applySettings(before);
        exitScreen();
        return;
    }
    const int direction =
        (KEInputCheckTriggered(KEY_RIGHT) ? 1 : 0) - (KEInputCheckTriggered(KEY_LEFT) ? 1 : 0);
    const int32_t next = std::clamp(brightness + direction * BRIGHTNESS_STEP, 0, 100);
    if (next == brightness) return;
    brightness = next;
    SoundManagerPlayInterface(CUE_MOVE);
    Settings shown = SettingsCurrent();
    shown.brightness = brightness;
    applySettings(shown);
}

void BrightnessScreen::keep(int32_t value) {
    Settings next = SettingsCurrent();
    next.brightness = value;
    next.brightnessChosen = true;
    SettingsChange(next);
    applySettings(next);
}

void BrightnessScreen::drawFilled(KEMesh* mesh, float x, float y, float width, float height,
                                  float opacity) const {
    Matrix3 placement, size, transform;
    Matrix3Translate(&placement, x, y);
    Matrix3Scale(&size, width, height);
    Matrix3Concat(&transform, &placement, &size);
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, opacity);
    KEGfxSetTransform(&transform);
    KEGfxMeshDraw(mesh);
}

// Stone under the darkness the room would lay over it, lifted as the game
// lifts its darkness.
void BrightnessScreen::drawPatch(float x, float y, float darkness, float opacity) const {
    drawFilled(stone.get(), x, y, PATCH_SIZE, PATCH_SIZE, opacity);
    const float lifted = darkness * (1.0f - brightnessFloor(brightness));
    drawFilled(black.get(), x, y, PATCH_SIZE, PATCH_SIZE, lifted * opacity);
}

void BrightnessScreen::draw(float) {
    const float opacity = transitionOpacity();
    drawFilled(black.get(), 0, 0, screenWidth(), screenHeight(), opacity);
    const float middle = screenWidth() * 0.5f;
    const float patchesTop = screenHeight() * 0.5f - PATCH_SIZE * 0.5f;
    drawPatch(middle - PATCH_GAP * 0.5f - PATCH_SIZE, patchesTop, DEEPEST_DARKNESS, opacity);
    drawPatch(middle + PATCH_GAP * 0.5f, patchesTop, DIM_TILE_DARKNESS, opacity);
    Color white = colourWhite;
    white.opacity = opacity;
    Color hint = colourWhite;
    hint.opacity = opacity * HINT_OPACITY;
    const float titleTop = patchesTop - TEXT_GAP * 3 - titleFont->lineHeight - textFont->lineHeight;
    titleFont->drawText("Brightness", {middle, titleTop}, white, ALIGN_CENTER);
    textFont->drawText("Raise it until the mark on the left is just visible",
                       {middle, patchesTop - TEXT_GAP - textFont->lineHeight}, white, ALIGN_CENTER);
    const float valueTop = patchesTop + PATCH_SIZE + TEXT_GAP;
    const std::string value = "<  " + std::to_string(brightness) + "%  >";
    titleFont->drawText(value, {middle, valueTop}, white, ALIGN_CENTER);
    textFont->drawText(firstStart ? "Left and Right to change, Enter to keep it"
                                  : "Left and Right to change, Enter to keep it, Escape to leave it",
                       {middle, valueTop + titleFont->lineHeight + TEXT_GAP}, hint, ALIGN_CENTER);
}
