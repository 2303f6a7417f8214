// The screen the game is played on. Each play screen owns one room and a
// copy of the state that says how the room was entered. Moving to another
// room replaces the whole screen: the leaving screen fades out and then
// pushes a new play screen built from its updated state.
#pragma once

#include "Screens/Screen.h"

#include <cstdint>
#include <string>

class BlackOut;
class RainEmitter;
class Room;

// The door a room is entered through: the map it leads to, the spawn point
// it lets the character in at, and how the door stood.
struct EntryDoor {
    std::string target;  // a map path, or "Intro" or "Outro"; empty for none
    bool isHole = false;
    int32_t orientation = 0;
    int32_t id = 0;
    int32_t keyId = 0;
    bool locked = false;
};

// What one play screen hands to the next. It owns its strings, so copies
// never share them.
struct PlayState {
    EntryDoor entryDoor;
    float carriedCandleLife = 0.0f;  // above 10 the next character gets it as a candle
    int32_t lastCheckpointId = 0;    // highest checkpoint reached, 0 for none
    std::string lastCheckpointRoom;  // empty for none
};

void copyPlayState(PlayState* destination, const PlayState* source);
// A new game: no key picked up, the final scene, its last line and the intro
// music ready to play again, the character facing as at the start.
void resetGameProgress();
// Empties the state's strings.
void releasePlayState(PlayState* state);

class PlayScreen : public Screen {
public:
    RainEmitter* rain;
    Room* room = nullptr;
    PlayState playState;  // how the room was entered; the screen base has its own state
    BlackOut* blackout;

    explicit PlayScreen(const PlayState* entry);
    ~PlayScreen() override;

    const char* typeName() const override { return "PlayScreen"; }
    void loadContent() override;
    void handleInput(float dt) override;
    void update(float dt, bool otherScreenHasFocus, bool coveredByOtherScreen) override;
    void draw(float dt) override;
    // Leaves this room for the one the state describes.
    void changeRoom(const PlayState* next);

private:
    bool onRoof = false;  // only the roof has rain

    void followCharacterWithRain(float dt);
    void onTransitionedOffScreen();
};

PlayScreen* new_PlayScreen(const PlayState* entry);

// The character's rotation when the last room was left; the next character
// takes it.
extern float carriedRotation;
