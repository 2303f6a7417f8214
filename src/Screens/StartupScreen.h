// A lone candle burning in the dark: what the loading screen hands over to
// until the splash screen and the menus exist. It fades in and stays until
// the player quits.
#pragma once

#include "Game/Screen.h"

Screen* new_StartupScreen();
