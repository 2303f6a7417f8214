// The studio's card between the loading screen and the main menu. It takes
// no input: its card fades in half a second after it first runs, fades out
// at 4.1 s, and the splash leaves for the main menu at about 5.45 s.
#pragma once

#include "Screens/Screen.h"

#include <memory>

std::unique_ptr<Screen> new_SplashScreen();
