// The first screen of the game. A worker thread loads every asset of the
// preload list behind a progress bar; then the main thread completes one
// loaded item a frame, the screen fades out and hands over.
#pragma once

#include "Screens/Screen.h"

Screen* new_LoadingScreen();
