// What the engine's files share behind Kestrel.h: the handles' insides and
// the calls one job makes into another. Only src/Engine includes it.
#pragma once

#include "Engine/Gamepad.h"
#include "Engine/Kestrel.h"

#include <SDL.h>

#include <vector>

struct KEWindow {
    SDL_Window* window;  // null when headless
    int width;
    int height;
    bool fullScreen;
};

struct KEMesh {
    std::vector<KEVertex> vertices;
};

struct KETexture {
    SDL_Texture* texture;
    float width;  // texels
    float height;
    bool opaque;  // every texel's alpha is full
};

namespace kestrel {

// The window's renderer, or the offscreen one headless; null before
// KESysInit and after KESysExit.
SDL_Renderer* renderer();
// The size of the game's window, 0 x 0 before there is one.
void windowSize(int* width, int* height);

// Input: a key from the keyboard's messages; the keys the controllers hold
// together, merged with the keyboard's; the table emptied.
void handleKeyEvent(const SDL_KeyboardEvent& event);
void postPadKeys(const KeySet& held);
void resetInput();
void releaseInput();

// Gamepads: started once, also headless for the virtual pad; an event of a
// controller's, answered true when it was one.
bool startPads();
bool handlePadEvent(const SDL_Event& event);
bool padsStarted();
void closePads();

// Drawing: the frame filled with the background colour; the render state
// back to its defaults; its buffers freed.
void clearFrame();
void resetDrawing();
void releaseDrawing();

}  // namespace kestrel
