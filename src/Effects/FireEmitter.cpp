#include "Effects/FireEmitter.h"

#include "Debug/Debug.h"

namespace {

constexpr int maxParticles = 3;
constexpr float defaultSize = 30;
constexpr float life = 0.1f;
constexpr float burstsPerSecond = 60;

}  // namespace

void initFlame(FireEmitter* emitter, const char* texturePath, const char* constructor) {
    emitter->store = makeParticleStore(createCentredQuad(), texturePath, constructor);
}

std::unique_ptr<FireEmitter> new_FireEmitter() {
    std::unique_ptr<FireEmitter> emitter = DEBUG_MAKE_UNIQUE(FireEmitter, "new_FireEmitter");
    initFlame(emitter.get(), "Assets/Textures/Fire.png", "new_FireEmitter");
    return emitter;
}

void FireEmitter::emit(float dt) {
    for (int due = bursts.advance(dt, burstsPerSecond); due > 0; --due) burst();
}

void FireEmitter::burst() {
    int spawned = RandomEffect() % maxParticles;
    float particleSize = size != 0 ? size : defaultSize;
    for (int i = 0; i < spawned; ++i) new_Particle(store.get(), position, {0, 0}, particleSize, life, 0, 0);
}

void FireEmitter::update(float dt) {
    store->updateParticles(dt, [this](Particle& particle) { particle.position = position; });
}

void FireEmitter::draw(Vector2 viewPosition) const {
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    KETexture* flame = store->texture->texture.get();
    store->drawParticles(particleView(viewPosition, 0), [flame](const Particle&) { return flame; });
}
