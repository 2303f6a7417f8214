#include "World/LightEntity.h"

#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Effects/ReducedFlashing.h"
#include "Util/Random.h"
#include "Util/StringHelper.h"
#include "World/Room.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int32_t FLOOR_LAYER = 0;
constexpr int32_t DARKNESS_LAYER = 1;

// A map object may place or size a light far beyond any map. The cells and
// pixels worked out from it stay where whole numbers cannot overflow, which
// changes nothing on a map of fewer than 32,767 cells a side: the squared
// distance of any cell within reach still fits, and a centre cell still
// lies within 2^24 cells of the map.
constexpr float LONGEST_REACH = 32767.0f;
constexpr float FARTHEST_CELL = 16777216.0f;
constexpr float FARTHEST_PIXEL = 2.0e9f;

int32_t wholeNumberWithin(float value, float limit) {
    return static_cast<int32_t>(std::clamp(value, -limit, limit));
}

// The flicker's uniform random number, written for rand's 0..32767. The
// flicker only looks alive, so it draws from the looks' stream.
float uniform(float low, float high) {
    return static_cast<float>(RandomEffect()) / (32767.0f / (high - low)) + low;
}

constexpr float HELD_EASING_SECONDS = 1.0f / 60.0f;
constexpr float REDUCED_FLICKER_DEPTH = 0.25f;
constexpr float DISPLAY_GAMMA = 2.2f;

bool hasFlag(const Tile* tile, TileFlag flag) {
    return tile != nullptr && (tile->flags & flag) != 0;
}

// The slopes that bound one cell of an octant's row, seen from the centre:
// the same for every octant and every light, so they are divided once.
struct CellSlopes {
    float right;  // (dx + 0.5) / (dy - 0.5), where the row's rays leave the cell
    float left;   // (dx - 0.5) / (dy + 0.5), where they enter it
};

// Row j (dy = -j) holds its cells dx = -j..0 and one more, dx = 1, whose left
// slope is the corner beside the row's last cell. It only ever grows, so a
// steady frame divides and allocates nothing; lights update on the main
// thread alone.
class SlopeTable {
public:
    void cover(int32_t rows) {
        if (rows <= rowsCovered) return;
        slopes.resize(rowStart(rows + 1));
        for (int32_t j = rowsCovered + 1; j <= rows; ++j)
            for (int32_t dx = -j; dx <= 1; ++dx) {
                const float dy = static_cast<float>(-j);
                slopes[rowStart(j) + static_cast<size_t>(j + dx)] = {
                    (static_cast<float>(dx) + 0.5f) / (dy - 0.5f),
                    (static_cast<float>(dx) - 0.5f) / (dy + 0.5f)};
            }
        rowsCovered = rows;
    }

    // Indexed by dx, -j..1.
    const CellSlopes* row(int32_t j) const { return slopes.data() + rowStart(j) + j; }

private:
    // Row j has j + 2 cells; row 1 starts at 0.
    static size_t rowStart(int32_t j) {
        const auto row = static_cast<size_t>(j);
        return (row - 1) * row / 2 + 2 * (row - 1);
    }

    std::vector<CellSlopes> slopes;
    int32_t rowsCovered = 0;
};

SlopeTable slopeTable;

// One octant as the scan walks it: rows outward from the centre (dy = -row),
// each from its far end (dx = -row) towards the axis (dx = 0); xx..yy turn
// (dx, dy) into the map's columns and rows.
struct OctantScan {
    Tile* floor;
    Tile* darkness;
    int32_t width, height;
    int32_t centerColumn, centerRow;
    int32_t lastRow;  // the farthest row that may hold a cell in reach
    int32_t radiusTilesSquared;
    int32_t xx, xy, yx, yy;

    bool contains(int32_t column, int32_t row) const {
        return column >= 0 && row >= 0 && column < width && row < height;
    }
};

// Recursive shadowcasting of one octant: rows outward from the centre, each
// scanned between the slopes start and end that are still unshadowed. A
// blocking cell starts a shadow; the rest of the row beyond it is cast in a
// new recursion with the narrowed slopes. The light stops at blocking cells:
// a cell only the rays through a wall could reach stays dark. It marks the
// cells it lights in both layers and lists them from `lit` on (those on the
// octant's edges twice), and returns the end of its list. A light whose
// reach stays inside the map skips the checks for its edges.
template <bool NearEdge>
int32_t* castLight(const OctantScan& scan, int32_t row, float start, float end, int32_t* lit) {
    // A copy the compiler can keep in registers: the tiles and the list it
    // writes could otherwise be any of these fields, read again every cell.
    const OctantScan s = scan;
    if (start < end || row > s.lastRow) return lit;
    float newStart = start;
    const int32_t step = s.xx + s.yx * s.width;  // one cell along a row, in the tile array
    for (int32_t j = row; j <= s.lastRow; ++j) {
        const int32_t dy = -j;
        const CellSlopes* slopes = slopeTable.row(j);
        bool blocked = false;
        for (int32_t dx = -j; dx <= 0; ++dx) {
            const float rightSlope = slopes[dx].right;
            if (start < rightSlope) continue;
            const float leftSlope = slopes[dx].left;
            if (end > leftSlope) break;
            const int32_t column = s.centerColumn + dx * s.xx + dy * s.xy;
            const int32_t cellRow = s.centerRow + dx * s.yx + dy * s.yy;
            // Beyond the map's edge nothing stops the light.
            if (NearEdge && !s.contains(column, cellRow)) continue;
            const int32_t index = cellRow * s.width + column;
            const bool blocking = (s.darkness[index].flags & TILE_BLOCKING) != 0;
            // Every ray left enters this row beside the cell, nearer the axis,
            // so a wall there hides it.
            const auto hidden = [&] {
                return start < slopes[dx + 1].left &&
                       (!NearEdge || s.contains(column + s.xx, cellRow + s.yx)) &&
                       (s.darkness[index + step].flags & TILE_BLOCKING) != 0;
            };
            if (dx * dx + dy * dy < s.radiusTilesSquared && !hidden()) {
                s.darkness[index].flags |= TILE_LIT;
                s.floor[index].flags |= TILE_LIT;
                *lit++ = index;
            }
            if (blocked) {
                if (blocking) {
                    newStart = rightSlope;
                } else {
                    blocked = false;
                    start = newStart;
                    // The shadows have closed the whole range.
                    if (start < end) return lit;
                }
            } else if (blocking) {
                blocked = true;
                lit = castLight<NearEdge>(scan, j + 1, start, leftSlope, lit);
                newStart = rightSlope;
            }
        }
        if (blocked) return lit;
    }
    return lit;
}

// How much a light thins a cell's darkness: by its intensity, less the
// squared distance to the cell's top-left corner as a share of the squared
// radius, which is flattened near the centre.
struct Glow {
    float inverseRadiusSquared, knee, scale, intensity;

    float at(float dxSquared, float dySquared) const {
        const float share = (dxSquared + dySquared) * inverseRadiusSquared;
        const float falloff = share < knee ? share * scale : share;
        return std::max((1.0f - falloff) * intensity, 0.0f);
    }
};

}  // namespace

LightEntity::LightEntity(Room* owner) : Entity(ET_LIGHT, owner) {
    zIndex = Z_LIGHT;
    nextFlicker = uniform(flickerIntervalMin, flickerIntervalMax);
}

std::unique_ptr<LightEntity> new_LightEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(LightEntity, "new_LightEntity", room);
}

LightEntity* new_OwnedLight(Room* room, float radius) {
    std::unique_ptr<LightEntity> owned = new_LightEntity(room);
    LightEntity* light = owned.get();
    light->name = "Light";
    light->setRadius(radius);
    light->intensity = 1.0f;
    room->addEntity(std::move(owned));
    return light;
}

Map& LightEntity::map() const {
    return *room->map;
}

void LightEntity::setPosition(float newX, float newY) {
    centerX = newX;
    centerY = newY;
    x = centerX - radius;
    y = centerY - radius;
    centerColumn = wholeNumberWithin(centerX / static_cast<float>(map().tileWidth), FARTHEST_CELL);
    centerRow = wholeNumberWithin(centerY / static_cast<float>(map().tileHeight), FARTHEST_CELL);
    updateTileBox();
}

void LightEntity::setRadius(float r) {
    x = centerX - r;
    y = centerY - r;
    width = height = 2 * r;
    radius = r;
    radiusSquared = r * r;
    if (!ReducedFlashingIsOn()) setReach(r);
}

void LightEntity::setReach(float r) {
    reachRadius = r;
    const float squared = r * r;
    inverseRadiusSquared = squared > 0.0f ? 1.0f / squared : 0.0f;
    radiusTiles = wholeNumberWithin(r / static_cast<float>(map().tileWidth) + 0.5f, LONGEST_REACH);
    radiusTilesSquared = radiusTiles * radiusTiles;
    updateTileBox();
}

void LightEntity::easeReach(float dt) {
    if (showingAtOnce > 0) shownReach.settle(radius);
    const float shown = shownReach.follow(radius, dt);
    if (shown != reachRadius || !eased) setReach(shown);
    eased = true;
}

float LightEntity::easeGlow(float dt) {
    if (showingAtOnce > 0) {
        --showingAtOnce;
        shownIntensity.settle(intensity);
        glowCarried.settle(1.0f);
    }
    return shownIntensity.follow(intensity, dt) * glowCarried.follow(1.0f, dt);
}

// A reach easing across a cell's edge takes a ring of cells in or out at
// once: the glow is carried over, so that the light as a whole shines as it
// did, and eases on from there.
void LightEntity::castCarryingGlow(const CastKey& key) {
    const bool ringChanges = key.radiusTiles != lastCast.radiusTiles && lastCast.map != nullptr;
    const float before = ringChanges ? litGlow() : 0.0f;
    cast(key);
    const float after = ringChanges ? litGlow() : 0.0f;
    if (before > 0.0f && after > 0.0f)
        glowCarried.settle(glowCarried.level() * std::pow(before / after, 1.0f / DISPLAY_GAMMA));
}

// How much light the centre's and the last cast's cells show at full
// intensity: the darkness is blended over the picture as it is stored, so a
// cell shows about its glow to the display's gamma.
float LightEntity::litGlow() const {
    const Glow glow{inverseRadiusSquared, falloffKnee, falloffScale, 1.0f};
    auto glowAt = [&](int32_t column, int32_t row) {
        const float dx = static_cast<float>(map().tileWidth * column) - centerX;
        const float dy = static_cast<float>(map().tileHeight * row) - centerY;
        return std::pow(std::min(glow.at(dx * dx, dy * dy), 1.0f), DISPLAY_GAMMA);
    };
    // The cells on an octant's edges are listed twice.
    std::vector<int32_t> cells(litCells.begin(), litCells.begin() + static_cast<std::ptrdiff_t>(litCount));
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    float sum = glowAt(centerColumn, centerRow);
    for (const int32_t cell : cells) sum += glowAt(cell % map().width, cell / map().width);
    return sum;
}

// Pixel edges are truncated before the division, so the box is what the
// darkness pass walks, not a rounded-out cover of the circle.
void LightEntity::updateTileBox() {
    minColumn = wholeNumberWithin(centerX - reachRadius, FARTHEST_PIXEL) / map().tileWidth;
    maxColumn = wholeNumberWithin(centerX + reachRadius, FARTHEST_PIXEL) / map().tileWidth;
    minRow = wholeNumberWithin(centerY - reachRadius, FARTHEST_PIXEL) / map().tileHeight;
    maxRow = wholeNumberWithin(centerY + reachRadius, FARTHEST_PIXEL) / map().tileHeight;
}

void LightEntity::update(float dt) {
    const bool easing = ReducedFlashingIsOn();
    if (easing) {
        easeReach(dt);
    } else if (eased) {
        // Reduced flashing was turned off: back to the radius as it stands.
        eased = false;
        showNextAtOnce();
        setReach(radius);
    }
    Tile* centre = map().getTile(centerColumn, centerRow, DARKNESS_LAYER);
    if (centre == nullptr || hasFlag(centre, TILE_BLOCKING) || !isOnScreen()) return;
    centre->flags |= TILE_LIT;
    if (Tile* floor = map().getTile(centerColumn, centerRow, FLOOR_LAYER)) floor->flags |= TILE_LIT;
    flicker(dt);
    const CastKey key{&map(), centerColumn, centerRow, radiusTiles};
    Tile* darkness = map().tileLayers[DARKNESS_LAYER].tiles.get();
    if (key == lastCast) {
        markLastCast(map().tileLayers[FLOOR_LAYER].tiles.get(), darkness);
    } else if (easing && showingAtOnce == 0) {
        castCarryingGlow(key);
    } else {
        cast(key);
    }
    lowerDarkness(darkness, easing ? easeGlow(dt) : intensity);
}

void LightEntity::cast(const CastKey& key) {
    // Each octant's rows run outward along one half-axis; together they cover the square.
    static constexpr std::array<std::array<int32_t, 4>, 8> octants{{{1, 0, 0, 1},
                                                                    {0, 1, 1, 0},
                                                                    {0, -1, 1, 0},
                                                                    {-1, 0, 0, 1},
                                                                    {-1, 0, 0, -1},
                                                                    {0, -1, -1, 0},
                                                                    {0, 1, -1, 0},
                                                                    {1, 0, 0, -1}}};
    // The row at the radius holds no cell within it (a cell is in reach when
    // its centre is strictly inside), and rows farther out than the map's
    // farthest edge lie wholly outside it: neither lights anything.
    const int32_t farthestEdge =
        std::max({centerColumn, map().width - 1 - centerColumn, centerRow, map().height - 1 - centerRow});
    const int32_t lastRow = std::clamp(radiusTiles - 1, 0, farthestEdge);
    slopeTable.cover(lastRow);
    // Each octant's row j has j + 1 cells, and no cell is scanned twice in an
    // octant: the ranges a scan splits into never overlap. Only a larger
    // reach than any before makes the list grow.
    litCells.resize(4 * static_cast<size_t>(lastRow) * static_cast<size_t>(lastRow + 3));
    int32_t* lit = litCells.data();
    const bool nearEdge = centerColumn < lastRow || centerRow < lastRow ||
                          centerColumn + lastRow >= map().width || centerRow + lastRow >= map().height;
    for (const auto& [xx, xy, yx, yy] : octants) {
        const OctantScan scan{map().tileLayers[FLOOR_LAYER].tiles.get(),
                              map().tileLayers[DARKNESS_LAYER].tiles.get(),
                              map().width,
                              map().height,
                              centerColumn,
                              centerRow,
                              lastRow,
                              radiusTilesSquared,
                              xx,
                              xy,
                              yx,
                              yy};
        lit =
            nearEdge ? castLight<true>(scan, 1, 1.0f, 0.0f, lit) : castLight<false>(scan, 1, 1.0f, 0.0f, lit);
    }
    litCount = static_cast<size_t>(lit - litCells.data());
    lastCast = key;
}

void LightEntity::markLastCast(Tile* floor, Tile* darkness) const {
    for (size_t i = 0; i < litCount; ++i) {
        const int32_t index = litCells[i];
        darkness[index].flags |= TILE_LIT;
        floor[index].flags |= TILE_LIT;
    }
}

void LightEntity::forgetCast() {
    lastCast = CastKey{};
}

// Four comparisons, so that lights far from the screen cost next to nothing.
bool LightEntity::isOnScreen() const {
    const Map& shown = map();
    return maxColumn >= shown.firstColumn && minColumn <= shown.lastColumn && maxRow >= shown.firstRow &&
           minRow <= shown.lastRow;
}

void LightEntity::flicker(float dt) {
    clock += dt;
    if (clock >= nextFlicker) {
        nextFlicker += uniform(flickerIntervalMin, flickerIntervalMax);
        flickerTarget = uniform(flickerTargetMin, flickerTargetMax);
    }
    // Reduced flashing keeps the flicker nearer its middle: it wavers rather than flickers.
    const float middle = (flickerTargetMin + flickerTargetMax) * 0.5f;
    const float target =
        ReducedFlashingIsOn() ? middle + (flickerTarget - middle) * REDUCED_FLICKER_DEPTH : flickerTarget;
    if (held) intensity = heldIntensity + (target - heldIntensity) * flickerRate * HELD_EASING_SECONDS;
    else intensity += (target - intensity) * flickerRate * dt;
}

void LightEntity::holdIntensity(float steady) {
    held = true;
    heldIntensity = intensity = steady;
}

void LightEntity::showNextAtOnce() {
    showingAtOnce = 2;
}

// Every lit cell in the box is thinned, whichever light lit it, so lights
// add up and a cell lit from elsewhere still shows this light's glow.
void LightEntity::lowerDarkness(Tile* darkness, float glowIntensity) {
    // A light without a reach has no glow to give.
    if (reachRadius * reachRadius <= 0.0f) return;
    const int32_t firstColumn = std::max(minColumn, 0);
    const int32_t lastColumn = std::min(maxColumn, map().width - 1);
    const int32_t firstRow = std::max(minRow, 0);
    const int32_t lastRow = std::min(maxRow, map().height - 1);
    const int32_t columns = lastColumn - firstColumn + 1;
    if (columns <= 0) return;
    // The columns' squared distances once, rather than once a row.
    columnDistances.resize(static_cast<size_t>(columns));
    float* dxSquared = columnDistances.data();
    for (int32_t c = 0; c < columns; ++c) {
        const float dx = static_cast<float>(map().tileWidth * (firstColumn + c)) - centerX;
        dxSquared[c] = dx * dx;
    }
    // Copies, so that the darkness written per cell is not taken for any of them.
    const Glow glow{inverseRadiusSquared, falloffKnee, falloffScale, glowIntensity};
    const float fromY = centerY;
    const int32_t mapWidth = map().width;
    const int32_t tileHeight = map().tileHeight;
    // Row by row, as the tiles are stored; each cell's result stands alone.
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        const float dy = static_cast<float>(tileHeight * row) - fromY;
        const float dySquared = dy * dy;
        Tile* cells = darkness + row * mapWidth + firstColumn;
        for (int32_t c = 0; c < columns; ++c) {
            Tile& cell = cells[c];
            if ((cell.flags & TILE_LIT) == 0) continue;
            // The glow is never negative, so the darkness only falls, to 0 at least.
            cell.darkness = std::max(cell.darkness - glow.at(dxSquared[c], dySquared), 0.0f);
        }
    }
}
