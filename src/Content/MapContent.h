// Tile maps as content: a subset of the Tiled editor's JSON map format, in
// the old form (property objects, "tileproperties") and as Tiled 1.8 and
// later save it (property lists, tile properties under "tiles"). The load
// step reads the file into a Map (tiles with their collision flags,
// tilesets, objects); the main-thread step creates each tileset's texture
// and tile mesh.
#pragma once

#include "Content/Map.h"

#include <cstdint>

// Flags are passed on to the tileset image loads. Every broken file is fatal.
Map* MapContentLoad(const char* path, uint32_t flags);
// May run more than once on the same map.
void MapContentComplete(Map* map);
// The tileset images belong to the content cache and stay loaded.
void MapContentUnload(Map* map);
