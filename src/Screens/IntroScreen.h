// Three story cards between the first room and the tutorial: the house, the
// title and the hour, one every 7.95 s after a short wait, over the scream
// and the shot. After 7.95 s any key skips them; either way the door breaks
// and the tutorial room begins.
#pragma once

#include "Screens/Screen.h"

#include <memory>

std::unique_ptr<Screen> new_IntroScreen();

// Where the intro leads: the first room inside the house.
inline constexpr char TUTORIAL_ROOM[] = "Assets/FloorTemplate/FinalRooms/RoomTutA.json";
// Seconds after which a key skips the intro.
inline constexpr float INTRO_SKIPPABLE_AFTER = 7.95f;
