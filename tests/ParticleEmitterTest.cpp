#include "Content/ContentManager.h"
#include "Effects/DustEmitter.h"
#include "Effects/FireEmitter.h"
#include "Effects/FlareEmitter.h"
#include "Effects/RainEmitter.h"
#include "TestSupport.h"
#include "World/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

static_assert(RAND_MAX == 2147483647, "the expectations narrow glibc's rand by its top 15 bits");

// The first count values the emitters will draw after srand(seed).
std::vector<int> randsAfter(unsigned seed, int count) {
    std::srand(seed);
    std::vector<int> values;
    for (int i = 0; i < count; ++i) values.push_back(std::rand() >> 16);
    std::srand(seed);
    return values;
}

// The first seed whose first draws satisfy wanted; srand is left at it.
template <typename Wanted>
std::vector<int> seedWhere(Wanted wanted, int count = 12) {
    for (unsigned seed = 1;; ++seed)
        if (wanted(randsAfter(seed, count))) return randsAfter(seed, count);
}

float fraction(int value) {
    return static_cast<float>(value) / 32767.0f;
}

int particleCount(const Emitter& emitter) {
    return emitter.store->particles->count;
}
Particle& particle(const Emitter& emitter, int index) {
    ListNode<Particle>* node = emitter.store->particles->head;
    for (int i = 0; i < index; ++i) node = node->next;
    return *node->data;
}

class ParticleEmitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory_symlink(std::filesystem::absolute(HALCYRA_ASSETS),
                                                  files.path("Assets"));
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(files.root);
        ContentManagerInit();
    }
    void TearDown() override {
        ContentManagerShutdown();
        std::filesystem::current_path(previousDirectory);
    }

    HeadlessEngine engine{200, 120};
    ScratchDirectory files;
    std::filesystem::path previousDirectory;
};

TEST_F(ParticleEmitterTest, AParticleLivesUntilItsLifeRunsOutAndDiesWithoutMoving) {
    FireEmitter* fire = new_FireEmitter();
    fire->position = {50, 60};
    new_Particle(fire->store, {10, 20}, {100, 0}, 4, 0.1f, 0.5f, 0);
    Particle& p = particle(*fire, 0);
    p.rotation = 0;
    ASSERT_TRUE(p.updateParticle(0.03f));
    EXPECT_FLOAT_EQ(p.position.x, 13);
    EXPECT_FLOAT_EQ(p.rotation, 0.5f) << "spin is added per update, not per second";
    float x = 0, y = 0;
    Matrix3TransformPoint(&p.transform, 1, 0, &x, &y);
    EXPECT_NEAR(x, 13 + 4 * std::cos(0.5f), 1e-4);
    EXPECT_NEAR(y, 20 + 4 * std::sin(0.5f), 1e-4);
    for (int frame = 0; frame < 2; ++frame) fire->update(0.03f);
    EXPECT_EQ(particleCount(*fire), 1);
    EXPECT_FLOAT_EQ(p.position.x, 53) << "placed on the emitter, then moved";
    Particle expiring = p;
    EXPECT_FALSE(expiring.updateParticle(0.03f));
    EXPECT_FLOAT_EQ(expiring.position.x, 53) << "the expiring update does not move it";
    fire->update(0.03f);
    EXPECT_EQ(particleCount(*fire), 0) << "removed on the update its life runs out";
    delete fire;
}

TEST_F(ParticleEmitterTest, FireAndFlareDrawTheirRandomsInOrder) {
    std::vector<int> r = seedWhere([](const std::vector<int>& v) { return v[0] % 3 == 2; });
    FireEmitter* fire = new_FireEmitter();
    fire->position = {50, 60};
    fire->emit();
    ASSERT_EQ(particleCount(*fire), 2);
    EXPECT_FLOAT_EQ(particle(*fire, 0).rotation, fraction(r[1]) * 1.5707963f);
    EXPECT_FLOAT_EQ(particle(*fire, 1).rotation, fraction(r[2]) * 1.5707963f);
    EXPECT_EQ(particle(*fire, 1).size, 30) << "an unset size is the default 30";
    EXPECT_EQ(gameRand(), r[3]);
    fire->size = 12;
    fire->position = {70, 80};
    seedWhere([](const std::vector<int>& v) { return v[0] % 3 != 0; });
    fire->emit();
    EXPECT_EQ(particle(*fire, 2).size, 12);

    r = seedWhere([](const std::vector<int>& v) { return v[0] % 2 == 1; });
    FireEmitter* flare = new_FlareEmitter();
    flare->size = 12;
    flare->emit();
    ASSERT_EQ(particleCount(*flare), 1);
    EXPECT_EQ(particle(*flare, 0).size, 30) << "a flare is always 30";
    EXPECT_FLOAT_EQ(particle(*flare, 0).rotation, fraction(r[1]) * 1.5707963f);
    EXPECT_EQ(gameRand(), r[2]);
    delete fire;
    delete flare;
}

TEST_F(ParticleEmitterTest, DustBurstsOnItsSharedTimerAgainstTheWalk) {
    DustEmitter* dust = new_DustEmitter();
    dust->rate = 300;
    dustTimer = 0.2f;
    std::vector<int> r = randsAfter(3, 1);
    dust->emit({100, 200}, {1, -1}, 0.1f);
    EXPECT_FLOAT_EQ(dustTimer, 0.1f);
    EXPECT_EQ(gameRand(), r[0]) << "a waiting timer spawns nothing and draws no randoms";

    r = seedWhere([](const std::vector<int>& v) { return v[0] % 10 == 2 && v[1] % 2 == 1; });
    dust->emit({100, 200}, {1, -1}, 0.1f);
    EXPECT_FLOAT_EQ(dustTimer, 1.0f / 300 + fraction(r[2]));
    ASSERT_EQ(particleCount(*dust), 2);
    for (int i = 0; i < 2; ++i) {
        const Particle& p = particle(*dust, i);
        EXPECT_EQ(p.velocity.x, -static_cast<float>(r[3 + 3 * i] % 15)) << "walking right: dust moves left";
        EXPECT_EQ(p.velocity.y, static_cast<float>(r[4 + 3 * i] % 15)) << "walking up: dust moves down";
        EXPECT_FLOAT_EQ(p.rotation, fraction(r[5 + 3 * i]) * 1.5707963f);
        EXPECT_TRUE(p.position.x == 125 && p.position.y == 230 && p.size == 200);
    }

    r = seedWhere([](const std::vector<int>& v) { return v[0] % 10 == 1 && v[1] % 2 == 0; });
    dustTimer = 0;
    dust->emit({0, 0}, {0, 0}, 0.01f);
    EXPECT_FLOAT_EQ(dustTimer, 1.0f / 300);
    EXPECT_TRUE(particle(*dust, 2).velocity.x == 0 && particle(*dust, 2).velocity.y == 0);
    EXPECT_FLOAT_EQ(particle(*dust, 2).rotation, fraction(r[2]) * 1.5707963f) << "standing: no speed draws";

    r = randsAfter(5, 8);
    dust->update(0.01f);
    EXPECT_EQ(particle(*dust, 0).size, 20) << "the first update shrinks the spawn size to the largest";
    dust->update(0.01f);
    EXPECT_FLOAT_EQ(particle(*dust, 0).size, 20 - fraction(r[7]) * fraction(r[6])) << "two draws a particle";

    dust->rate = 0;
    dustTimer = 0;
    dust->emit({0, 0}, {1, 1}, 0.1f);
    EXPECT_EQ(dustTimer, 0) << "an emitter without a rate leaves the shared timer alone";
    EXPECT_EQ(particleCount(*dust), 3);
    delete dust;
}

TEST_F(ParticleEmitterTest, RainSpawnsWholeDropsInItsAreaAndKeepsThemFiveSeconds) {
    RainEmitter* rain = new_RainEmitter();
    rain->rate = 200;
    rain->minX = 10, rain->maxX = 110, rain->minY = -50, rain->maxY = 50;
    std::vector<int> r = randsAfter(9, 7);
    rain->update(0.004f);
    EXPECT_EQ(particleCount(*rain), 0) << "0.8 drops truncate to none";
    rain->update(0.0075f);
    ASSERT_EQ(particleCount(*rain), 1);
    const Particle& drop = particle(*rain, 0);
    EXPECT_EQ(drop.velocity.y, static_cast<float>(r[0] % 50 + 500));
    EXPECT_FLOAT_EQ(drop.size, fraction(r[1]) * 15);
    EXPECT_FLOAT_EQ(drop.position.x, 10 + 100 * fraction(r[2]) + 150 * 0.0075f);
    EXPECT_FLOAT_EQ(drop.position.y, -50 + 100 * fraction(r[3]) + drop.velocity.y * 0.0075f);
    EXPECT_EQ(drop.extra, r[4] % 12);
    EXPECT_FLOAT_EQ(drop.rotation, 0.7853982f) << "drawn at 45 degrees whatever it spawned with";
    EXPECT_EQ(gameRand(), r[6]) << "the spawn rotation was the sixth draw";

    rain->rate = 0;
    for (int second = 0; second < 4; ++second) rain->update(1);
    EXPECT_EQ(particleCount(*rain), 1);
    rain->update(1);
    EXPECT_EQ(particleCount(*rain), 0) << "gone once 5 s have passed";

    rain->rate = 200;
    rain->update(1e9f);
    EXPECT_EQ(particleCount(*rain), 0) << "a stall spawns at most a second's drops, which expire at once";
    delete rain;
}

// Whether the pixel is lit by a white-tinted fire on the black frame.
bool litAt(int x, int y) {
    return Frame().at(x, y)[0] > 100;
}

TEST_F(ParticleEmitterTest, FireDrawsCentredOnItsPositionLessTheCameraAndKeepsItsTransforms) {
    FireEmitter* fire = new_FireEmitter();
    fire->position = {100, 60};
    new_Particle(fire->store, fire->position, {0, 0}, 30, 0.1f, 0, 0);
    fire->update(0.01f);
    Matrix3 built = particle(*fire, 0).transform;
    Camera camera;
    camera.viewPosition = {40, 0};
    KEGfxSetTintColor(1, 1, 1, 1);
    KESysFrameStart();
    fire->draw(&camera);
    fire->draw(&camera);
    EXPECT_TRUE(litAt(60, 60));
    EXPECT_FALSE(litAt(100, 60));
    EXPECT_FALSE(litAt(20, 60)) << "a second draw lands where the first did";
    EXPECT_EQ(std::memcmp(&built, &particle(*fire, 0).transform, sizeof built), 0);
    delete fire;
}

}  // namespace
