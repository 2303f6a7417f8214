#include "Screens/Screen.h"

#include <algorithm>

namespace {

std::unique_ptr<OwningList<Screen>> screenStack;

bool exitRequested = false;  // a menu or the window asked the game to end

bool isNegligible(float time) {
    return time > -0.0001f && time < 0.001f;
}

float transitionStep(float dt, float transitionTime) {
    return isNegligible(transitionTime) ? 1.0f : dt / transitionTime;
}

bool isStrictlyBetweenOnAndOff(float position) {
    return position > 0.0f && position < 1.0f;
}

}  // namespace

bool Screen::isTransitioning() const {
    return state == ScreenState::TransitionOn || state == ScreenState::TransitionOff;
}

bool Screen::isActive() const {
    return !otherScreenHasFocus && (state == ScreenState::TransitionOn || state == ScreenState::Active);
}

float Screen::transitionOpacity() const {
    EasingFunction ease = state == ScreenState::TransitionOn ? easeOn : easeOff;
    return 1.0f - ease(transitionPosition);
}

// Runs the callback of the end the position reached and clamps it there.
void Screen::completeTransition() {
    const ScreenCallback& callback = transitionPosition <= 0.0f ? onTransitionedOn : onTransitionedOff;
    if (callback) callback(this);
    transitionPosition = std::clamp(transitionPosition, 0.0f, 1.0f);
}

void Screen::update(float dt, bool otherHasFocus, bool covered) {
    otherScreenHasFocus = otherHasFocus;
    if (isExiting) {
        state = ScreenState::TransitionOff;
        if (isNegligible(dt)) return;
        transitionPosition += transitionStep(dt, transitionOffTime);
        if (isStrictlyBetweenOnAndOff(transitionPosition)) return;
        completeTransition();
        isFinished = true;
        return;
    }
    ScreenState transitioning = covered ? ScreenState::TransitionOff : ScreenState::TransitionOn;
    if (isNegligible(dt)) {
        state = transitioning;
        return;
    }
    transitionPosition +=
        covered ? transitionStep(dt, transitionOffTime) : -transitionStep(dt, transitionOnTime);
    if (isStrictlyBetweenOnAndOff(transitionPosition)) {
        state = transitioning;
        return;
    }
    // Callbacks fire once, on the frame a transition completes.
    if (isTransitioning()) completeTransition();
    transitionPosition = std::clamp(transitionPosition, 0.0f, 1.0f);
    state = covered ? ScreenState::Hidden : ScreenState::Active;
}

void Screen::exitScreen() {
    isExiting = true;
    if (!isNegligible(transitionOffTime)) return;
    if (onTransitionedOff) onTransitionedOff(this);
    isFinished = true;
}

void ScreenStackInit() {
    screenStack = DEBUG_MAKE_UNIQUE(OwningList<Screen>, "ScreenStackInit");
    exitRequested = false;
}

const OwningList<Screen>& ScreenStackScreens() {
    return *screenStack;
}

void ScreenStackRequestExit() {
    exitRequested = true;
}

bool ScreenStackExitRequested() {
    return exitRequested;
}

void addScreen(std::unique_ptr<Screen> screen) {
    screen->loadContent();
    screenStack->pushBack(std::move(screen));
}

void ScreenStackUpdate(float dt) {
    bool otherScreenHasFocus = false;
    bool covered = false;
    // Screens pushed during the walk land above it and wait for the next frame.
    ListNode<Screen>* node = screenStack->tail;
    while (node != nullptr) {
        Screen* screen = node->data;
        ListNode<Screen>* below = node->prev;
        if (screen->isFinished) {
            screenStack->removeNode(node);
            node = below;
            continue;
        }
        screen->update(dt, otherScreenHasFocus, covered);
        if (screen->state == ScreenState::TransitionOn || screen->state == ScreenState::Active) {
            if (!otherScreenHasFocus) {
                screen->handleInput(dt);
                otherScreenHasFocus = screen->capturesInput;
            }
            if (!screen->isPopup) covered = true;
        }
        node = below;
    }
}

void ScreenStackDraw(float dt) {
    for (Screen* screen : *screenStack)
        if (screen->state != ScreenState::Hidden) screen->draw(dt);
}

// Each screen is unlinked before it is destroyed, so that a destructor
// walking the stack never meets it half gone.
void ScreenStackShutdown() {
    while (screenStack->head != nullptr) screenStack->removeNode(screenStack->head);
    screenStack.reset();
}
