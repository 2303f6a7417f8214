// The rain over the play screen: drops spawned at random in an area, falling
// at a slant, each drawn with one of twelve drop textures at 45 degrees.
#pragma once

#include "Effects/ParticleEmitter.h"
#include "Util/StepClock.h"

#include <array>
#include <cstdint>
#include <memory>

inline constexpr int rainDropTextureCount = 12;

class RainEmitter : public Emitter {
public:
    // The spawn area, in the same scaled units the play screen gives it.
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
    int32_t rate = 0;  // drops per second
    std::array<TextureContent*, rainDropTextureCount> drops{};

    void update(float dt);
    void draw(Vector2 viewPosition) const;

private:
    StepClock dropClock;

    void spawnDrop();
};

std::unique_ptr<RainEmitter> new_RainEmitter();
