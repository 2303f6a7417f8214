// The part of the roof where rain and thunder sound while the character
// stands in it. Anywhere else, and on any other map, the night stays quiet.
#pragma once

#include "World/Zone.h"

#include <memory>

class StormZone : public Zone {
public:
    explicit StormZone(Room* owner) : Zone(owner) {}

    void update(float dt) override;
};

std::unique_ptr<StormZone> new_StormZone(Room* room);
