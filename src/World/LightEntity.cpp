#include "World/LightEntity.h"

#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Util/Random.h"
#include "Util/StringHelper.h"
#include "World/Room.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t FLOOR_LAYER = 0;
constexpr int32_t DARKNESS_LAYER = 1;

// The game's uniform random number, written for rand's 0..32767.
float uniform(float low, float high) {
    return static_cast<float>(gameRand()) / (32767.0f / (high - low)) + low;
}

bool hasFlag(const Tile* tile, TileFlag flag) {
    return tile != nullptr && (tile->flags & flag) != 0;
}

}  // namespace

// The two layers the light works on, looked up once an update.
struct LightEntity::Layers {
    Tile* floor;
    Tile* darkness;
    int32_t width, height;

    Tile& floorAt(int32_t column, int32_t row) const { return floor[row * width + column]; }
    Tile& darknessAt(int32_t column, int32_t row) const { return darkness[row * width + column]; }
};

LightEntity::LightEntity(Room* owner) : Entity(ET_LIGHT, owner) {
    zIndex = -1;
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
    centerColumn = static_cast<int32_t>(centerX / static_cast<float>(map().tileWidth));
    centerRow = static_cast<int32_t>(centerY / static_cast<float>(map().tileHeight));
    updateTileBox();
}

void LightEntity::setRadius(float r) {
    x = centerX - r;
    y = centerY - r;
    width = height = 2 * r;
    radius = r;
    radiusSquared = r * r;
    inverseRadiusSquared = radiusSquared > 0.0f ? 1.0f / radiusSquared : 0.0f;
    radiusTiles = static_cast<int32_t>(r / static_cast<float>(map().tileWidth) + 0.5f);
    radiusTilesSquared = radiusTiles * radiusTiles;
    updateTileBox();
}

// Pixel edges are truncated before the division, so the box is what the
// darkness pass walks, not a rounded-out cover of the circle.
void LightEntity::updateTileBox() {
    minColumn = static_cast<int32_t>(centerX - radius) / map().tileWidth;
    maxColumn = static_cast<int32_t>(centerX + radius) / map().tileWidth;
    minRow = static_cast<int32_t>(centerY - radius) / map().tileHeight;
    maxRow = static_cast<int32_t>(centerY + radius) / map().tileHeight;
}

void LightEntity::update(float dt) {
    Tile* centre = map().getTile(centerColumn, centerRow, DARKNESS_LAYER);
    if (centre == nullptr || hasFlag(centre, TILE_BLOCKING) || !isOnScreen()) return;
    centre->flags |= TILE_LIT;
    if (Tile* floor = map().getTile(centerColumn, centerRow, FLOOR_LAYER)) floor->flags |= TILE_LIT;
    flicker(dt);
    // Each octant's rows run outward along one half-axis; together they cover the square.
    static constexpr std::array<Octant, 8> octants{{{1, 0, 0, 1},
                                                    {0, 1, 1, 0},
                                                    {0, -1, 1, 0},
                                                    {-1, 0, 0, 1},
                                                    {-1, 0, 0, -1},
                                                    {0, -1, -1, 0},
                                                    {0, 1, -1, 0},
                                                    {1, 0, 0, -1}}};
    const Layers layers{map().tileLayers[FLOOR_LAYER].tiles.get(),
                        map().tileLayers[DARKNESS_LAYER].tiles.get(), map().width, map().height};
    for (const Octant& octant : octants) castLight(layers, 1, 1.0f, 0.0f, octant);
    lowerDarkness(layers);
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
    intensity += (flickerTarget - intensity) * flickerRate * dt;
}

// Beyond the map's edge nothing stops the light.
bool LightEntity::blocksAt(const Layers& layers, int32_t dx, int32_t dy, const Octant& octant) const {
    const int32_t column = centerColumn + dx * octant.xx + dy * octant.xy;
    const int32_t cellRow = centerRow + dx * octant.yx + dy * octant.yy;
    if (column < 0 || cellRow < 0 || column >= layers.width || cellRow >= layers.height) return false;
    return hasFlag(&layers.darknessAt(column, cellRow), TILE_BLOCKING);
}

// Recursive shadowcasting of one octant: rows outward from the centre, each
// scanned between the slopes start and end that are still unshadowed. A
// blocking cell starts a shadow; the rest of the row beyond it is cast in a
// new recursion with the narrowed slopes. The light stops at blocking cells:
// a cell only the rays through a wall could reach stays dark.
void LightEntity::castLight(const Layers& layers, int32_t row, float start, float end, const Octant& octant) {
    if (start < end || row > radiusTiles) return;
    float newStart = start;
    for (int32_t j = row; j <= radiusTiles; ++j) {
        const int32_t dy = -j;
        bool blocked = false;
        for (int32_t dx = -j; dx <= 0; ++dx) {
            const int32_t column = centerColumn + dx * octant.xx + dy * octant.xy;
            const int32_t cellRow = centerRow + dx * octant.yx + dy * octant.yy;
            const float rightSlope = (static_cast<float>(dx) + 0.5f) / (static_cast<float>(dy) - 0.5f);
            if (start < rightSlope) continue;
            const float leftSlope = (static_cast<float>(dx) - 0.5f) / (static_cast<float>(dy) + 0.5f);
            if (end > leftSlope) break;
            // Beyond the map's edge nothing stops the light.
            if (column < 0 || cellRow < 0 || column >= layers.width || cellRow >= layers.height) continue;
            Tile& cell = layers.darknessAt(column, cellRow);
            const bool blocking = hasFlag(&cell, TILE_BLOCKING);
            // Every ray left enters this row beside the cell, nearer the axis,
            // so a wall there hides it.
            const float besideCorner = (static_cast<float>(dx) + 0.5f) / (static_cast<float>(dy) + 0.5f);
            const bool hidden = start < besideCorner && blocksAt(layers, dx + 1, dy, octant);
            if (!hidden && dx * dx + dy * dy < radiusTilesSquared) {
                cell.flags |= TILE_LIT;
                layers.floorAt(column, cellRow).flags |= TILE_LIT;
            }
            if (blocked) {
                if (blocking) {
                    newStart = rightSlope;
                } else {
                    blocked = false;
                    start = newStart;
                    // The shadows have closed the whole range.
                    if (start < end) return;
                }
            } else if (blocking) {
                blocked = true;
                castLight(layers, j + 1, start, leftSlope, octant);
                newStart = rightSlope;
            }
        }
        if (blocked) return;
    }
}

// Every lit cell in the box is thinned, whichever light lit it, so lights
// add up and a cell lit from elsewhere still shows this light's glow.
void LightEntity::lowerDarkness(const Layers& layers) {
    // A light without a radius has no glow to give.
    if (radiusSquared <= 0.0f) return;
    // Row by row, as the tiles are stored; each cell's result stands alone.
    const int32_t firstColumn = std::max(minColumn, 0);
    const int32_t lastColumn = std::min(maxColumn, layers.width - 1);
    const int32_t tileWidth = map().tileWidth;
    const int32_t tileHeight = map().tileHeight;
    for (int32_t row = std::max(minRow, 0); row <= std::min(maxRow, layers.height - 1); ++row) {
        const float dy = static_cast<float>(tileHeight * row) - centerY;
        for (int32_t column = firstColumn; column <= lastColumn; ++column) {
            Tile& cell = layers.darknessAt(column, row);
            if (!hasFlag(&cell, TILE_LIT)) continue;
            const float dx = static_cast<float>(tileWidth * column) - centerX;
            const float glow = std::max((1.0f - falloff(dx, dy)) * intensity, 0.0f);
            cell.darkness = std::clamp(cell.darkness - glow, 0.0f, 1.0f);
        }
    }
}

// The squared distance to the cell's top-left corner as a share of the
// squared radius, flattened near the centre.
float LightEntity::falloff(float dx, float dy) const {
    const float share = (dx * dx + dy * dy) * inverseRadiusSquared;
    return share < falloffKnee ? share * falloffScale : share;
}
