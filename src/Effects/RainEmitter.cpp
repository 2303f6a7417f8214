#include "Effects/RainEmitter.h"

#include "Debug/Debug.h"
#include "Engine/Viewport.h"

#include <cstdio>

namespace {

constexpr int fallSpeedSpread = 50;
constexpr float slowestFall = 500;
constexpr float drift = 150;
constexpr float largestSize = 15;
constexpr float life = 5;
constexpr float slant = 0.7853982f;
constexpr float drawOffset = 25;

// Whole drops due in dt; a long stall brings at most a second's worth,
// which would expire at once anyway.
int dropsDue(int32_t rate, float dt) {
    float due = static_cast<float>(rate) * dt;
    if (!(due >= 1)) return 0;
    return due >= static_cast<float>(rate) ? rate : static_cast<int>(due);
}

}  // namespace

std::unique_ptr<RainEmitter> new_RainEmitter() {
    std::unique_ptr<RainEmitter> emitter = DEBUG_MAKE_UNIQUE(RainEmitter, "new_RainEmitter");
    emitter->store = makeParticleStore(createCornerQuad(), nullptr, "new_RainEmitter");
    for (int i = 0; i < rainDropTextureCount; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "Assets/Textures/Rain/Rain%i.png", i);
        emitter->drops[static_cast<size_t>(i)] = loadParticleTexture(path);
    }
    return emitter;
}

void RainEmitter::spawnDrop() {
    float fallSpeed = static_cast<float>(gameRand() % fallSpeedSpread) + slowestFall;
    float size = gameRandFraction() * largestSize;
    float x = minX + (maxX - minX) * gameRandFraction();
    float y = minY + (maxY - minY) * gameRandFraction();
    int32_t drop = gameRand() % rainDropTextureCount;
    new_Particle(store.get(), {x, y}, {drift, fallSpeed}, size, life, 0, drop);
}

void RainEmitter::update(float dt) {
    for (int i = dropsDue(rate, dt); i > 0; --i) spawnDrop();
    store->updateParticles(dt, [](Particle& particle) { particle.rotation = slant; });
}

void RainEmitter::draw(Vector2 viewPosition) const {
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    store->drawParticles(particleView(viewPosition, drawOffset), [this](const Particle& particle) {
        return drops[static_cast<size_t>(particle.extra)]->texture.get();
    });
}
