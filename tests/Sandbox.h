// Scratch directories and a headless engine: what tests and benchmarks
// that touch files or draw share.
#pragma once

#include "Engine/Kestrel.h"
#include "Engine/Viewport.h"

#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A fresh directory under /tmp, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory() {
        char pattern[] = "/tmp/halcyra-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        root = pattern;
    }
    ~ScratchDirectory() { std::filesystem::remove_all(root); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string path(const std::string& name) const { return root + "/" + name; }

    // Writes the bytes, making the folders on the way.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::string full = path(name);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }

    // A real PNG of the given size, each pixel the same colour.
    std::string writePng(const std::string& name, int width, int height, uint32_t rgba = 0xFFFFFFFFu) const {
        std::string full = write(name, "");
        std::vector<uint32_t> pixels(static_cast<size_t>(width * height), rgba);
        stbi_write_png(full.c_str(), width, height, 4, pixels.data(), width * 4);
        return full;
    }

    std::string root;
};

// A viewport for the length of a test; the one before comes back after it.
class ScopedViewport {
public:
    ScopedViewport(float width, float height, Vector2 scale) : saved(KEGetViewport()) {
        KESetViewport(width, height, scale);
    }
    ~ScopedViewport() { KESetViewport(saved.width, saved.height, saved.scale); }
    ScopedViewport(const ScopedViewport&) = delete;
    ScopedViewport& operator=(const ScopedViewport&) = delete;

private:
    Viewport saved;
};

// Works in another directory for the length of a test; the one before comes back after it.
class ScopedDirectory {
public:
    explicit ScopedDirectory(const std::filesystem::path& path) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~ScopedDirectory() { std::filesystem::current_path(previous); }
    ScopedDirectory(const ScopedDirectory&) = delete;
    ScopedDirectory& operator=(const ScopedDirectory&) = delete;

private:
    std::filesystem::path previous;
};

// A headless engine rendering a frame of the given size.
class HeadlessEngine {
public:
    explicit HeadlessEngine(int width = 896, int height = 504) {
        KEPlatformOptions options;
        options.headless = true;
        KESysConfigure(options);
        KESysInitInfo info{KESysCreateWindow("test", width, height), width, height, 144};
        if (KESysInit(&info) == 0) std::abort();
        KESysReset();
        KEGfxSetBlendMode(KE_BLEND_ALPHA);
    }
    ~HeadlessEngine() { KESysExit(); }
    HeadlessEngine(const HeadlessEngine&) = delete;
    HeadlessEngine& operator=(const HeadlessEngine&) = delete;
};
