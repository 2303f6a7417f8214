// The sheets painted by tiles.cpp and figures.cpp.
#pragma once

#include "paint.h"

// Tilesets of 32 x 32 tiles, eight to a row; tools/texgen/tiles.cpp lists the indices.
Image floorTiles();
Image wallTiles();

// The character seen from above, facing right, eight walking frames of 18 x 26.
Image characterSheet(bool withCandle);

// A wall lantern seen from above, four flicker frames of 14 x 16.
Image lanternSheet();
