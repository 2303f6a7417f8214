// The first screen of the game. A worker thread loads every asset of the
// preload list behind a progress bar; then the main thread completes one
// loaded item a frame, the screen fades out and hands over.
#pragma once

#include "Screens/Screen.h"

#include <memory>

// next makes the screen the loading screen hands over to.
std::unique_ptr<Screen> new_LoadingScreen(ScreenFactory next);
