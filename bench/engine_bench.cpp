// Frames of 2,000 textured 32-pixel quads drawn headless through the engine
// layer, beside the same vertices handed straight to SDL_RenderGeometry.
// The difference is what the layer itself costs per quad. Whole frames are
// dominated by the software rasteriser; the "submit" runs time only the
// draw calls (the renderer queues them and rasterises at present).
#include "Engine/Kestrel.h"
#include "Engine/QuadMesh.h"

#include <SDL.h>
#include "SummaryReporter.h"

#include <benchmark/benchmark.h>
#include <stb_image_write.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 896;
constexpr int HEIGHT = 504;
constexpr int QUADS = 2000;
constexpr int QUAD_SIZE = 32;
constexpr char TEXTURE_PATH[] = "/tmp/halcyra-bench-quad.png";

struct QuadPlacement {
    float x, y, tint;
};

std::vector<QuadPlacement> placements() {
    std::vector<QuadPlacement> result;
    for (int i = 0; i < QUADS; ++i)
        result.push_back({static_cast<float>((i * 37) % (WIDTH - QUAD_SIZE)),
                          static_cast<float>((i * 53) % (HEIGHT - QUAD_SIZE)),
                          0.5f + 0.5f * static_cast<float>(i % 7) / 6.0f});
    return result;
}

std::vector<unsigned char> texturePixels() {
    std::vector<unsigned char> pixels(QUAD_SIZE * QUAD_SIZE * 4);
    for (int i = 0; i < QUAD_SIZE * QUAD_SIZE; ++i) {
        pixels[i * 4 + 0] = static_cast<unsigned char>(i * 7);
        pixels[i * 4 + 1] = static_cast<unsigned char>(i * 3);
        pixels[i * 4 + 2] = 180;
        pixels[i * 4 + 3] = static_cast<unsigned char>(128 + (i % 128));
    }
    return pixels;
}

void engineFrames(benchmark::State& state) {
    KEPlatformOptions options;
    options.headless = true;
    options.fixedFrameTime = 1.0f / 144.0f;
    KESysConfigure(options);
    KESysInitInfo info{KESysCreateWindow("bench", WIDTH, HEIGHT), WIDTH, HEIGHT, 144};
    KESysInit(&info);
    KESysReset();
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    std::vector<unsigned char> pixels = texturePixels();
    stbi_write_png(TEXTURE_PATH, QUAD_SIZE, QUAD_SIZE, 4, pixels.data(), QUAD_SIZE * 4);
    KETexture* texture = KEGfxTextureLoad(TEXTURE_PATH);
    KEMesh* mesh = createFrameMesh(QUAD_SIZE, QUAD_SIZE, QUAD_SIZE, QUAD_SIZE, nullptr);
    std::vector<QuadPlacement> quads = placements();
    auto scale = static_cast<float>(state.range(0)) / QUAD_SIZE;
    for (auto _ : state) {
        KESysFrameStart();
        KEGfxSetRenderMode(KE_RENDER_TEXTURED);
        KEGfxTextureSet(texture, 0, 0);
        for (const QuadPlacement& quad : quads) {
            Matrix3 transform;
            Matrix3Scale(&transform, scale, scale);
            transform.m[0][2] = quad.x;
            transform.m[1][2] = quad.y;
            KEGfxSetTransform(&transform);
            KEGfxSetTintColor(quad.tint, quad.tint, 1, 1);
            KEGfxMeshDraw(mesh);
        }
        KESysFrameEnd();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    KEGfxMeshFree(mesh);
    KEGfxTextureUnload(texture);
    KESysExit();
}

void bareSdlFrames(benchmark::State& state) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    std::vector<unsigned char> pixels = texturePixels();
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, QUAD_SIZE, QUAD_SIZE);
    SDL_UpdateTexture(texture, nullptr, pixels.data(), QUAD_SIZE * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    auto size = static_cast<float>(state.range(0));
    std::vector<SDL_Vertex> vertices;
    const float corners[6][2] = {{0, 1}, {1, 1}, {1, 0}, {1, 0}, {0, 0}, {0, 1}};
    for (const QuadPlacement& quad : placements()) {
        auto tint = static_cast<Uint8>(quad.tint * 255.0f + 0.5f);
        for (const auto& corner : corners)
            vertices.push_back({{quad.x + corner[0] * size, quad.y + corner[1] * size},
                                {tint, tint, 255, 255},
                                {corner[0], corner[1]}});
    }
    for (auto _ : state) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        for (int quad = 0; quad < QUADS; ++quad)
            SDL_RenderGeometry(renderer, texture, vertices.data() + quad * 6, 6, nullptr, 0);
        SDL_RenderPresent(renderer);
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
}

// The layer's own cost per quad, once both runs of a quad size are in.
void compare(const RunTimes& cpuTimes, const char* what, const std::string& suffix) {
    const auto engine = cpuTimes.find("engine_2000_quads" + suffix);
    const auto bare = cpuTimes.find("bare_sdl_2000_quads" + suffix);
    if (engine == cpuTimes.end() || bare == cpuTimes.end() || bare->second <= 0) return;
    std::printf(
        "%s: engine layer %.3f us per quad, bare SDL %.3f us, layer adds %+.1f%% (goal: under +25%%)\n", what,
        engine->second * 1e3 / QUADS, bare->second * 1e3 / QUADS,
        (engine->second / bare->second - 1.0) * 100.0);
}

}  // namespace

BENCHMARK(engineFrames)->Name("engine_2000_quads")->Arg(32)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(bareSdlFrames)->Name("bare_sdl_2000_quads")->Arg(32)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    SummaryReporter reporter(true, [](const RunTimes& cpuTimes) {
        std::printf("\n");
        compare(cpuTimes, "32-pixel quads", "/32");
        compare(cpuTimes, "1-pixel quads", "/1");
    });
    return runWithSummary(argc, argv, reporter);
}
