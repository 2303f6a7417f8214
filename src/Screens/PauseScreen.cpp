#include "Screens/PauseScreen.h"

#include "Debug/Debug.h"
#include "Engine/KeyCodes.h"
#include "Screens/OptionsScreen.h"
#include "Screens/PlayScreen.h"

#include <cstring>

namespace {

MenuItem pauseItems[] = {
    {"Resume", MENU_HIGHLIGHT_COLOUR, MENU_SELECTED_OFFSET},
    {"Options", MENU_NORMAL_COLOUR, 0.0f},
    {"Main Menu", MENU_NORMAL_COLOUR, 0.0f},
    {"Exit To Desktop", MENU_NORMAL_COLOUR, 0.0f},
};

}  // namespace

PauseScreen::PauseScreen() : MenuScreen(pauseItems) {
    transitionOnTime = 0.45f;
    transitionOffTime = 0.75f;
    easeOn = easeCubicIn;
    easeOff = easeCubicOut;
    dimBelow();
}

std::unique_ptr<PauseScreen> new_PauseScreen() {
    return DEBUG_MAKE_UNIQUE(PauseScreen, "new_PauseScreen");
}

void PauseScreen::handleInput(float dt) {
    if (KEInputCheckTriggered(KEY_ESCAPE)) {
        exitScreen();
        return;
    }
    MenuScreen::handleInput(dt);
}

// The options open over the menu, which waits below them.
void PauseScreen::confirm(const char* text) {
    if (std::strcmp(text, "Exit To Desktop") == 0) {
        ScreenStackRequestExit();
        return;
    }
    if (std::strcmp(text, "Options") == 0) {
        addScreen(new_OptionsScreen());
        return;
    }
    if (std::strcmp(text, "Main Menu") == 0) leavePlayForMainMenu();
    exitScreen();
}
