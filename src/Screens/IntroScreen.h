// Three story cards between the first room and the tutorial: the house, the
// title and the hour, one every 7.95 s after a short wait, over the scream
// and the shot. After 7.95 s any key skips them; either way the door breaks
// and the room the door into the intro named (its "AfterIntro") begins.
#pragma once

#include "Screens/Screen.h"

#include <memory>
#include <string>

std::unique_ptr<Screen> new_IntroScreen(const std::string& nextRoom);
// Seconds after which a key skips the intro.
inline constexpr float INTRO_SKIPPABLE_AFTER = 7.95f;
