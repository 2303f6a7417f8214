// An invisible area of a room that scripts what happens while the character
// stands in it. Each kind tests the overlap first in its update.
#pragma once

#include "World/Entity.h"

class Zone : public Entity {
public:
    bool inside = false;  // the character overlapped the zone at its last test

protected:
    explicit Zone(Room* owner) : Entity(ET_ZONE, owner) {}

    // The character's unscaled box against the zone, edges included.
    void testOverlap();
};
