// The particle store every emitter builds on: the particles in creation
// order, the one quad they are all drawn with, and their texture.
//
// Emitters spawn with new_Particle, walk their particles with
// updateParticles (which drops the expired ones on the spot) and draw them
// with drawParticles. All their randomness comes from the looks' stream,
// RandomEffect, so that how often they draw leaves the game's own alone.
#pragma once

#include "Content/TextureContent.h"
#include "Engine/Kestrel.h"
#include "Util/Matrix3.h"
#include "Util/Random.h"
#include "Util/Vector2.h"

#include <cstdint>
#include <memory>
#include <vector>

class Particle {
public:
    Vector2 position{0, 0};
    Vector2 velocity{0, 0};  // units per second
    float life = 0.0f;       // seconds left
    float spin = 0.0f;       // radians a second
    float rotation = 0.0f;
    float size = 0.0f;  // uniform scale of the quad
    Matrix3 transform{};
    int32_t extra = 0;  // the rain drop's texture number; 0 otherwise

    // Moves the particle and rebuilds its transform. False once it has
    // expired; an expired particle is left where it was.
    bool updateParticle(float dt);
};

class ParticleEmitter {
public:
    // In spawn order, held by value: the storage stays as particles expire,
    // so an emitter in its steady stream allocates nothing.
    std::vector<Particle> particles;
    KEMeshHandle mesh;
    TextureContent* texture = nullptr;  // cached, not owned; the rain draws with its own drops

    // Walks the particles from the front, calling prepare(particle) and then
    // its update; an expired particle is dropped there and then, and those
    // after it close up in order.
    template <typename Prepare>
    void updateParticles(float dt, Prepare prepare);

    // Draws every particle through view, with the engine texture that
    // textureOf(particle) picks. The particles' own transforms stay as the
    // update built them, so drawing a frozen room twice draws it alike.
    template <typename TextureOf>
    void drawParticles(const Matrix3& view, TextureOf textureOf) const;
};

// The two meshes, every vertex packed black. The corner quad spans
// (0, 0)-(1, -1); the centred quad (-0.5, -0.5)-(0.5, 0.5).
KEMesh* createCornerQuad();
KEMesh* createCentredQuad();

// A texture the preload list holds, as the emitters ask for it.
TextureContent* loadParticleTexture(const char* path);

// A store without particles, with the mesh and its texture (none for a null
// path); an allocation failure is reported under the emitter's constructor.
std::unique_ptr<ParticleEmitter> makeParticleStore(KEMesh* mesh, const char* texturePath,
                                                   const char* constructor);

// Spawns a particle at a random angle in [0, pi/2] and appends it to the
// store.
void new_Particle(ParticleEmitter* store, Vector2 position, Vector2 velocity, float size, float life,
                  float spin, int32_t extra);

// From world units to window pixels: subtracts the camera's view position
// and a fixed offset, then scales to the window.
Matrix3 particleView(Vector2 viewPosition, float offset);

// What every emitter begins with: its own particle store, freed with it; the
// texture stays in the content cache.
class Emitter {
public:
    std::unique_ptr<ParticleEmitter> store;

    Emitter() = default;
    Emitter(const Emitter&) = delete;
    Emitter& operator=(const Emitter&) = delete;
    virtual ~Emitter() = default;
};

template <typename Prepare>
void ParticleEmitter::updateParticles(float dt, Prepare prepare) {
    size_t kept = 0;
    for (size_t i = 0; i < particles.size(); ++i) {
        Particle& particle = particles[i];
        prepare(particle);
        if (!particle.updateParticle(dt)) continue;
        if (kept != i) particles[kept] = particle;
        ++kept;
    }
    particles.resize(kept);
}

template <typename TextureOf>
void ParticleEmitter::drawParticles(const Matrix3& view, TextureOf textureOf) const {
    for (const Particle& particle : particles) {
        Matrix3 placed;
        Matrix3Concat(&placed, &view, &particle.transform);
        KEGfxSetTransform(&placed);
        KEGfxTextureSet(textureOf(particle), 0, 0);
        KEGfxMeshDraw(mesh.get());
    }
}
