#include "World/Map.h"

#include "Debug/Debug.h"

#include <cstdlib>

MapObject::~MapObject() {
    std::free(type);
    std::free(name);
}

Map::~Map() {
    std::free(path);
    for (ListNode<MapObject>* node = objects->head; node != nullptr; node = node->next) delete node->data;
    objects->destroy();
}

void Map::forEachObject(const MapObjectVisitor& visit) {
    for (ListNode<MapObject>* node = objects->head; node != nullptr; node = node->next)
        visit(this, node->data);
}

Tile* Map::getTile(int32_t column, int32_t row, int32_t layer) {
    if (column < 0 || column >= width || row < 0 || row >= height) return nullptr;
    if (layer < 0 || layer >= tileLayerCount) return nullptr;
    return &tileLayers[layer]
                .tiles[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column)];
}

const Property* Map::getTileProperty(const Tile* tile, const char* key) const {
    if (tile == nullptr || (tile->flags & TILE_EMPTY) != 0) return nullptr;
    const Tileset& tileset = tilesets[tile->tilesetIndex()];
    for (uint32_t i = 0; i < tileset.tilePropertyCount; ++i)
        if (tileset.tileProperties[i].gid == tile->gid)
            return PropertiesGet(tileset.tileProperties[i].properties.get(), key);
    return nullptr;
}

Map* new_Map() {
    return DEBUG_NEW(Map, "new_Map");
}
