// The light's shadowcasting against a brute-force look along straight lines.
// A cell is seen when a line from the light's centre reaches some point of it,
// edges and corners included, without passing through the inside of a wall:
// a line may slip between two walls that meet only at a corner, and a wall is
// seen like any other cell. The light reaches the cells whose centres are less
// than its radius in tiles from its own. Every cell within reach whose centre
// is seen must be lit, and every lit cell must be within reach and seen.
#include "Content/Map.h"
#include "World/LightEntity.h"
#include "World/Room.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Distances along a ray as fractions, so that corners are met exactly.
struct Along {
    int64_t n, d;  // d > 0
    bool operator<(Along b) const { return n * b.d < b.n * d; }
};
constexpr Along NEVER{1 << 20, 1}, CENTRE{1, 1};

struct Grid {
    int width, height, column, row, radius;  // the light's cell; its reach in tiles
    std::vector<char> wall;
};

// Where the ray from the light's centre along (dx, dy) is in the closed square of
// cell i. Half tiles are the unit, so the light's centre and every corner are whole.
std::pair<Along, Along> inside(const Grid& g, int dx, int dy, int i) {
    Along in{0, 1}, out = NEVER;
    for (auto [from, d, low] : {std::array{2 * g.column + 1, dx, 2 * (i % g.width)},
                                std::array{2 * g.row + 1, dy, 2 * (i / g.width)}}) {
        if (d == 0 && from != low + 1) return {NEVER, {0, 1}};
        if (d == 0) continue;
        const int s = d > 0 ? 1 : -1, nearEdge = d > 0 ? low : low + 2;
        in = std::max(in, Along{s * (nearEdge - from), s * d});
        out = std::min(out, Along{s * (nearEdge + 2 * s - from), s * d});
    }
    return {in, out};
}

// How far the ray goes before it passes through a wall other than cell skip.
Along firstWall(const Grid& g, int dx, int dy, int skip = -1) {
    Along first = NEVER;
    for (int i = 0; i < g.width * g.height; ++i)
        if (g.wall[i] && i != skip)
            if (auto [in, out] = inside(g, dx, dy, i); in < out) first = std::min(first, in);
    return first;
}

// 2 where the cell's centre is seen, 1 where only some other point is. Shadow
// edges run through corners, so rays through every corner find each cell seen.
std::vector<int> seen(const Grid& g) {
    std::vector<int> seen(g.wall.size());
    for (int y = 0; y <= 2 * g.height; y += 2)
        for (int x = 0; x <= 2 * g.width; x += 2) {
            const int dx = x - 2 * g.column - 1, dy = y - 2 * g.row - 1;
            const Along wall = firstWall(g, dx, dy);
            for (int i = 0; i < static_cast<int>(seen.size()); ++i)
                if (auto [in, out] = inside(g, dx, dy, i); !(out < in) && !(wall < in)) seen[i] = 1;
        }
    for (int i = 0; i < static_cast<int>(seen.size()); ++i)
        if (!(firstWall(g, 2 * (i % g.width - g.column), 2 * (i / g.width - g.row), i) < CENTRE)) seen[i] = 2;
    return seen;
}

// The room lit by the light and drawn, or nothing when the light agrees with
// the look along straight lines.
std::string compare(const Grid& g) {
    Map map;
    map.width = g.width;
    map.height = g.height;
    map.tileWidth = map.tileHeight = 16;
    map.tileLayerCount = 2;
    map.lastColumn = static_cast<uint16_t>(g.width);
    map.lastRow = static_cast<uint16_t>(g.height);
    map.tileLayers = std::make_unique<TileLayer[]>(2);
    for (int layer = 0; layer < 2; ++layer)
        map.tileLayers[layer].tiles = std::make_unique<Tile[]>(g.wall.size());
    Tile* darkness = map.tileLayers[1].tiles.get();
    for (size_t i = 0; i < g.wall.size(); ++i) darkness[i].flags = g.wall[i] ? uint32_t{TILE_BLOCKING} : 0u;
    Room room;
    room.map = &map;
    std::unique_ptr<LightEntity> light(new_LightEntity(&room));
    light->setRadius(16.0f * static_cast<float>(g.radius));
    light->setPosition(16.0f * static_cast<float>(g.column) + 8, 16.0f * static_cast<float>(g.row) + 8);
    light->update(0.0f);

    const std::vector<int> reference = seen(g);
    std::string drawing =
        "radius " + std::to_string(g.radius) + " ('!' lit but unseen, '?' seen but dark):\n";
    bool wrong = false;
    for (int i = 0; i < static_cast<int>(g.wall.size()); ++i) {
        const int c = i % g.width - g.column, r = i / g.width - g.row;
        const int view = c * c + r * r < g.radius * g.radius ? reference[i] : 0;
        const bool lit = (darkness[i].flags & TILE_LIT) != 0;
        const bool unseen = lit && view == 0, dark = !lit && view == 2;
        wrong = wrong || unseen || dark;
        drawing += c == 0 && r == 0 ? '@' : unseen ? '!' : dark ? '?' : g.wall[i] ? '#' : lit ? '.' : ' ';
        if (i % g.width == g.width - 1) drawing += '\n';
    }
    return wrong ? drawing : "";
}

// A room drawn row by row, '|' between rows: '#' a wall, '@' the light.
Grid drawn(int radius, std::string rows) {
    const int width = static_cast<int>(rows.find('|'));
    std::erase(rows, '|');
    const int at = static_cast<int>(rows.find('@')), size = static_cast<int>(rows.size());
    Grid g{width, size / width, at % width, at / width, radius, {}};
    for (char cell : rows) g.wall.push_back(cell == '#');
    return g;
}

TEST(ShadowcastReferenceTest, DrawnRoomsLightWhatTheLightCanSee) {
    const std::pair<const char*, Grid> rooms[] = {
        {"(4, 1) shows only through the corner gap", drawn(4, "......|..#...|.@.#..|......")},
        {"two walls hide (1, 3)", drawn(4, "......|...#@.|......|..#...|......")},
        {"the walls in line hide (1, 2)", drawn(5, ".....@|.#..#.|......")},
        {"the walls in line hide (1, 3)", drawn(6, ".....@|......|.#.#..|......")},
    };
    for (const auto& [what, grid] : rooms) {
        const std::string wrong = compare(grid);
        EXPECT_TRUE(wrong.empty()) << what << ", " << wrong;
    }
}

TEST(ShadowcastReferenceTest, RandomPillarsLightWhatTheLightCanSee) {
    int wrongRooms = 0;
    std::string smallest;
    for (unsigned seed = 1; seed <= 36; ++seed) {
        std::mt19937 random(seed);
        const int radius = 2 + static_cast<int>(seed % 6), side = 2 * radius + 1;
        const unsigned percent = 10 + random() % 25;
        Grid g{side, side, side / 2, side / 2, radius, std::vector<char>(side * side)};
        for (char& cell : g.wall) cell = random() % 100 < percent;
        g.wall[g.row * side + g.column] = 0;
        const std::string wrong = compare(g);
        if (!wrong.empty() && (wrongRooms++ == 0 || wrong.size() < smallest.size())) smallest = wrong;
    }
    EXPECT_EQ(wrongRooms, 0) << "the smallest, " << smallest;
}

}  // namespace
