// What a room needs of the screen that plays it, and no more: the state it
// was entered with, the blackout, whether another screen has the keyboard,
// and the ways out (another room, a journal page, the prompt bar).
#pragma once

#include "World/PlayState.h"

class BlackOut;

class RoomOwner {
public:
    // How the room was entered, and the progress made in it since.
    virtual PlayState& roomState() = 0;
    virtual BlackOut& roomBlackOut() = 0;
    // Another screen (a page, the pause menu) has the keyboard: the room stands still.
    virtual bool roomIsCovered() const = 0;
    // Leaves for the room, or the intro or credits, the state describes.
    virtual void changeRoom(const PlayState* next) = 0;
    virtual void openJournalPage(const char* texturePath) = 0;
    virtual void showPrompt(const char* text) = 0;
    virtual void hidePrompt() = 0;

protected:
    ~RoomOwner() = default;
};
