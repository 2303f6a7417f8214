// The virtual resolution every screen lays itself out in, and the window
// pixels per virtual pixel. Start-up picks it from the desktop's aspect ratio.
// The game places what it draws in virtual pixels; the engine's drawing
// applies the matrix.
#pragma once

#include "Util/Matrix3.h"
#include "Util/Vector2.h"

struct Viewport {
    float width = 800.0f;
    float height = 600.0f;
    Vector2 scale{1.0f, 1.0f};
    Matrix3 matrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};  // the scale on the diagonal
};

const Viewport& KEGetViewport();
// Sets the resolution and the scale, and the matrix from the scale.
void KESetViewport(float width, float height, Vector2 scale);

inline float screenWidth() {
    return KEGetViewport().width;
}
inline float screenHeight() {
    return KEGetViewport().height;
}
inline Vector2 screenScale() {
    return KEGetViewport().scale;
}
