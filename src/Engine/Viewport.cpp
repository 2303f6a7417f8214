#include "Engine/Viewport.h"

namespace {

Viewport viewport;  // the one the window shows; set at start-up

}  // namespace

const Viewport& KEGetViewport() {
    return viewport;
}

void KESetViewport(float width, float height, Vector2 scale) {
    viewport.width = width;
    viewport.height = height;
    viewport.scale = scale;
    Matrix3Scale(&viewport.matrix, scale.x, scale.y);
}
