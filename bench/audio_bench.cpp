// The sound manager's per-frame cost with a dozen events playing on the
// silent backend, its heap allocations per frame, and the audio start-up.
// Run from the repository root, where Assets is.
#include "Audio/EventAudio.h"
#include "Audio/SoundManager.h"
#include "World/CharacterEntity.h"
#include "WorldSupport.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};

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

// Counting replacements of the global allocator; GCC cannot see that the
// pair below matches and warns about free after new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

BENCHMARK(updateWithADozenEvents)
    ->Name("sound_manager_update_12_events_silent")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(startUp)->Name("sound_manager_start_up_silent")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
