#include "Content/ContentManager.h"
#include "Effects/DustEmitter.h"
#include "Effects/FireEmitter.h"
#include "Effects/FlareEmitter.h"
#include "Effects/RainEmitter.h"
#include "TestSupport.h"
#include "Util/Random.h"
#include "World/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int particleCount(const Emitter& emitter) {
    return static_cast<int>(emitter.store->particles.size());
}
Particle& particle(const Emitter& emitter, int index) {
    return emitter.store->particles.at(static_cast<size_t>(index));
}

class ParticleEmitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory_symlink(std::filesystem::absolute(HALCYRA_ASSETS),
                                                  files.path("Assets"));
        ContentManagerInit();
    }
    void TearDown() override { ContentManagerShutdown(); }

    HeadlessEngine engine{200, 120};
    ScratchDirectory files;
    ScopedDirectory inFiles{files.root};
};

TEST_F(ParticleEmitterTest, AParticleLivesUntilItsLifeRunsOutAndDiesWithoutMoving) {
    const std::unique_ptr<FireEmitter> fire = new_FireEmitter();
    fire->position = {50, 60};
    new_Particle(fire->store.get(), {10, 20}, {100, 0}, 4, 0.1f, 5.0f, 0);
    Particle& p = particle(*fire, 0);
    p.rotation = 0;
    ASSERT_TRUE(p.updateParticle(0.03f));
    EXPECT_FLOAT_EQ(p.position.x, 13);
    EXPECT_FLOAT_EQ(p.rotation, 0.15f) << "spin is radians a second";
    float x = 0, y = 0;
    Matrix3TransformPoint(&p.transform, 1, 0, &x, &y);
    EXPECT_NEAR(x, 13 + 4 * std::cos(0.15f), 1e-4);
    EXPECT_NEAR(y, 20 + 4 * std::sin(0.15f), 1e-4);
    for (int frame = 0; frame < 2; ++frame) fire->update(0.03f);
    EXPECT_EQ(particleCount(*fire), 1);
    EXPECT_FLOAT_EQ(p.position.x, 53) << "placed on the emitter, then moved";
    Particle expiring = p;
    EXPECT_FALSE(expiring.updateParticle(0.03f));
    EXPECT_FLOAT_EQ(expiring.position.x, 53) << "the expiring update does not move it";
    fire->update(0.03f);
    EXPECT_EQ(particleCount(*fire), 0) << "removed on the update its life runs out";
}

// What the emitters make, whatever the random draws: fires up to two flames
// a burst at their size (30 unset), flares one at 30 always, dust only when
// its shared timer runs out and moving against the walk, rain within its
// area for five seconds.
TEST_F(ParticleEmitterTest, EmittersSpawnWhatTheyShouldWhereTheyShould) {
    RandomSeed(4);
    const std::unique_ptr<FireEmitter> fire = new_FireEmitter();
    const std::unique_ptr<FireEmitter> flare = new_FlareEmitter();
    fire->position = flare->position = {50, 60};
    flare->size = 12;
    for (int burst = 0; burst < 40; ++burst) {
        const int fires = particleCount(*fire), flares = particleCount(*flare);
        fire->emit(1.0f / 60.0f);
        flare->emit(1.0f / 60.0f);
        EXPECT_LE(particleCount(*fire) - fires, 2);
        EXPECT_LE(particleCount(*flare) - flares, 1);
    }
    ASSERT_GT(particleCount(*fire), 0);
    ASSERT_GT(particleCount(*flare), 0);
    EXPECT_TRUE(particle(*fire, 0).size == 30 && particle(*fire, 0).position.x == 50);
    EXPECT_EQ(particle(*flare, 0).size, 30) << "a flare is always 30";

    const std::unique_ptr<DustEmitter> dust = new_DustEmitter();
    dust->rate = 300;
    dustTimer = 0.2f;
    dust->emit({100, 200}, {1, -1}, 0.1f);
    EXPECT_EQ(particleCount(*dust), 0) << "a waiting timer spawns nothing";
    EXPECT_FLOAT_EQ(dustTimer, 0.1f);
    for (int frame = 0; frame < 20; ++frame) dust->emit({100, 200}, {1, -1}, 0.1f);
    ASSERT_GT(particleCount(*dust), 0);
    for (int i = 0; i < particleCount(*dust); ++i) {
        EXPECT_LE(particle(*dust, i).velocity.x, 0) << "walking right: dust moves left";
        EXPECT_GE(particle(*dust, i).velocity.y, 0) << "walking up: dust moves down";
    }
    dust->rate = 0;
    dustTimer = 0;
    dust->emit({0, 0}, {1, 1}, 0.1f);
    EXPECT_EQ(dustTimer, 0) << "an emitter without a rate leaves the shared timer alone";

    const std::unique_ptr<RainEmitter> rain = new_RainEmitter();
    rain->rate = 200;
    rain->minX = 10, rain->maxX = 110, rain->minY = -50, rain->maxY = 50;
    rain->update(0.004f);
    EXPECT_EQ(particleCount(*rain), 0) << "0.8 drops wait for the next frame";
    rain->update(0.1f);
    ASSERT_EQ(particleCount(*rain), 20) << "20.8 drops: 20 now";
    for (int i = 0; i < 20; ++i) {
        const Particle& drop = particle(*rain, i);
        EXPECT_TRUE(drop.position.x >= 10 && drop.position.x <= 110 + 150 * 0.1f) << drop.position.x;
        EXPECT_TRUE(drop.position.y >= -50 && drop.position.y <= 50 + 550 * 0.1f) << drop.position.y;
        EXPECT_FLOAT_EQ(drop.rotation, 0.7853982f) << "drawn at 45 degrees";
    }
    rain->rate = 0;
    for (int second = 0; second < 4; ++second) rain->update(1);
    EXPECT_EQ(particleCount(*rain), 20);
    rain->update(1);
    EXPECT_EQ(particleCount(*rain), 0) << "gone once 5 s have passed";
    rain->rate = 200;
    rain->update(1e9f);
    EXPECT_EQ(particleCount(*rain), 0) << "a stall spawns at most a second's drops, which expire at once";
}

// Flames burst sixty times a second, none to two particles a fire and none
// or one a flare, and the rain falls 200 drops a second, however many frames
// the second is cut into.
TEST_F(ParticleEmitterTest, FlamesAndRainComeAsOftenASecondAtAnyFrameRate) {
    RandomSeed(4);
    for (float dt : {1 / 30.0f, 1 / 60.0f, 1 / 144.0f, 1 / 240.0f}) {
        SCOPED_TRACE(testing::Message() << 1 / dt << " fps");
        const std::unique_ptr<FireEmitter> fire = new_FireEmitter();
        const std::unique_ptr<FireEmitter> flare = new_FlareEmitter();
        int flames = 0, flares = 0;
        for (int frame = std::lround(10 / dt); frame > 0; --frame) {
            const int fires = particleCount(*fire), glows = particleCount(*flare);
            fire->emit(dt);
            flare->emit(dt);
            flames += particleCount(*fire) - fires;
            flares += particleCount(*flare) - glows;
            fire->update(dt);
            flare->update(dt);
        }
        EXPECT_NEAR(flames / 10.0, 60, 4) << "a flame a burst on the average";
        EXPECT_NEAR(flares / 10.0, 30, 3);

        const std::unique_ptr<RainEmitter> rain = new_RainEmitter();
        rain->rate = 200;
        for (int frame = std::lround(4 / dt); frame > 0; --frame) rain->update(dt);
        EXPECT_NEAR(particleCount(*rain), 800, 1) << "four seconds of drops, none expired yet";
    }
}

// Whether the pixel is lit by a white-tinted fire on the black frame.
bool litAt(int x, int y) {
    return Frame().at(x, y)[0] > 100;
}

TEST_F(ParticleEmitterTest, FireDrawsCentredOnItsPositionLessTheCameraAndKeepsItsTransforms) {
    const std::unique_ptr<FireEmitter> fire = new_FireEmitter();
    fire->position = {100, 60};
    new_Particle(fire->store.get(), fire->position, {0, 0}, 30, 0.1f, 0, 0);
    fire->update(0.01f);
    Matrix3 built = particle(*fire, 0).transform;
    Camera camera;
    camera.viewPosition = {40, 0};
    KEGfxSetTintColor(1, 1, 1, 1);
    KESysFrameStart();
    fire->draw(camera.viewPosition);
    fire->draw(camera.viewPosition);
    EXPECT_TRUE(litAt(60, 60));
    EXPECT_FALSE(litAt(100, 60));
    EXPECT_FALSE(litAt(20, 60)) << "a second draw lands where the first did";
    EXPECT_EQ(std::memcmp(&built, &particle(*fire, 0).transform, sizeof built), 0);
}

}  // namespace
