#include "Effects/RainEmitter.h"

#include "Debug/Debug.h"

#include <cstdio>

namespace {

constexpr int fallSpeedSpread = 50;
constexpr float slowestFall = 500;
constexpr float drift = 150;
constexpr float largestSize = 15;
constexpr float life = 5;
constexpr float slant = 0.7853982f;
constexpr float drawOffset = 25;

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
    float fallSpeed = static_cast<float>(RandomEffect() % fallSpeedSpread) + slowestFall;
    float size = RandomEffectFraction() * largestSize;
    float x = minX + (maxX - minX) * RandomEffectFraction();
    float y = minY + (maxY - minY) * RandomEffectFraction();
    int32_t drop = RandomEffect() % rainDropTextureCount;
    new_Particle(store.get(), {x, y}, {drift, fallSpeed}, size, life, 0, drop);
}

void RainEmitter::update(float dt) {
    for (int i = dropClock.advance(dt, static_cast<float>(rate)); i > 0; --i) spawnDrop();
    store->updateParticles(dt, [](Particle& particle) { particle.rotation = slant; });
}

void RainEmitter::draw(Vector2 viewPosition) const {
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    store->drawParticles(particleView(viewPosition, drawOffset), [this](const Particle& particle) {
        return drops[static_cast<size_t>(particle.extra)]->texture.get();
    });
}
