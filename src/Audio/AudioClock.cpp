#include "Audio/AudioClock.h"

#include "Audio/EventAudio.h"

#include <cmath>

namespace {

double fixedStep = 0.0;

}  // namespace

void AudioConfigureTimeStep(double seconds) {
    fixedStep = std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
}

double AudioClock::tick() {
    if (fixedStep > 0.0) return fixedStep;
    auto now = std::chrono::steady_clock::now();
    double elapsed = last ? std::chrono::duration<double>(now - *last).count() : 0.0;
    last = now;
    return elapsed;
}
