#include "Content/Map.h"

#include "Debug/Debug.h"
#include "Engine/Viewport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int FLOOR_LAYER = 0;
constexpr int DARKNESS_LAYER = 1;
// Lights leave float error behind; a cell this close to 1 counts as unlit.
constexpr float FULL_DARKNESS_TOLERANCE = 0.0001f;

struct TileSpan {
    int32_t first;
    int32_t last;  // exclusive
};

// The tiles along one axis that the screen covers. A camera before the map's
// start shows the map from its first tile up to the screen's far edge.
TileSpan visibleSpan(float viewPosition, float screenSize, int32_t tileSize, int32_t mapSize,
                     int32_t visibleCount) {
    const auto view = static_cast<int32_t>(viewPosition);
    if (view < 0) return {0, (static_cast<int32_t>(screenSize) + view) / tileSize};
    const int32_t first = view / tileSize;
    return {first, first + std::min(mapSize - first, visibleCount)};
}

// A margin of one tile on each side, kept inside the map.
uint16_t clampedEdge(int32_t edge, int32_t mapSize) {
    return static_cast<uint16_t>(std::clamp(edge, 0, mapSize));
}

// Tiles are stored row by row.
size_t cellIndex(int32_t column, int32_t row, int32_t width) {
    return static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column);
}

bool hasFlag(const Tile& tile, TileFlag flag) {
    return (tile.flags & flag) != 0;
}

// The darkness a cell shows: 1 where no light reached or one left it fully dark.
float seenDarkness(const Tile& tile) {
    const bool dark = !hasFlag(tile, TILE_LIT) || std::fabs(tile.darkness - 1.0f) < FULL_DARKNESS_TOLERANCE;
    return dark ? 1.0f : tile.darkness;
}

uint32_t blackAt(float opacity) {
    return static_cast<uint32_t>(KEClamp(opacity, 0.0f, 1.0f) * 255.0f + 0.5f) << 24;
}

// Darker than this a monitor's blacks are lost; lighter the dark stops being dark.
constexpr float MOST_DARKNESS_FLOOR = 0.5f;

DarknessStyle darknessStyle;

}  // namespace

void MapSetDarknessStyle(const DarknessStyle& style) {
    darknessStyle = {style.look, KEClamp(style.floor, 0.0f, MOST_DARKNESS_FLOOR)};
}

const DarknessStyle& MapDarknessStyle() {
    return darknessStyle;
}

void Map::prepare(Vector2 view) {
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    viewPosition = view;
    const TileSpan columns = visibleSpan(view.x, screenWidth(), tileWidth, width, visibleColumns);
    const TileSpan rows = visibleSpan(view.y, screenHeight(), tileHeight, height, visibleRows);
    firstColumn = clampedEdge(columns.first - 1, width);
    lastColumn = clampedEdge(columns.last + 1, width);
    firstRow = clampedEdge(rows.first - 1, height);
    lastRow = clampedEdge(rows.last + 1, height);
}

template <typename Visit>
void Map::forEachVisibleTile(TileLayer& layer, Visit visit) {
    if (!layer.visible) return;
    for (int32_t column = firstColumn; column < lastColumn; ++column)
        for (int32_t row = firstRow; row < lastRow; ++row)
            visit(layer.tiles[cellIndex(column, row, width)], column, row);
}

void Map::drawFloor(float opacity, MarkLife marks) {
    const bool clearMarks = marks == MARKS_EXPIRE;
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetTintColor(1, 1, 1, opacity);
    forEachVisibleTile(tileLayers[FLOOR_LAYER], [&](Tile& tile, int32_t column, int32_t row) {
        if (hasFlag(tile, TILE_EMPTY) || !hasFlag(tile, TILE_LIT)) return;
        placeTile(column, row);
        drawTileImage(tile);
        if (clearMarks) tile.flags &= ~TILE_LIT;
    });
}

void Map::drawDarkness(float opacity, MarkLife marks) {
    const DarknessStyle& style = MapDarknessStyle();
    const float lift = 1.0f - style.floor;
    TileLayer& layer = tileLayers[DARKNESS_LAYER];
    forEachVisibleTile(layer, [&](Tile& tile, int32_t column, int32_t row) {
        // No wall and no light: the floor pass has already left the background there.
        if (hasFlag(tile, TILE_EMPTY) && !hasFlag(tile, TILE_LIT)) return;
        placeTile(column, row);
        if (style.look == LightLook::Smooth) drawSmoothCell(tile, column, row, opacity, lift);
        else drawTiledCell(tile, opacity, lift);
    });
    // Only once every cell is drawn: a smooth cell reads its neighbours' marks.
    if (marks == MARKS_EXPIRE)
        forEachVisibleTile(layer, [](Tile& tile, int32_t, int32_t) {
            tile.flags &= ~TILE_LIT;
            tile.darkness = 1.0f;
        });
}

// A lit wall shows wherever its darkness leaves anything of it.
void Map::drawTiledCell(const Tile& tile, float opacity, float lift) const {
    const float darkness = seenDarkness(tile) * lift;
    if (hasFlag(tile, TILE_LIT) && darkness < 1.0f) drawWallImage(tile, opacity);
    drawBlackSquare(darkness);
}

// Only lit cells blend, so light that reaches one face of a wall never shows
// on the unlit cells behind it; their darkness darkens the corners they share.
void Map::drawSmoothCell(const Tile& tile, int32_t column, int32_t row, float opacity, float lift) const {
    const float corners[4] = {cornerDarkness(column, row), cornerDarkness(column + 1, row),
                              cornerDarkness(column + 1, row + 1), cornerDarkness(column, row + 1)};
    const bool hidden = std::all_of(corners, corners + 4, [&](float c) { return c * lift >= 1.0f; });
    if (!hasFlag(tile, TILE_LIT) || hidden) {
        drawBlackSquare(lift);
        return;
    }
    drawWallImage(tile, opacity);
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, 1);
    KEGfxQuadDraw(static_cast<float>(tileWidth), static_cast<float>(tileHeight),
                  {blackAt(corners[0] * lift), blackAt(corners[1] * lift), blackAt(corners[2] * lift),
                   blackAt(corners[3] * lift)});
}

// The mean of the four cells around a cell's top-left corner, those beyond
// the map's edge read from the nearest inside it.
float Map::cornerDarkness(int32_t column, int32_t row) const {
    const Tile* cells = tileLayers[DARKNESS_LAYER].tiles.get();
    float sum = 0.0f;
    for (const int32_t r : {row - 1, row})
        for (const int32_t c : {column - 1, column})
            sum += seenDarkness(
                cells[cellIndex(std::clamp(c, 0, width - 1), std::clamp(r, 0, height - 1), width)]);
    return sum / 4.0f;
}

bool Map::isAt(const char* mapPath) const {
    return path == mapPath;
}

void Map::forEachObject(const MapObjectVisitor& visit) {
    for (MapObject* object : objects) visit(this, object);
}

Tile* Map::getTile(int32_t column, int32_t row, int32_t layer) {
    if (column < 0 || column >= width || row < 0 || row >= height) return nullptr;
    if (layer < 0 || layer >= tileLayerCount) return nullptr;
    return &tileLayers[layer].tiles[cellIndex(column, row, width)];
}

const Property* Map::getTileProperty(const Tile* tile, const char* key) const {
    if (tile == nullptr || (tile->flags & TILE_EMPTY) != 0) return nullptr;
    const Tileset& tileset = tilesets[tile->tilesetIndex()];
    for (uint32_t i = 0; i < tileset.tilePropertyCount; ++i)
        if (tileset.tileProperties[i].gid == tile->gid)
            return PropertiesGet(tileset.tileProperties[i].properties.get(), key);
    return nullptr;
}

void Map::placeTile(int32_t column, int32_t row) const {
    Matrix3 transform;
    Matrix3Translate(&transform, static_cast<float>(tileWidth * column) - viewPosition.x,
                     static_cast<float>(tileHeight * row) - viewPosition.y);
    KEGfxSetTransform(&transform);
}

void Map::drawWallImage(const Tile& tile, float opacity) const {
    if (hasFlag(tile, TILE_EMPTY)) return;
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetTintColor(1, 1, 1, opacity);
    drawTileImage(tile);
}

void Map::drawTileImage(const Tile& tile) const {
    const Tileset& tileset = tilesets[tile.tilesetIndex()];
    KEGfxTextureSet(tileset.texture->texture.get(),
                    static_cast<float>(tile.imageColumn()) * tileset.tileUv[0],
                    static_cast<float>(tile.imageRow()) * tileset.tileUv[1]);
    KEGfxMeshDraw(tileset.mesh);
}

// Tile meshes carry black vertices, so untextured they draw a black square
// of the tint's opacity.
void Map::drawBlackSquare(float opacity) const {
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, opacity);
    KEGfxMeshDraw(tilesets[0].mesh);
}

std::unique_ptr<Map> new_Map() {
    return DEBUG_MAKE_UNIQUE(Map, "new_Map");
}
