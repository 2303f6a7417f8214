// A key lying in a room. Picking it up puts its id into the game's table of
// collected keys (World/GameProgress.h), which outlives rooms: locked doors with that id open from
// then on, and the key never lies in its room again.
#pragma once

#include "World/Entity.h"

#include <cstdint>
#include <memory>

bool isKeyCollected(int32_t keyId);

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
