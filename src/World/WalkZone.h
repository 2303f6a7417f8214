// The final scene. While the character stands in the zone it walks on by
// itself with a small steady light, its last journal page read aloud; once
// it has walked out, a door opens behind it, a scream and a shot are heard,
// the screen goes black, and the credits follow. The zone is placed so that
// the character starts inside it.
#pragma once

#include "World/Zone.h"

#include <memory>

class WalkZone : public Zone {
public:
    explicit WalkZone(Room* owner) : Zone(owner) {}

    void update(float dt) override;

private:
    void walkOn(float dt) const;
    void leave(float dt) const;
};

std::unique_ptr<WalkZone> new_WalkZone(Room* room);