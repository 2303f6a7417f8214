// Audio time: measured between updates, or a fixed step per update.
#pragma once

#include <chrono>
#include <optional>

class AudioClock {
public:
    // Seconds since the previous tick (0 on the first), or the fixed step.
    double tick();

private:
    std::optional<std::chrono::steady_clock::time_point> last;
};
