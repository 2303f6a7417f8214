// The sheets painted by tiles.cpp, grounds.cpp, figures.cpp, props.cpp and decor.cpp.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "paint.h"

// Tilesets of 32 x 32 tiles, eight to a row; tools/texgen/tiles.cpp lists the indices.
Image floorTiles();
Image wallTiles();

// One tile of the floor tileset, by its index there.
Image floorTile(int index);

// The floor tiles of the grounds, the roof and the cellar, in their order
// after the house's own.
std::vector<Image> groundTiles();

// The character seen from above, facing right, eight walking frames of 18 x 26.
Image characterSheet(bool withCandle);

// A wall lantern seen from above, four flicker frames of 14 x 16.
Image lanternSheet();

// How an animation plays: round and round, back and forth, or once,
// stopping on its last frame.
enum class Playback { Loop, PingPong, Once };

// An animation's sheet, its frames side by side in one row, with the
// line that describes it in the animations' catalogue.
struct Sprite {
    std::string name;
    Image sheet;
    int frames;
    float frameDuration;
    Playback playback;
    std::string shows;    // what it is
    std::string placing;  // which way it faces at orientation 0, whether it is solid
};

// A sprite of one frame.
inline Sprite still(const std::string& name, Image image, const std::string& shows,
                    const std::string& placing) {
    return {name, std::move(image), 1, 1.0f, Playback::Loop, shows, placing};
}

// The door, the key, the journal, seating, tables and the pits that open in the floor.
std::vector<Sprite> propSprites();

// Furnishings and clutter for the rooms, placed as images.
std::vector<Sprite> decorSprites();
