// Dust kicked up behind the walking character: small brown puffs that
// shrink at random and drift against the walk.
#pragma once

#include "Effects/ParticleEmitter.h"

#include <cstdint>
#include <memory>

// Seconds until the next burst, shared by every dust emitter: the character
// in each room makes its own, and the pace carries over from room to room.
extern float dustTimer;

class DustEmitter : public Emitter {
public:
    int32_t rate = 0;  // bursts per second; none while 0

    // pivot is the character's position plus its pivot; the dust rises
    // below and right of it and moves against walkingVelocity.
    void emit(Vector2 pivot, Vector2 walkingVelocity, float dt);
    void update(float dt);
    void draw(Vector2 viewPosition) const;
};

std::unique_ptr<DustEmitter> new_DustEmitter();
