#include "Effects/DustEmitter.h"

#include "Debug/Debug.h"

float dustTimer = 1.0f;

namespace {

constexpr int maxBurst = 10;
constexpr int maxSpeed = 15;
constexpr Vector2 spawnOffset{25, 30};
constexpr float drawOffset = 25;
constexpr float spawnSize = 200;
constexpr float largestSize = 20;
constexpr float life = 0.5f;
constexpr float shrinkPerSecond = 60;  // at most; a puff shrinks by a random share of it

// A speed in 0..14 against the walk along one axis, 0 when not walking along it.
float speedAgainst(float walking) {
    if (walking == 0) return 0;
    float speed = static_cast<float>(RandomEffect() % maxSpeed);
    return walking > 0 ? -speed : speed;
}

}  // namespace

std::unique_ptr<DustEmitter> new_DustEmitter() {
    std::unique_ptr<DustEmitter> emitter = DEBUG_MAKE_UNIQUE(DustEmitter, "new_DustEmitter");
    emitter->store = makeParticleStore(createCornerQuad(), "Assets/Textures/Smoke.png", "new_DustEmitter");
    return emitter;
}

void DustEmitter::emit(Vector2 pivot, Vector2 walkingVelocity, float dt) {
    // Without a rate the next burst would be infinitely far off for every dust emitter.
    if (rate <= 0) return;
    dustTimer -= dt;
    if (dustTimer > 0) return;
    int count = RandomEffect() % maxBurst;
    dustTimer = 1.0f / static_cast<float>(rate);
    if (RandomEffect() % 2 == 1) dustTimer += RandomEffectFraction();
    Vector2 position{pivot.x + spawnOffset.x, pivot.y + spawnOffset.y};
    for (int i = 0; i < count; ++i) {
        float speedX = speedAgainst(walkingVelocity.x);
        float speedY = speedAgainst(walkingVelocity.y);
        new_Particle(store.get(), position, {speedX, speedY}, spawnSize, life, 0, 0);
    }
}

void DustEmitter::update(float dt) {
    store->updateParticles(dt, [dt](Particle& particle) {
        float first = RandomEffectFraction();
        float second = RandomEffectFraction();
        // A fresh puff drops from its spawn size to the largest at once.
        particle.size = KEClamp(particle.size - second * first * shrinkPerSecond * dt, 0, largestSize);
    });
}

void DustEmitter::draw(Vector2 viewPosition) const {
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    KEGfxSetTintColor(0.37f, 0.27f, 0.21f, 0.75f);
    KETexture* smoke = store->texture->texture.get();
    store->drawParticles(particleView(viewPosition, drawOffset), [smoke](const Particle&) { return smoke; });
}
