// A key lying in a room. Picking it up puts its id into the table of
// collected keys, which outlives rooms: locked doors with that id open from
// then on, and the key never lies in its room again.
#pragma once

#include "World/Entity.h"

#include <cstdint>
#include <memory>

inline constexpr int32_t KEY_SLOTS = 21;

// Ids of the keys picked up so far; 0 marks a free slot. Key ids are 1 or more.
// Global because a game's keys outlive every room and screen that shows them.
extern int32_t collectedKeyIds[KEY_SLOTS];

bool isKeyCollected(int32_t keyId);
// A new game: no key has been picked up.
void forgetCollectedKeys();

class KeyEntity : public SpriteEntity {
public:
    int32_t keyId = 0;

    explicit KeyEntity(Room* owner);

    void update(float dt) override;
    // Keys stay fully visible while the room fades.
    void draw(float opacity, float dt) override;

private:
    void offerPickup();
};

std::unique_ptr<KeyEntity> new_KeyEntity(Room* room);
