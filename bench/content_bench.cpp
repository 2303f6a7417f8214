// Content loading: the whole preload list, a large generated map, and the
// game's start-up to its first loading-screen frame and to the end of
// loading. Run from the repository root, where Assets is.
#include "Content/ContentManager.h"
#include "Content/MapContent.h"
#include "Content/PreloadList.h"
#include "Engine/Viewport.h"
#include "Game/Game.h"

#include <benchmark/benchmark.h>
#include <stb_image_write.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int MAP_SIZE = 200;
constexpr int MAP_OBJECTS = 1000;

void startHeadlessEngine() {
    KEPlatformOptions options;
    options.headless = true;
    KESysConfigure(options);
    KESysInitInfo info{KESysCreateWindow("bench", 896, 504), 896, 504, 144};
    KESysInit(&info);
    KESysReset();
}

// Loads and completes every preload entry into a fresh cache.
void preloadList(benchmark::State& state) {
    startHeadlessEngine();
    for (auto _ : state) {
        ContentManagerInit();
        for (const PreloadEntry& entry : PreloadListRead(PRELOAD_PATH))
            ContentManagerComplete(ContentManagerLoad(entry.file.c_str(), entry.type, CF_DEFERRED),
                                   entry.type);
        ContentManagerShutdown();
    }
    KESysExit();
}

std::string generatedMap(const std::string& folder) {
    std::vector<uint32_t> pixels(256 * 256, 0xFF808080u);
    for (int i = 0; i < 3; ++i)
        stbi_write_png((folder + "/Tiles" + std::to_string(i) + ".png").c_str(), 256, 256, 4, pixels.data(),
                       1024);
    std::ostringstream json;
    json << "{\"width\":" << MAP_SIZE << ",\"height\":" << MAP_SIZE
         << ",\"tilewidth\":32,\"tileheight\":32,\"backgroundcolor\":\"#101018\",\"tilesets\":[";
    for (int i = 0; i < 3; ++i)
        json << (i ? "," : "") << "{\"image\":\"Tiles" << i
             << ".png\",\"imagewidth\":256,\"imageheight\":256,\"firstgid\":" << 1 + i * 64
             << ",\"tileproperties\":{\"3\":{\"bool.Blocking\":\"true\"},\"5\":{\"bool.Collision\":\"false\"}"
                "}}";
    json << "],\"layers\":[";
    for (int layer = 0; layer < 2; ++layer) {
        json << (layer ? "," : "") << "{\"type\":\"tilelayer\",\"visible\":true,\"opacity\":1,\"data\":[";
        for (int cell = 0; cell < MAP_SIZE * MAP_SIZE; ++cell)
            json << (cell ? "," : "") << 1 + (cell * 7 + layer) % 192;
        json << "]}";
    }
    json << ",{\"type\":\"objectgroup\",\"objects\":[";
    for (int i = 0; i < MAP_OBJECTS; ++i)
        json << (i ? "," : "") << "{\"type\":\"Light\",\"name\":\"light" << i << "\",\"x\":" << i * 3.5
             << ",\"y\":" << i * 2.25 << ",\"width\":32,\"height\":32,\"rotation\":0,"
             << "\"properties\":{\"decimal.Radius\":\"6.5\",\"int.Id\":\"" << i
             << "\",\"bool.Flicker\":\"true\"}}";
    json << "]}]}";
    std::string path = folder + "/Large.json";
    std::ofstream(path) << json.str();
    return path;
}

void largeMap(benchmark::State& state) {
    std::string folder = std::filesystem::temp_directory_path() / "halcyra-bench-map";
    std::filesystem::create_directories(folder);
    std::string path = generatedMap(folder);
    KESetViewport(896, 504, {1.0f, 1.0f});
    for (auto _ : state) {
        ContentManagerInit();
        MapContentUnload(MapContentLoad(path.c_str(), CF_DEFERRED));
        ContentManagerShutdown();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
    std::filesystem::remove_all(folder);
}

// Runs the game headless with these options to its end, once an iteration.
void runGame(benchmark::State& state, const std::vector<const char*>& options) {
    std::vector<char*> arguments{const_cast<char*>(HALCYRA_BINARY), const_cast<char*>("--headless")};
    for (const char* option : options) arguments.push_back(const_cast<char*>(option));
    arguments.push_back(nullptr);
    for (auto _ : state) {
        pid_t child = fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            execv(HALCYRA_BINARY, arguments.data());
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the game did not run");
    }
}

// The whole process: start-up, the loading screen's first frame, shutdown.
void startUpToFirstFrame(benchmark::State& state) {
    runGame(state, {"--frames", "1"});
}

// As a player waits: start-up, the loading screen with its fades at the
// game's own pace, and the first frame of the splash.
void startUpToSplash(benchmark::State& state) {
    const std::string route =
        (std::filesystem::temp_directory_path() / "halcyra-bench-splash.route").string();
    std::ofstream(route) << "screen SplashScreen\nquit\n";
    runGame(state, {"--route", route.c_str()});
    std::filesystem::remove(route);
}

}  // namespace

BENCHMARK(preloadList)->Name("load_and_complete_preload_list")->Unit(benchmark::kMillisecond);
BENCHMARK(largeMap)->Name("load_200x200_map_3_tilesets_1000_objects")->Unit(benchmark::kMillisecond);
BENCHMARK(startUpToFirstFrame)
    ->Name("process_start_to_first_loading_frame")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(startUpToSplash)
    ->Name("process_start_to_end_of_loading")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

BENCHMARK_MAIN();
