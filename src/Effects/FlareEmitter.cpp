#include "Effects/FlareEmitter.h"

#include "Debug/Debug.h"

namespace {

constexpr int maxParticles = 2;
constexpr float flareSize = 30;
constexpr float life = 0.1f;

}  // namespace

std::unique_ptr<FlareEmitter> new_FlareEmitter() {
    std::unique_ptr<FlareEmitter> emitter = DEBUG_MAKE_UNIQUE(FlareEmitter, "new_FlareEmitter");
    initFlame(emitter.get(), "Assets/Textures/Flare.png", "new_FlareEmitter");
    return emitter;
}

void FlareEmitter::burst() {
    int spawned = RandomEffect() % maxParticles;
    for (int i = 0; i < spawned; ++i) new_Particle(store.get(), position, {0, 0}, flareSize, life, 0, 0);
}
