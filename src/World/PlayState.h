// How a room is entered: what one play screen hands to the next, and what a
// room reads when it is made.
#pragma once

#include <cstdint>
#include <string>

// The door a room is entered through: the map it leads to, the spawn point
// it lets the character in at, and how the door stood.
struct EntryDoor {
    std::string target;      // a map path, or "Intro" or "Outro"; empty for none
    std::string afterIntro;  // for the target "Intro": the map the intro leads to
    bool isHole = false;
    int32_t orientation = 0;
    int32_t id = 0;
    int32_t keyId = 0;
    bool locked = false;
};

// A value: it owns its strings, so copies never share them.
struct PlayState {
    EntryDoor entryDoor;
    float carriedCandleLife = 0.0f;  // above 10 the next character gets it as a candle
    float carriedRotation = 0.0f;    // the way the character faced when it left the last room
};
