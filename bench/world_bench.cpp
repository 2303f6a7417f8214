// A whole frame of a busy room: the play screen's update and draw of a
// 40 x 30 room with 20 lights (12 of the map, 4 candle holders, 3 lanterns
// and the character's), 10 fire emitters (3 of the map and those of the
// holders and lanterns) and 900 rain drops, all near the screen. Drawing is
// placed but not rasterised. Heap allocations are counted per frame: a
// steady frame makes none. Beside it, the same frame with every light cast
// again each frame, as before lights kept their last cast.
// Run from the repository root, where Assets is.
#include "AllocationCount.h"
#include "Content/Map.h"
#include "Effects/ParticleEmitter.h"
#include "Effects/RainEmitter.h"
#include "Screens/JournalScreen.h"
#include "World/CharacterEntity.h"
#include "World/LightEntity.h"
#include "WorldSupport.h"

#include "SummaryReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr float FRAME = 1.0f / 60.0f;

std::string object(const char* type, int x, int y, int size, const char* properties = "{}") {
    char text[320];
    std::snprintf(
        text, sizeof text,
        R"({"type": "%s", "name": "%s%d", "x": %d, "y": %d, "width": %d, "height": %d, "properties": %s})",
        type, type, x, x, y, size, size, properties);
    return text;
}

// Walls round the edge and pillars in the middle; the spawn in the centre
// with every light and flame around it on screen.
std::vector<std::string> busyPlan() {
    std::vector<std::string> plan(30, std::string(40, '.'));
    for (int row = 0; row < 30; ++row)
        for (int column = 0; column < 40; ++column)
            if (row == 0 || column == 0 || row == 29 || column == 39 || (row % 5 == 2 && column % 6 == 3))
                plan[static_cast<size_t>(row)][static_cast<size_t>(column)] = '#';
    return plan;
}

std::string busyObjects() {
    std::vector<std::string> objects{object("Character.Spawn", 624, 464, 32, R"({"int.ID": "0"})")};
    for (int i = 0; i < 12; ++i)
        objects.push_back(object("Entity.Light", 260 + (i % 4) * 200, 300 + (i / 4) * 130, 192));
    for (int i = 0; i < 4; ++i)
        objects.push_back(object("Entity.Candle", 300 + i * 190, 420, 32, R"({"decimal.Life": "60"})"));
    for (int i = 0; i < 3; ++i)
        objects.push_back(
            object("Entity.Lantern", 350 + i * 250, 560, 14,
                   R"({"int.Orientation": "0", "decimal.Radius": "160", "decimal.Intensity": "0.8"})"));
    for (int i = 0; i < 3; ++i) objects.push_back(object("Entity.Fire", 400 + i * 200, 640, 32));
    std::string array = "[";
    for (const std::string& one : objects) array.append(array.size() > 1 ? "," : "").append(one);
    return array.append("]");
}

void busyRoomFrame(benchmark::State& state, bool castEveryFrame) {
    TestWorld world;
    PlayState entry;
    entry.entryDoor.target = world.writeMap("Roof.json", busyPlan(), busyObjects());
    const std::unique_ptr<PlayScreen> owned = new_PlayScreen(&entry);
    PlayScreen* screen = owned.get();
    screen->loadContent();
    screen->rain->rate = 180;  // 3 drops a frame, 900 alive at once, each for 5 seconds
    CharacterEntity* character = screen->room->character;
    character->candleFrozen = true;
    character->gustFired = true;
    KEGfxSetRasterising(false);
    const std::vector<LightEntity*> lights = entitiesOf<LightEntity>(screen->room.get(), ET_LIGHT);
    auto frame = [screen, &lights, castEveryFrame] {
        if (castEveryFrame)
            for (LightEntity* light : lights) light->forgetCast();
        screen->update(FRAME, false, false);
        screen->draw(FRAME);
    };
    for (int warmUp = 0; warmUp < 6 * 60; ++warmUp) frame();
    const long draws = KEGfxMeshDrawCount();
    const long before = allocations.load();
    for (auto _ : state) frame();
    const auto frames = static_cast<double>(state.iterations());
    state.counters["lights"] = static_cast<double>(lights.size());
    state.counters["rain_drops"] = static_cast<double>(screen->rain->store->particles.size());
    state.counters["mesh_draws_per_frame"] = static_cast<double>(KEGfxMeshDrawCount() - draws) / frames;
    state.counters["allocations_per_frame"] = static_cast<double>(allocations.load() - before) / frames;
    KEGfxSetRasterising(true);
}

// A whole frame of a room of the house on the software renderer at a desktop
// size: the screen stack's update and draw (pages a room opens included) and
// the present, every pixel rasterised, and the heap allocations it makes. With the fast paths
// off it draws as the engine once did, for the ratio beside it.
void houseRoomFrame(benchmark::State& state, const std::string& room, const char* page, int width, int height,
                    bool fastPaths, LightLook look) {
    MapSetDarknessStyle({look, 0.0f});
    TestWorld world(width, height);
    world.linkHouseRooms();
    // Frames follow each other at once, as in a headless run with a fixed frame time.
    KEPlatformOptions options;
    options.headless = true;
    options.fixedFrameTime = FRAME;
    KESysConfigure(options);
    KESetViewport(896, 504, {static_cast<float>(width) / 896.0f, static_cast<float>(height) / 504.0f});
    ScreenStackInit();
    PlayState entry;
    entry.entryDoor.target = ROOMS + "/" + room + ".json";
    pushScreen(new_PlayScreen(&entry))->room->character->candleFrozen = true;
    if (page != nullptr) pushScreen(new_JournalScreen(page));
    KEGfxSetFastPaths(fastPaths);
    auto frame = [] {
        KESysFrameStart();
        ScreenStackUpdate(FRAME);
        ScreenStackDraw(FRAME);
        KESysFrameEnd();
    };
    for (int warmUp = 0; warmUp < 90; ++warmUp) frame();
    const long draws = KEGfxMeshDrawCount();
    const long before = allocations.load();
    for (auto _ : state) frame();
    const auto frames = static_cast<double>(state.iterations());
    state.counters["draws_per_frame"] = static_cast<double>(KEGfxMeshDrawCount() - draws) / frames;
    state.counters["allocations_per_frame"] = static_cast<double>(allocations.load() - before) / frames;
    KEGfxSetFastPaths(true);
    MapSetDarknessStyle({});
    ScreenStackShutdown();
}

// The gallery, the cellar with the opaque page it opens on entry, the end
// passage and then its last page read faintly over it, and the roof in the
// rain, at full HD and at the game's own size, with the fast paths and
// without.
const bool houseRoomsRegistered = [] {
    const std::pair<const char*, const char*> views[] = {{"Gallery", nullptr},
                                                         {"Cellar", nullptr},
                                                         {"End", nullptr},
                                                         {"End", "Assets/Textures/JournalBackground8.png"},
                                                         {"Roof", nullptr}};
    for (const auto& [room, page] : views)
        for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{896, 504}})
            for (const bool fastPaths : {true, false}) {
                const std::string name = std::string("house_room_frame/") + room +
                                         (page ? "_last_page" : "") + "/" + std::to_string(width) + "x" +
                                         std::to_string(height) + (fastPaths ? "" : "/slow_paths");
                benchmark::RegisterBenchmark(name.c_str(), houseRoomFrame, room, page, width, height,
                                             fastPaths, LightLook::Tiles)
                    ->Unit(benchmark::kMillisecond);
            }
    // The gallery's candle-lit floor in the smooth light, beside its tiles.
    benchmark::RegisterBenchmark("house_room_frame/Gallery/1920x1080/smooth_light", houseRoomFrame, "Gallery",
                                 nullptr, 1920, 1080, true, LightLook::Smooth)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

// Each room's frame with the fast paths beside its goal (at full HD) and
// beside the same frame drawn as the engine once did; the busy room's beside
// its lights all cast again. Times are in each benchmark's own unit.
void summariseFrames(const RunTimes& times) {
    const auto kept = times.find("busy_room_frame_unrasterised");
    const auto recast = times.find("busy_room_frame_unrasterised/cast_every_frame");
    if (kept != times.end() && recast != times.end())
        std::printf("%-34s %6.1f us  %.2f x casting every light each frame (%.1f us)\n", kept->first.c_str(),
                    kept->second, kept->second / recast->second, recast->second);
    for (const auto& [name, fast] : times) {
        const auto slow = times.find(name + "/slow_paths");
        if (slow == times.end()) continue;
        const bool fullHd = name.find("1920x1080") != std::string::npos;
        std::printf("%-34s %6.2f ms  goal %-8s %.2f x the slow paths\n", name.c_str(), fast,
                    fullHd ? "<= 5 ms," : "none,", fast / slow->second);
    }
    const auto tiled = times.find("house_room_frame/Gallery/1920x1080");
    const auto smooth = times.find("house_room_frame/Gallery/1920x1080/smooth_light");
    if (tiled != times.end() && smooth != times.end())
        std::printf("%-34s %6.2f ms  goal <= 1.10 x, %.2f x the tiled light\n", smooth->first.c_str(),
                    smooth->second, smooth->second / tiled->second);
}

}  // namespace

BENCHMARK_CAPTURE(busyRoomFrame, kept, false)
    ->Name("busy_room_frame_unrasterised")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(busyRoomFrame, recast, true)
    ->Name("busy_room_frame_unrasterised/cast_every_frame")
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    SummaryReporter reporter(false, summariseFrames);
    return runWithSummary(argc, argv, reporter);
}
