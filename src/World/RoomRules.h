// What a room is like, as its map's own properties say: read once when the
// room is built, so that a designer makes a storm room, a tutorial room or a
// final passage in the map file alone (docs/content.md lists them).
#pragma once

#include "Content/Properties.h"

#include <span>

class Map;

// The music a room starts with when the character is set up in it.
enum class RoomMusic {
    Spooky,  // the level music that follows the candle
    Menu,    // the menu's music plays on, everything else stopped: the drive before the house
};

struct RoomRules {
    bool storm = false;             // bool.Storm: out in the rain; rain falls, the storm zones sound
    bool finalPassage = false;      // bool.FinalPassage: the last scene plays to its end, without a pause
    bool respawnWithCandle = true;  // bool.RespawnWithCandle: a respawn brings a fresh candle
    bool darkHoles = false;         // bool.DarkHoles: holes refuse a character without a burning candle
    bool candleBurns = true;        // bool.CandleBurns: the candle carried burns down
    float characterLight = 40.0f;   // decimal.CharacterLight: the character's own light without a candle
    RoomMusic music = RoomMusic::Spooky;  // Music: "spooky" or "menu"

    bool operator==(const RoomRules&) const = default;
};

// The map properties a room reads, with their defaults: those of RoomRules.
std::span<const PropertyDeclaration> roomPropertyDeclarations();

// A property of the wrong kind, or a music the game does not know, is a
// fatal error naming the map and the property.
RoomRules readRoomRules(const Map& map);
