#include "Effects/ParticleEmitter.h"

#include "Content/ContentManager.h"
#include "Debug/Debug.h"

namespace {

constexpr uint32_t black = 0xFF000000u;
constexpr float quarterTurn = 1.5707963f;

}  // namespace

bool Particle::updateParticle(float dt) {
    life -= dt;
    if (life <= 0) return false;
    rotation += spin * dt;
    position.x += velocity.x * dt;
    position.y += velocity.y * dt;
    Matrix3 translation, turn, scale;
    Matrix3Translate(&translation, position.x, position.y);
    Matrix3Rotate(&turn, rotation);
    Matrix3Scale(&scale, size, size);
    Matrix3Concat(&transform, &turn, &scale);
    Matrix3Concat(&transform, &translation, &transform);
    return true;
}

KEMesh* createCornerQuad() {
    KEGfxMeshStart();
    KEGfxTriAdd(0, 0, black, 0, 0, 0, -1, black, 0, 1, 1, 0, black, 1, 0);
    KEGfxTriAdd(0, -1, black, 0, 1, 1, -1, black, 1, 1, 1, 0, black, 1, 0);
    return KEGfxMeshEnd();
}

KEMesh* createCentredQuad() {
    KEGfxMeshStart();
    KEGfxTriAdd(-0.5f, -0.5f, black, 0, 0, 0.5f, -0.5f, black, 1, 0, -0.5f, 0.5f, black, 0, 1);
    KEGfxTriAdd(-0.5f, 0.5f, black, 0, 1, 0.5f, -0.5f, black, 1, 0, 0.5f, 0.5f, black, 1, 1);
    return KEGfxMeshEnd();
}

TextureContent* loadParticleTexture(const char* path) {
    return ContentLoad<TextureContent>(path);
}

std::unique_ptr<ParticleEmitter> makeParticleStore(KEMesh* mesh, const char* texturePath,
                                                   const char* constructor) {
    std::unique_ptr<ParticleEmitter> store = DEBUG_MAKE_UNIQUE(ParticleEmitter, constructor);
    store->mesh.reset(mesh);
    if (texturePath != nullptr) store->texture = loadParticleTexture(texturePath);
    return store;
}

void new_Particle(ParticleEmitter* store, Vector2 position, Vector2 velocity, float size, float life,
                  float spin, int32_t extra) {
    Particle& particle = store->particles.emplace_back();
    particle.position = position;
    particle.velocity = velocity;
    particle.size = size;
    particle.life = life;
    particle.spin = spin;
    particle.extra = extra;
    particle.rotation = RandomEffectFraction() * quarterTurn;
}

Matrix3 particleView(Vector2 viewPosition, float offset) {
    Matrix3 view;
    Matrix3Translate(&view, -viewPosition.x - offset, -viewPosition.y - offset);
    return view;
}
