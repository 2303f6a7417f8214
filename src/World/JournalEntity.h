// The journal lying in the first room. The character must pick it up before
// any door opens; holding the space bar in reach is enough. Once taken it
// stays taken for the rest of the game: its room never lays it out again.
#pragma once

#include "World/Entity.h"

#include <memory>
#include <string>

class JournalEntity : public SpriteEntity {
public:
    std::string target;  // the map's "Target"; nothing reads it yet

    explicit JournalEntity(Room* owner);

    void update(float dt) override;

private:
    // True when the character took it this frame.
    bool offerPickup();
};

std::unique_ptr<JournalEntity> new_JournalEntity(Room* room);
