// The room being played: its map, its entities and its camera. The sound
// cues read which map the current character's room uses.
#pragma once

class Map;

struct Room {
    Map* map = nullptr;  // cached content, not owned
};
