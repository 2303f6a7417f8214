// Shared pieces of the tests: scratch directories, files, a headless
// engine, frames read back.
#pragma once

#include "Engine/Kestrel.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <vector>

// The frame drawn so far, read back from the engine.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    Frame() { EXPECT_TRUE(KESysReadPixels(&rgba, &width, &height)); }
    // Red, green, blue and alpha of one pixel.
    const unsigned char* at(int x, int y) const { return rgba.data() + (y * width + x) * 4; }
};

// For death tests: the child reports as a headless game does, on standard error.
inline void reportHeadless() {
    KEPlatformOptions options;
    options.headless = true;
    KESysConfigure(options);
}
