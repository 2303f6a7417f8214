#include "Screens/MainMenuScreen.h"

#include "Audio/SoundManager.h"
#include "Content/TextureContent.h"
#include "Debug/Debug.h"
#include "Engine/Kestrel.h"
#include "Engine/Viewport.h"
#include "Screens/CardScreen.h"
#include "Screens/CreditsScreen.h"
#include "Screens/OptionsScreen.h"
#include "Screens/PlayScreen.h"
#include "World/GameProgress.h"

#include <cstring>
#include <span>

namespace {

const char* const BACKDROP = "Assets/Textures/IntroBackground.png";
const char* const TITLE = "Assets/Textures/IntroLogo.png";
// The title's top, and the middle of the items under it, as shares of the
// screen's height.
constexpr float TITLE_TOP = 0.08f;
constexpr float ITEMS_MIDDLE = 0.72f;

// Their colours and offsets are animated in place for the life of the process.
MenuItem newGameItems[] = {
    {"Play", MENU_HIGHLIGHT_COLOUR, MENU_SELECTED_OFFSET},
    {"Options", MENU_NORMAL_COLOUR, 0.0f},
    {"Credits", MENU_NORMAL_COLOUR, 0.0f},
    {"Exit", MENU_NORMAL_COLOUR, 0.0f},
};
// With a saved game the menu opens on it.
MenuItem savedGameItems[] = {
    {"Continue", MENU_HIGHLIGHT_COLOUR, MENU_SELECTED_OFFSET},
    {"New Game", MENU_NORMAL_COLOUR, 0.0f},
    {"Options", MENU_NORMAL_COLOUR, 0.0f},
    {"Credits", MENU_NORMAL_COLOUR, 0.0f},
    {"Exit", MENU_NORMAL_COLOUR, 0.0f},
};

std::span<MenuItem> menuItemsNow() {
    if (GameProgressHasSave()) return savedGameItems;
    return newGameItems;
}

void startNewGame() {
    GameProgressReset();
    GameProgressStartSaving();
    PlayState newGame;
    newGame.entryDoor.target = FIRST_ROOM;
    addScreen(new_PlayScreen(&newGame));
}

// A save that has gone since the menu opened brings the menu back without it.
void continueSavedGame() {
    PlayState saved;
    if (!GameProgressContinue(&saved)) {
        addScreen(new_MainMenuScreen());
        return;
    }
    GameProgressStartSaving();
    addScreen(new_PlayScreen(&saved));
}

bool is(const char* text, const char* label) {
    return std::strcmp(text, label) == 0;
}

}  // namespace

MainMenuScreen::MainMenuScreen() : MenuScreen(menuItemsNow()) {
    transitionOnTime = 1.25f;
    transitionOffTime = 0.75f;
    easeOn = easeQuartIn;
    easeOff = easeQuartOut;
    onTransitionedOff = [](Screen* screen) { static_cast<MainMenuScreen*>(screen)->onChoiceMade(); };
}

std::unique_ptr<MainMenuScreen> new_MainMenuScreen() {
    return DEBUG_MAKE_UNIQUE(MainMenuScreen, "new_MainMenuScreen");
}

void MainMenuScreen::loadContent() {
    SoundManagerSetState(MS_MENU);
    backdrop = loadImage(BACKDROP);
    backdropMesh.reset(createImageMesh(backdrop));
    title = loadImage(TITLE);
    titleMesh.reset(createImageMesh(title));
    titlePosition = {(screenWidth() - static_cast<float>(title->width)) * 0.5f, screenHeight() * TITLE_TOP};
    centreBlockAt(screenHeight() * ITEMS_MIDDLE);
}

void MainMenuScreen::draw(float dt) {
    const float opacity = transitionOpacity();
    const Vector2 covering =
        backgroundScaleFor(static_cast<float>(backdrop->width), static_cast<float>(backdrop->height));
    drawImage(backdropMesh.get(), backdrop, {0, 0}, covering, opacity);
    drawImage(titleMesh.get(), title, titlePosition, {1, 1}, opacity);
    MenuScreen::draw(dt);
}

// The options open over the menu, which waits below them.
void MainMenuScreen::confirm(const char* text) {
    if (is(text, "Exit")) ScreenStackRequestExit();
    else if (is(text, "Options")) addScreen(new_OptionsScreen());
    else exitScreen();
}

// A new game forgets everything the last play-through left behind.
void MainMenuScreen::onChoiceMade() {
    if (is(selectedText(), "Play") || is(selectedText(), "New Game")) startNewGame();
    else if (is(selectedText(), "Continue")) continueSavedGame();
    else if (is(selectedText(), "Credits")) addScreen(new_CreditsScreen());
}
