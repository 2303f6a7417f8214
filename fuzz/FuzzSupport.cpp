#include "FuzzSupport.h"

#include "Content/ContentManager.h"
#include "Debug/Debug.h"
#include "Engine/Kestrel.h"

#include <sanitizer/allocator_interface.h>
#include <sanitizer/lsan_interface.h>
#include <stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// Memory-backed where the system has it: every input goes through a file.
constexpr const char* SCRATCH_ROOTS[] = {"/dev/shm", "/tmp"};
// A plain array rather than a string, so that it outlives the exit handler
// that removes the folder.
char folder[64];

void removeScratchFolder() {
    std::filesystem::remove_all(folder);
}

[[noreturn]] void failSetUp(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

const char* makeScratchFolder() {
    for (const char* root : SCRATCH_ROOTS) {
        std::snprintf(folder, sizeof folder, "%s/halcyra-fuzz-XXXXXX", root);
        if (mkdtemp(folder) == nullptr) continue;
        std::atexit(removeScratchFolder);
        return folder;
    }
    failSetUp("cannot make a scratch folder in /dev/shm or /tmp");
}

std::string scratchPath(const char* name) {
    static const char* scratchFolder = makeScratchFolder();
    return std::string(scratchFolder) + "/" + name;
}

// A fatal error ends the body early; the next input follows.
void runToEnd(const std::function<void()>& body) {
    try {
        const DebugFatalThrowScope throwing;
        body();
    } catch (const DebugFatalInterrupt&) {
    }
}

}  // namespace

std::string writeScratchFile(const char* name, const uint8_t* data, size_t size) {
    std::string path = scratchPath(name);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        failSetUp("cannot write an input file");
    return path;
}

void writeScratchImage(const ScratchImage& image) {
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
                                 0xFFFFFFFFu);
    if (stbi_write_png(scratchPath(image.name).c_str(), image.width, image.height, 4, pixels.data(),
                       image.width * 4) == 0)
        failSetUp("cannot write an image");
}

void startHeadlessEngine() {
    KEPlatformOptions options;
    options.headless = true;
    KESysConfigure(options);
    KESysInitInfo info{KESysCreateWindow("fuzz", 1, 1), 1, 1, 144};
    if (KESysInit(&info) == 0) failSetUp("cannot start a headless engine");
}

FreshContentCache::FreshContentCache() {
    ContentManagerInit();
}

FreshContentCache::~FreshContentCache() {
    ContentManagerShutdown();
}

// Interrupted or not, an input frees all it allocated: only a heap that grew
// is worth the cost of a leak check.
void runFuzzInput(const std::function<void()>& body) {
    size_t heapBefore = __sanitizer_get_current_allocated_bytes();
    runToEnd(body);
    if (__sanitizer_get_current_allocated_bytes() > heapBefore && __lsan_do_recoverable_leak_check() != 0)
        std::abort();
}
