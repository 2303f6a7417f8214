// The --route file: steps of screens, rooms, walks, taps, holds and waits,
// read before any window opens. A malformed step is refused with its line
// number, never a crash.
#include "Game/RoutePilot.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<RouteStep> steps;
    std::string error;
    parseRoute(std::string(reinterpret_cast<const char*>(data), size), &steps, &error);
    return 0;
}
