// Screens and the screen stack.
//
// Everything the player sees belongs to a screen. The stack's head is the
// bottom and its tail the top. Each frame the stack is updated from the top
// down, which decides who gets the keyboard and who is covered, then drawn
// from the bottom up. A screen that has finished leaving is removed and
// destroyed by the stack itself: screens never remove themselves.
#pragma once

#include "Util/LinkedList.h"
#include "Util/TweenManager.h"

#include <cstdint>
#include <functional>
#include <memory>

enum class ScreenState : int32_t {
    TransitionOn = 0,
    Active = 1,
    TransitionOff = 2,
    Hidden = 3,
};

class Screen;
using ScreenCallback = std::function<void(Screen* screen)>;

class Screen {
public:
    ScreenState state = ScreenState::TransitionOn;
    bool isPopup = false;       // a screen that is not a pop-up covers every screen below it
    bool capturesInput = true;  // after this screen handled input, the screens below get none
    bool otherScreenHasFocus = false;
    bool isExiting = false;
    bool isFinished = false;  // the stack removes and destroys the screen at its next update
    float transitionOnTime = 0.0f;
    float transitionOffTime = 0.0f;
    float transitionPosition = 1.0f;  // 0 fully on, 1 fully off
    EasingFunction easeOn = easeLinear;
    EasingFunction easeOff = easeLinear;
    ScreenCallback onTransitionedOn;
    ScreenCallback onTransitionedOff;

    Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    // Destroying a screen frees everything it owns.
    virtual ~Screen() = default;

    // The screen's kind as the state log names it, e.g. "PlayScreen".
    virtual const char* typeName() const = 0;

    virtual bool isTransitioning() const;
    virtual bool isActive() const;
    // Called once, just before the screen is pushed.
    virtual void loadContent() {}
    // Called only for the screen that has the keyboard this frame.
    virtual void handleInput(float) {}
    // The transition machine; screens that override it call it first.
    virtual void update(float dt, bool otherScreenHasFocus, bool coveredByOtherScreen);
    // Called for every screen that is not Hidden.
    virtual void draw(float) {}
    // Everything a screen draws is multiplied by this.
    virtual float transitionOpacity() const;
    virtual void exitScreen();

private:
    void completeTransition();
};

// Makes a screen to hand over to.
using ScreenFactory = std::unique_ptr<Screen> (*)();

void ScreenStackInit();
// The screens, bottom to top, between ScreenStackInit and ScreenStackShutdown.
const OwningList<Screen>& ScreenStackScreens();
// A menu's "Exit" or the window closing: the game ends at the end of the
// frame, with the screens as they are.
void ScreenStackRequestExit();
bool ScreenStackExitRequested();
// Loads the screen's content and puts it on top of the stack, which owns it.
void addScreen(std::unique_ptr<Screen> screen);
void ScreenStackUpdate(float dt);
void ScreenStackDraw(float dt);
// Destroys every screen left, bottom to top, then the stack.
void ScreenStackShutdown();
