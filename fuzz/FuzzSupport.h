// What the fuzz targets share: files for the loaders to read, a headless
// engine for the main-thread steps, a fresh content cache for each input,
// and the run of one input under the fatal reporter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Writes the bytes to the named file in the scratch folder of this process
// (in /dev/shm or /tmp, removed at exit) and returns its path. Each target
// reuses one name, so that an input costs one small write.
std::string writeScratchFile(const char* name, const uint8_t* data, size_t size);

// A real PNG in the scratch folder: the images that fuzzed files name, so
// that their main-thread steps get as far as the frame grid.
struct ScratchImage {
    const char* name;
    int width;
    int height;
};

void writeScratchImage(const ScratchImage& image);

// A 1 x 1 offscreen renderer: main-thread steps create textures without a
// display.
void startHeadlessEngine();

// An empty content cache for one input. Whatever the input loaded into it is
// unloaded when the input ends, however it ends.
class FreshContentCache {
public:
    FreshContentCache();
    ~FreshContentCache();
    FreshContentCache(const FreshContentCache&) = delete;
    FreshContentCache& operator=(const FreshContentCache&) = delete;
};

// Runs one input. A fatal error ends it as a broken file ends the game, and
// what the loader had built by then is freed as the error unwinds. Either
// way the input must free everything it allocated: when the heap has grown,
// the leak checker reports where the memory came from and ends the process.
void runFuzzInput(const std::function<void()>& body);
