// The first screen of the game: a lone candle burning in the dark. It fades
// in and stays until the player quits.
#pragma once

#include "Game/Screen.h"

Screen* new_StartupScreen();
