// The screen the game is played on. Each play screen owns one room and a
// copy of the state that says how the room was entered. Moving to another
// room replaces the whole screen: the leaving screen fades out and then
// pushes a new play screen built from its updated state.
#pragma once

#include "Screens/Screen.h"
#include "World/PlayState.h"
#include "World/RoomOwner.h"

#include <cstdint>
#include <memory>
#include <string>

class BlackOut;
class RainEmitter;
class Room;

// The pause menu's "Main Menu": the room being played fades out and the main
// menu comes in, where the game can be continued as its room was entered.
void leavePlayForMainMenu();
class PlayScreen : public Screen, public RoomOwner {
public:
    std::unique_ptr<RainEmitter> rain;
    std::unique_ptr<Room> room;
    PlayState playState;  // how the room was entered; the screen base has its own state
    std::unique_ptr<BlackOut> blackout;

    explicit PlayScreen(const PlayState* entry);
    ~PlayScreen() override;

    const char* typeName() const override { return "PlayScreen"; }
    void loadContent() override;
    void handleInput(float dt) override;
    void update(float dt, bool otherScreenHasFocus, bool coveredByOtherScreen) override;
    void draw(float dt) override;
    // Leaves this room for the one the state describes.
    void changeRoom(const PlayState* next) override;

    PlayState& roomState() override { return playState; }
    BlackOut& roomBlackOut() override { return *blackout; }
    bool roomIsCovered() const override { return otherScreenHasFocus; }
    void openJournalPage(const char* texturePath) override;
    void showPrompt(const char* text) override;
    void hidePrompt() override;

private:
    bool toMainMenu = false;  // the pause menu's "Main Menu": the game is dropped

    void followCharacterWithRain(float dt);
    void onTransitionedOffScreen();

    friend void leavePlayForMainMenu();
};

std::unique_ptr<PlayScreen> new_PlayScreen(const PlayState* entry);
