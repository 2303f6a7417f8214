// The sound manager's per-frame cost with a dozen events playing on the
// silent backend, its heap allocations per frame, and the audio start-up.
// Run from the repository root, where Assets is.
#include "AllocationCount.h"
#include "Audio/EventAudio.h"
#include "Audio/SoundManager.h"
#include "World/CharacterEntity.h"
#include "WorldSupport.h"

#include <benchmark/benchmark.h>

namespace {

// Level music with its deep layer, the storm, and footsteps on top.
void playADozenEvents(CharacterEntity* character) {
    character->candleLife = 50.0f;
    currentCharacter = character;
    SoundManagerSetState(MS_SPOOKY);
    SoundManagerSetAmbience(AS_STORM);
    for (int frame = 0; frame < 3; ++frame) SoundManagerUpdate(1.0f / 144.0f);
    for (int step = 0; step < 8; ++step) SoundManagerPlayFootstep(step % 3, 0);
}

void updateWithADozenEvents(benchmark::State& state) {
    AudioConfigure(AudioBackend::Silent);
    SoundManagerInit();
    TestWorld world(896, 504, false);
    playADozenEvents(world.enter(world.writeMap("Hall.json", {"...."}))->character);
    // A character off the roof would silence the storm: measure without one.
    currentCharacter = nullptr;
    long before = allocations.load();
    for (auto _ : state) SoundManagerUpdate(1.0f / 144.0f);
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
    SoundManagerShutdown();
}

void startUp(benchmark::State& state) {
    AudioConfigure(AudioBackend::Silent);
    for (auto _ : state) {
        SoundManagerInit();
        SoundManagerShutdown();
    }
}

}  // namespace

BENCHMARK(updateWithADozenEvents)
    ->Name("sound_manager_update_12_events_silent")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(startUp)->Name("sound_manager_start_up_silent")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
