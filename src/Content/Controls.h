// The game's actions read through the keys the player bound to them. A
// controller keeps its own layout: it presses the keys the game came with,
// and those keep their actions while a controller holds them.
#pragma once

#include "Content/Settings.h"

// Held now, by either of the action's keys.
bool ControlsHeld(Action action);
// Pressed this frame.
bool ControlsTriggered(Action action);
