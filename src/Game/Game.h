// The process: start-up, the frame loop and shutdown. The virtual
// resolution start-up picks is the engine's (Engine/Viewport.h).
#pragma once

#include "Engine/Kestrel.h"
#include "Engine/Viewport.h"

// Picks the virtual resolution whose aspect ratio matches the desktop's and
// gives it to the engine.
void selectResolution(double desktopWidth, double desktopHeight);

KEWindow* createGameWindow(int desktopWidth, int desktopHeight);
void initKestrel(KEWindow* window);

// randomSeed seeds the random streams; pass the time for ordinary play.
void initGame(unsigned randomSeed);
void runGame();
class Screen;
// What the loading screen hands over to: the room asked for on the command
// line, or the title.
std::unique_ptr<Screen> new_ScreenAfterLoading();
void shutdownGame();
