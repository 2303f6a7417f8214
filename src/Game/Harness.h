// The command-line options that let tests and developers drive the game:
// headless runs, a fixed frame time, a frame limit, a seed, scripted keys,
// screenshots and a per-frame state log. They change nothing else about the
// game.
#pragma once

#include "Engine/Kestrel.h"
#include "Game/InputScript.h"

#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
    long frame;
    std::string path;
};

struct HarnessOptions {
    KEPlatformOptions platform;
    bool seeded = false;
    unsigned seed = 0;
    long frameLimit = 0;  // 0: run until quit
    std::string inputPath;
    bool inputAfterLoading = false;  // --after-loading: the script's frame 0 is the first after loading
    std::string routePath;
    int routeRounds = 1;  // --route-repeat: the route played this many times over
    std::vector<Screenshot> screenshots;
    std::string stateLogPath;
    std::string audioLogPath;
    std::string memoryLogPath;
    std::string frameTimesPath;
    std::string roomPath;  // --room: empty to start at the title
    int32_t roomEntryId = 0;
    bool checkAssets = false;
    bool rasterise = true;  // --no-raster: draws are placed and counted, not filled in
    bool showHelp = false;
};

// Parses the options alone (no file is read). On a malformed option returns
// false with a one-line error naming it.
bool parseHarnessOptions(int argc, char** argv, HarnessOptions* options, std::string* error);

// Parses the command line, reads the input script, opens the state log and
// configures the engine. The files the options name are found from
// startDirectory when it is not empty: an installed game runs in its data
// directory, away from where it was started. Returns -1 to go on, or the exit
// code to end with (2 after a one-line error on standard error).
int HarnessStart(int argc, char** argv, const std::string& startDirectory);

// --room: the map to play straight after loading, or null; and the spawn
// point id to enter it through.
const char* HarnessRoomPath();
int32_t HarnessRoomEntryId();

// --check-assets: load and complete every asset instead of playing.
bool HarnessCheckAssets();

// What the process ends with after the frame loop: 3 when a --route failed.
int HarnessExitCode();

// The seed of the random streams: --seed, or the time.
unsigned HarnessRandomSeed();

// Hooks of the frame loop; frame 0 is its first pass.
void HarnessBeforeFrame(long frame);           // posts the frame's scripted keys and the route's
void HarnessAfterDraw(long frame);             // writes the screenshots due
bool HarnessAfterFrame(long frame, float dt);  // logs the frame; false once --frames or the route are done
