// The --input script: lines "FRAME down|up|tap KEY", read before any window
// opens. A malformed line is refused with its line number, never a crash.
#include "Game/InputScript.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<ScriptedInput> events;
    std::string error;
    parseInputScript(std::string(reinterpret_cast<const char*>(data), size), &events, &error);
    return 0;
}
