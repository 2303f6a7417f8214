// One light's update (shadowcasting and the darkness pass) beside libtcod's
// recursive shadowcasting FOV on the same grid. Each room is walled just
// beyond the light's reach, so both sides touch the same cells: libtcod
// clears its whole map each call, the light walks its tile box. The open room
// has no obstacle; the other has a pillar on every third cell.
#include "Content/Map.h"
#include "World/LightEntity.h"
#include "World/Room.h"

#include "SummaryReporter.h"

#include <benchmark/benchmark.h>
#include <libtcod.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int TILE = 32;
constexpr int RADII[] = {4, 10, 20};

bool isBlocking(int column, int row, int side, bool pillars) {
    const int centre = side / 2;
    if (column == 0 || row == 0 || column == side - 1 || row == side - 1) return true;
    if (column == centre && row == centre) return false;
    return pillars && column % 3 == 0 && row % 3 == 0;
}

int roomSide(int radius) {
    return 2 * radius + 3;
}

class LitRoom {
public:
    LitRoom(int radius, bool pillars) {
        const int side = roomSide(radius);
        map.width = map.height = side;
        map.tileWidth = map.tileHeight = TILE;
        map.tileLayerCount = 2;
        map.lastColumn = map.lastRow = static_cast<uint16_t>(side);
        map.tileLayers = std::make_unique<TileLayer[]>(2);
        for (int layer = 0; layer < 2; ++layer) {
            map.tileLayers[layer].tiles = std::make_unique<Tile[]>(static_cast<size_t>(side * side));
            for (int row = 0; row < side; ++row)
                for (int column = 0; column < side; ++column)
                    map.tileLayers[layer].tiles[row * side + column].flags =
                        isBlocking(column, row, side, pillars) ? uint32_t{TILE_BLOCKING} : 0u;
        }
        room.map = &map;
        light = new_LightEntity(&room);
        light->setRadius(static_cast<float>(radius * TILE));
        light->setPosition((side / 2 + 0.5f) * TILE, (side / 2 + 0.5f) * TILE);
    }

    Map map;
    Room room;
    std::unique_ptr<LightEntity> light;
};

void lightUpdate(benchmark::State& state, int radius, bool pillars) {
    LitRoom lit(radius, pillars);
    for (auto _ : state) {
        // A full cast each time, as libtcod does.
        lit.light->forgetCast();
        lit.light->update(1.0f / 144.0f);
        benchmark::DoNotOptimize(lit.map.tileLayers[1].tiles[0]);
    }
}

void tcodShadow(benchmark::State& state, int radius, bool pillars) {
    const int side = roomSide(radius);
    TCOD_Map* grid = TCOD_map_new(side, side);
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            const bool open = !isBlocking(column, row, side, pillars);
            TCOD_map_set_properties(grid, column, row, open, open);
        }
    for (auto _ : state) {
        TCOD_map_compute_fov(grid, side / 2, side / 2, radius, true, FOV_SHADOW);
        benchmark::DoNotOptimize(TCOD_map_is_in_fov(grid, 1, side / 2));
    }
    TCOD_map_delete(grid);
}

double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

std::string caseName(int radius, bool pillars) {
    return std::string(pillars ? "pillars" : "open") + "/radius:" + std::to_string(radius);
}

}  // namespace

int main(int argc, char** argv) {
    for (bool pillars : {false, true})
        for (int radius : RADII) {
            benchmark::RegisterBenchmark(("Light/" + caseName(radius, pillars)).c_str(), lightUpdate, radius,
                                         pillars)
                ->ComputeStatistics("min", fastest);
            benchmark::RegisterBenchmark(("Tcod/" + caseName(radius, pillars)).c_str(), tcodShadow, radius,
                                         pillars)
                ->ComputeStatistics("min", fastest);
        }
    // Each light / libtcod ratio once both of a case are measured.
    SummaryReporter reporter(true, [](const RunTimes& nanoseconds) {
        for (bool pillars : {false, true})
            for (int radius : RADII) {
                const std::string name = caseName(radius, pillars);
                const auto light = nanoseconds.find("Light/" + name);
                const auto tcod = nanoseconds.find("Tcod/" + name);
                if (light == nanoseconds.end() || tcod == nanoseconds.end()) continue;
                std::printf("%-18s light / libtcod = %.2f (goal <= 1.00)\n", name.c_str(),
                            light->second / tcod->second);
            }
    });
    return runWithSummary(argc, argv, reporter);
}
