// The sound manager's per-frame cost with a dozen events playing on the
// silent backend, its heap allocations per frame, and the audio start-up.
// Run from the repository root, where Assets is.
#include "AllocationCount.h"
#include "Audio/EventAudio.h"
#include "Audio/SoundManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Level music with its deep layer, the storm, and footsteps on top. The
// character stands on the roof, where the storm sounds.
void playADozenEvents() {
    const SoundCharacter onTheRoof{50.0f, true};
    SoundManagerFollowCharacter(&onTheRoof);
    SoundManagerSetState(MS_SPOOKY);
    SoundManagerSetAmbience(AS_STORM);
    for (int frame = 0; frame < 3; ++frame) SoundManagerUpdate(1.0f / 144.0f);
    for (int step = 0; step < 8; ++step) SoundManagerPlayFootstep(step % 3, 0);
}

void updateWithADozenEvents(benchmark::State& state) {
    AudioConfigure(AudioBackend::Silent);
    SoundManagerInit();
    playADozenEvents();
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

// The first start of the sound manager on OpenAL Soft opens the device; its
// "wave" driver stands in for a sound card where the machine has none, so
// the figure holds everywhere. Once, as a player's game does it once.
void startUpOnOpenAL(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string config = (folder / "halcyra-bench-alsoft.conf").string();
    std::ofstream(config) << "drivers = wave\n[wave]\nfile = " << (folder / "halcyra-bench.wav").string()
                          << "\n";
    setenv("ALSOFT_CONF", config.c_str(), 1);
    AudioConfigure(AudioBackend::OpenAL);
    for (auto _ : state) SoundManagerInit();
    SoundManagerShutdown();
    std::filesystem::remove(config);
    std::filesystem::remove(folder / "halcyra-bench.wav");
}

}  // namespace

BENCHMARK(updateWithADozenEvents)
    ->Name("sound_manager_update_12_events_silent")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(startUp)->Name("sound_manager_start_up_silent")->Unit(benchmark::kMillisecond);
BENCHMARK(startUpOnOpenAL)
    ->Name("sound_manager_first_start_up_openal_wave")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

BENCHMARK_MAIN();
