// A room's tile map as the game uses it: tile layers whose cells carry their
// collision flags and this frame's lighting, the tilesets they are drawn
// from, and the objects the room spawns its entities from. MapContent reads
// it from a map file; the record lives in the content cache.
#pragma once

#include "Content/Properties.h"
#include "Content/TextureContent.h"
#include "Engine/Kestrel.h"
#include "Util/Color.h"
#include "Util/LinkedList.h"
#include "Util/Vector2.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class Map;

enum TileFlag : uint32_t {
    TILE_EMPTY = 1,      // gid 0, or beyond every tileset
    TILE_BLOCKING = 2,   // stops light
    TILE_COLLISION = 4,  // solid for the character
    TILE_LIT = 8,        // a light reached it this frame; the draw pass of its layer clears it
};

struct Tile {
    uint32_t flags = TILE_EMPTY;
    uint32_t gid = 0;
    // Bits 0-7 the tileset index, 8-19 the column and 20-31 the row of the
    // tile in the tileset image.
    uint32_t position = 0;
    float darkness = 1.0f;  // 1 fully dark, 0 fully lit

    uint32_t tilesetIndex() const { return position & 0xFF; }
    uint32_t imageColumn() const { return position >> 8 & 0xFFF; }
    uint32_t imageRow() const { return position >> 20; }
};

struct TileProperties {
    uint32_t gid = 0;
    std::unique_ptr<Properties> properties;  // null when the tile's property object is empty
};

struct Tileset {
    TextureContent* texture = nullptr;  // cached, not owned
    KEMesh* mesh = nullptr;             // one tile; owned, null until the main-thread step
    float tileUv[2] = {0.0f, 0.0f};     // one tile's size in texture coordinates
    uint32_t firstGid = 0;
    uint32_t tilePropertyCount = 0;
    int32_t imageWidth = 0;  // as the map file says
    int32_t imageHeight = 0;
    std::unique_ptr<TileProperties[]> tileProperties;  // null without tile properties

    Tileset() = default;
    Tileset(const Tileset&) = delete;
    Tileset& operator=(const Tileset&) = delete;
    ~Tileset() { KEGfxMeshFree(mesh); }
};

struct TileLayer {
    bool visible = true;
    float opacity = 1.0f;
    std::unique_ptr<Tile[]> tiles;  // width x height, row by row
};

struct MapObject {
    std::string type;                 // the room's spawner dispatches on it
    std::optional<std::string> name;  // absent when the object has none
    float x = 0.0f;
    float y = 0.0f;
    int32_t width = 0;
    int32_t height = 0;
    float rotation = 0.0f;                   // radians
    std::unique_ptr<Properties> properties;  // null when the object has none
};

// Whether a draw pass clears this frame's lighting behind it. While another
// screen has the keyboard the entities are frozen, so the lighting they left
// has to last until they move again.
enum MarkLife { MARKS_EXPIRE, MARKS_HELD };

using MapObjectVisitor = std::function<void(Map* map, MapObject* object)>;

// How the darkness layer looks: stepped, a square of one darkness a cell, or
// smooth, each cell's darkness blended from its corners so the light falls
// off without steps.
enum class LightLook { Tiles, Smooth };

struct DarknessStyle {
    LightLook look = LightLook::Tiles;
    // The lift a player chooses on a dark monitor, 0 to 0.5: every darkness d
    // is drawn as d x (1 - floor).
    float floor = 0.0f;
};

// For every map, from the next draw of its darkness; the floor is clamped.
void MapSetDarknessStyle(const DarknessStyle& style);
const DarknessStyle& MapDarknessStyle();

class Map {
public:
    Color background = colourBlack;
    int32_t width = 0;  // in tiles
    int32_t height = 0;
    int32_t tileWidth = 0;  // in pixels
    int32_t tileHeight = 0;
    int32_t visibleColumns = 0;  // tile columns and rows that cover the screen, plus one
    int32_t visibleRows = 0;
    uint16_t tilesetCount = 0;
    uint16_t tileLayerCount = 0;
    // This frame's visible tile range; the last values are exclusive.
    uint16_t firstColumn = 0;
    uint16_t lastColumn = 0;
    uint16_t firstRow = 0;
    uint16_t lastRow = 0;
    Vector2 viewPosition;  // as this frame's prepare was given it
    std::unique_ptr<Tileset[]> tilesets;
    std::unique_ptr<TileLayer[]> tileLayers;  // 0 is the floor, 1 the darkness layer
    OwningList<MapObject> objects;
    std::unique_ptr<Properties> properties;  // the map's own, what the room is like; null without
    std::string path;                        // the file it was loaded from; empty for a map made in code

    // Once a frame before drawing: fixes the visible tile range, one tile of
    // margin included, from the camera's view position in world pixels.
    void prepare(Vector2 viewPosition);
    // The floor layer, only where a light reached this frame.
    void drawFloor(float opacity, MarkLife marks);
    // The darkness layer in the process's style: black over every visible
    // cell, thinned where a light reached.
    void drawDarkness(float opacity, MarkLife marks);
    // The map was loaded from exactly that path.
    bool isAt(const char* mapPath) const;
    // Visits the objects in file order.
    void forEachObject(const MapObjectVisitor& visit);
    // Null outside the map or beyond its tile layers.
    Tile* getTile(int32_t column, int32_t row, int32_t layer);
    // The tile's property from its tileset, or null for a null or empty tile
    // and a tile without it.
    const Property* getTileProperty(const Tile* tile, const char* key) const;

private:
    void placeTile(int32_t column, int32_t row) const;
    void drawTileImage(const Tile& tile) const;
    void drawBlackSquare(float opacity) const;
    void drawTiledCell(const Tile& tile, float opacity, float lift) const;
    void drawSmoothCell(const Tile& tile, int32_t column, int32_t row, float opacity, float lift) const;
    void drawWallImage(const Tile& tile, float opacity) const;
    float cornerDarkness(int32_t column, int32_t row) const;
    template <typename Visit>
    void forEachVisibleTile(TileLayer& layer, Visit visit);
};

// An empty map with an opaque black background.
std::unique_ptr<Map> new_Map();
