#include "Screens/PlayScreen.h"

#include "Audio/SoundManager.h"
#include "Content/Controls.h"
#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Effects/BlackOutEffect.h"
#include "Effects/RainEmitter.h"
#include "Engine/KeyCodes.h"
#include "Engine/Viewport.h"
#include "Screens/CreditsScreen.h"
#include "Screens/IntroScreen.h"
#include "Screens/JournalScreen.h"
#include "Screens/MainMenuScreen.h"
#include "Screens/NotificationBar.h"
#include "Screens/PauseScreen.h"
#include "World/Camera.h"
#include "World/CharacterEntity.h"
#include "World/GameProgress.h"
#include "World/Room.h"

#include <cstring>

namespace {

constexpr float TRANSITION_SECONDS = 0.225f;
constexpr int32_t RAIN_PER_SECOND = 200;
constexpr float RAIN_MARGIN = 20.0f;

bool targetIs(const PlayState& state, const char* name) {
    return state.entryDoor.target == name;
}

}  // namespace

PlayScreen::PlayScreen(const PlayState* entry) : rain(new_RainEmitter()), blackout(new_BlackOut()) {
    isPopup = false;
    capturesInput = true;
    transitionOnTime = TRANSITION_SECONDS;
    transitionOffTime = TRANSITION_SECONDS;
    easeOn = easeQuartIn;
    easeOff = easeQuartOut;
    onTransitionedOff = [](Screen* screen) { static_cast<PlayScreen*>(screen)->onTransitionedOffScreen(); };
    rain->rate = RAIN_PER_SECOND;
    rain->minX = -RAIN_MARGIN;
    rain->minY = screenHeight() + RAIN_MARGIN;
    rain->maxX = screenWidth() + RAIN_MARGIN;
    rain->maxY = screenHeight() + RAIN_MARGIN;
    playState = *entry;
}

// Here, where the room's, the rain's and the blackout's types are complete.
PlayScreen::~PlayScreen() = default;

std::unique_ptr<PlayScreen> new_PlayScreen(const PlayState* entry) {
    return DEBUG_MAKE_UNIQUE(PlayScreen, "new_PlayScreen", entry);
}

// Every room entered is saved, so that "Continue" enters it again.
void PlayScreen::loadContent() {
    room = new_Room(this, &playState);
    GameProgressSave(playState);
}

void PlayScreen::handleInput(float dt) {
    const bool pause = ControlsTriggered(Action::Pause);
    CharacterEntity* character = room->character;
    if (character->readingJournal) character->readingJournal = false;
    else character->handleInput(dt);
    if (KEInputCheckTriggered(KEY_GRAVE)) room->debug = !room->debug;
    // The final passage plays to its end: it has no pause.
    if (pause && !room->rules.finalPassage) addScreen(new_PauseScreen());
}

// While another screen has the keyboard the room runs one more frame, then
// stands still with the rain and the blackout. A screen that has handed over
// to the next one leaves its room be: the next room's music and state are
// already set.
void PlayScreen::update(float dt, bool otherHasFocus, bool covered) {
    const bool hadFocusElsewhere = otherScreenHasFocus;
    Screen::update(dt, otherHasFocus, covered);
    if (isFinished) return;
    if (state != ScreenState::TransitionOn && otherHasFocus) {
        if (!hadFocusElsewhere) room->update(dt);
        return;
    }
    const CharacterEntity* character = room->character;
    room->camera->setTarget(character->x - screenWidth() * 0.5f, character->y - screenHeight() * 0.5f);
    if (room->rules.storm) followCharacterWithRain(dt);
    room->update(dt);
    blackout->update(dt);
}

// Out in the storm the rain falls in a band from above the screen to its lower
// part, around the character. The band is in the world's pixels, as the
// drops are: the camera's view scales them to the window once.
void PlayScreen::followCharacterWithRain(float dt) {
    const CharacterEntity* character = room->character;
    rain->minX = character->x - screenWidth() * 0.5f - 300;
    rain->maxX = character->x + screenWidth() * 0.5f;
    rain->minY = character->y - screenHeight() - 100;
    rain->maxY = character->y - screenHeight() * 0.3f;
    rain->update(dt);
}

void PlayScreen::draw(float dt) {
    const float opacity = transitionOpacity();
    room->draw(opacity, dt);
    rain->draw(room->camera->viewPosition);
    blackout->draw();
    if (NotificationBarState() != NOTIFICATION_HIDDEN) drawNotification(opacity);
}

void PlayScreen::changeRoom(const PlayState* next) {
    playState = *next;
    playState.carriedRotation = room->character->rotation;
    exitScreen();
}

// A play screen already leaving for another room is left to it.
void leavePlayForMainMenu() {
    for (Screen* screen : ScreenStackScreens()) {
        auto* play = dynamic_cast<PlayScreen*>(screen);
        if (play == nullptr || play->isExiting) continue;
        play->toMainMenu = true;
        play->exitScreen();
    }
}

void PlayScreen::onTransitionedOffScreen() {
    hideNotification();
    closeJournalPages();
    currentCharacter = nullptr;
    if (toMainMenu) {
        // The main menu starts its music over the silence.
        SoundManagerStopAll();
        SoundManagerStopStorm();
        addScreen(new_MainMenuScreen());
    } else if (targetIs(playState, "Intro")) {
        SoundManagerSetState(MS_DOOR);
        addScreen(new_IntroScreen(playState.entryDoor.afterIntro));
    } else if (targetIs(playState, "Outro")) {
        GameProgressForgetSave();
        SoundManagerSetState(MS_CREDITS);
        addScreen(new_CreditsScreen());
    } else {
        addScreen(new_PlayScreen(&playState));
    }
}

void PlayScreen::openJournalPage(const char* texturePath) {
    addScreen(new_JournalScreen(texturePath));
}

void PlayScreen::showPrompt(const char* text) {
    showNotification(text);
}

void PlayScreen::hidePrompt() {
    hideNotification();
}
