// The room being played: its map, its camera and the screen that made it.
// The sound cues read which map the current character's room uses; the map's
// draw passes read whether that screen has the keyboard.
#pragma once

class Map;
class Camera;
class Screen;

struct Room {
    Map* map = nullptr;        // cached content, not owned
    Camera* camera = nullptr;  // owned
    Screen* owner = nullptr;   // the play screen that made the room
};
