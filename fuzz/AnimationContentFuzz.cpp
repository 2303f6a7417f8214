// Animation files, from the JSON through the main-thread step's frame grid
// and mesh to a few frames of play. The sheets they may name are real images
// of awkward sizes beside the input.
#include "Content/AnimationContent.h"
#include "Content/ContentManager.h"
#include "FuzzSupport.h"

namespace {

constexpr ScratchImage SHEETS[] = {
    {"CandleHolder.png", 128, 32},
    {"Pixel.png", 1, 1},
    {"Strip.png", 1000, 1},
    {"Tall.png", 3, 500},
};

// A PNG signature and image header that promise pixels the file lacks: the
// sheet loads, its texture cannot be made.
constexpr uint8_t HEADER_ONLY_PNG[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                       'I',  'H', 'D', 'R', 0,    0,    0,    64,   0, 0, 0, 64};

// Long enough to reach the turn of a ping-pong animation of a few frames.
constexpr int PLAYED_FRAMES = 16;
constexpr float PLAY_STEP = 0.5f;

void play(Animation* animation) {
    animation->play();
    for (int i = 0; i < PLAYED_FRAMES; ++i) animation->update(PLAY_STEP);
}

void loadAnimation(const char* path) {
    FreshContentCache cache;
    void* animation = ContentManagerLoad(path, CT_ANIMATION, CF_DEFERRED);
    ContentManagerComplete(animation, CT_ANIMATION);
    play(static_cast<Animation*>(animation));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startHeadlessEngine();
    for (const ScratchImage& sheet : SHEETS) writeScratchImage(sheet);
    writeScratchFile("HeaderOnly.png", HEADER_ONLY_PNG, sizeof HEADER_ONLY_PNG);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = writeScratchFile("Animation.json", data, size);
    runFuzzInput([&] { loadAnimation(path.c_str()); });
    return 0;
}
