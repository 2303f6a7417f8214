// The player's character: what the rest of the game reads of it. The sound
// cues follow its candle and its room.
#pragma once

struct Room;

struct CharacterEntity {
    Room* room = nullptr;
    float candleLife = 0.0f;  // seconds of candle left
    bool isMoving = false;
};

// The character of the room being played, or null outside play.
extern CharacterEntity* currentCharacter;
