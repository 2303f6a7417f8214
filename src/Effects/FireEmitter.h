// The flickering flame of candles, lanterns and map fires: two or three
// short-lived particles at random angles overlap on the emitter's position.
// A burst of none to two of them comes sixty times a second.
#pragma once

#include "Effects/ParticleEmitter.h"
#include "Util/StepClock.h"

#include <cstdint>
#include <memory>

class FireEmitter : public Emitter {
public:
    Vector2 position{0, 0};
    int32_t count = 0;  // set by the owners, read by nobody
    float size = 0.0f;  // 0 means the default flame size

    // The bursts due in a frame of dt seconds.
    void emit(float dt);
    // The particles follow the emitter, also when it moves.
    void update(float dt);
    // Draws with the tint the owner set.
    void draw(Vector2 viewPosition) const;

protected:
    virtual void burst();

private:
    StepClock bursts;
};

std::unique_ptr<FireEmitter> new_FireEmitter();
// Gives a freshly made flame its store: the centred quad and the texture.
void initFlame(FireEmitter* emitter, const char* texturePath, const char* constructor);
