#include "Screens/PauseScreen.h"

#include "Debug/Debug.h"
#include "Engine/KeyCodes.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Screens/PlayScreen.h"

#include <cstring>

namespace {

constexpr float OVERLAY_OPACITY = 0.92f;

MenuItem pauseItems[] = {
    {"Resume", MENU_HIGHLIGHT_COLOUR, MENU_SELECTED_OFFSET},
    {"Main Menu", MENU_NORMAL_COLOUR, 0.0f},
    {"Exit To Desktop", MENU_NORMAL_COLOUR, 0.0f},
};

}  // namespace

PauseScreen::PauseScreen() : MenuScreen(pauseItems) {
    transitionOnTime = 0.45f;
    transitionOffTime = 0.75f;
    easeOn = easeCubicIn;
    easeOff = easeCubicOut;
}

std::unique_ptr<PauseScreen> new_PauseScreen() {
    return DEBUG_MAKE_UNIQUE(PauseScreen, "new_PauseScreen");
}

void PauseScreen::loadContent() {
    overlay.reset(createQuadMesh(1, 1, &colourBlack));
}

void PauseScreen::handleInput(float dt) {
    if (KEInputCheckTriggered(KEY_ESCAPE)) {
        exitScreen();
        return;
    }
    MenuScreen::handleInput(dt);
}

void PauseScreen::confirm(const char* text) {
    if (std::strcmp(text, "Exit To Desktop") == 0) {
        ScreenStackRequestExit();
        return;
    }
    if (std::strcmp(text, "Main Menu") == 0) leavePlayForMainMenu();
    exitScreen();
}

void PauseScreen::draw(float dt) {
    Matrix3 cover;
    Matrix3Scale(&cover, screenWidth(), screenHeight());
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, OVERLAY_OPACITY * transitionOpacity());
    KEGfxSetTransform(&cover);
    KEGfxMeshDraw(overlay.get());
    MenuScreen::draw(dt);
}
