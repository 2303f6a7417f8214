// Doors and holes, the ways out of a room. Standing at one and pressing the
// space bar asks the play screen for the room behind it. A door may stay
// locked until its key has been picked up; no door opens before the journal
// has been found. A hole is a door that is not drawn and that, in a room of
// dark holes (the second tutorial room), refuses a character without a
// burning candle.
#pragma once

#include "World/Entity.h"

#include <cstdint>
#include <memory>
#include <string>

class CharacterEntity;

class DoorEntity : public SpriteEntity {
public:
    std::string target;      // the map behind the door, or "Intro" or "Outro"
    std::string afterIntro;  // for the target "Intro": the map the intro leads to
    bool isHole = false;
    int32_t orientation = 0;  // 0 upright; otherwise turned a quarter turn
    int32_t doorId = 0;       // the spawn point it lets the character in at
    int32_t keyId = 0;        // the key that unlocks it
    bool locked = false;

    DoorEntity(Room* owner, int32_t doorOrientation);

    void update(float dt) override;
    // Holes are not drawn.
    void draw(float opacity, float dt) override;

private:
    bool isWithinReach(const CharacterEntity& character) const;
    bool isBlackedOut() const;
    // Writes this frame's prompt; false when the door refuses the character.
    bool offerPrompt(const CharacterEntity& character) const;
    void use(const CharacterEntity& character);
    void leaveThrough(const CharacterEntity& character) const;
};

std::unique_ptr<DoorEntity> new_DoorEntity(Room* room, int32_t orientation);
