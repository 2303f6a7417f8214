#include "Engine/QuadMesh.h"

#include <algorithm>

namespace {

// Split along the diagonal from the top-left to the bottom-right corner,
// which the second triangle holds: so SDL's software renderer recognises the
// quad and copies its texels one for one instead of rasterising triangles,
// whose sampling repeats a texel row and drops the last.
void addQuad(float x0, float y0, float x1, float y1, uint32_t color, float u0, float v0, float u1, float v1) {
    KEGfxTriAdd(x0, y0, color, u0, v0, x1, y0, color, u1, v0, x1, y1, color, u1, v1);
    KEGfxTriAdd(x0, y0, color, u0, v0, x1, y1, color, u1, v1, x0, y1, color, u0, v1);
}

KEMesh* buildQuad(float width, float height, uint32_t color, float uScale, float vScale) {
    KEGfxMeshStart();
    addQuad(0, 0, width, height, color, 0, 0, uScale, vScale);
    return KEGfxMeshEnd();
}

}  // namespace

KEMesh* createQuadMesh(int width, int height, const Color* color) {
    uint32_t packed = color != nullptr ? color->packed : colourBlack.packed;
    return buildQuad(static_cast<float>(width), static_cast<float>(height), packed, 1.0f, 1.0f);
}

KEMesh* createTiledQuadMesh(int width, int height, int cell) {
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    const uint32_t black = colourBlack.packed;
    KEGfxMeshStart();
    for (int top = 0; top < height; top += cell)
        for (int left = 0; left < width; left += cell) {
            const auto x0 = static_cast<float>(left);
            const auto y0 = static_cast<float>(top);
            const auto x1 = static_cast<float>(std::min(left + cell, width));
            const auto y1 = static_cast<float>(std::min(top + cell, height));
            addQuad(x0, y0, x1, y1, black, x0 / w, y0 / h, x1 / w, y1 / h);
        }
    return KEGfxMeshEnd();
}

KEMesh* createFrameMesh(int frameWidth, int frameHeight, int textureWidth, int textureHeight,
                        float* uvScale) {
    float uScale = static_cast<float>(frameWidth) / static_cast<float>(textureWidth);
    float vScale = static_cast<float>(frameHeight) / static_cast<float>(textureHeight);
    if (uvScale != nullptr) {
        uvScale[0] = uScale;
        uvScale[1] = vScale;
    }
    return buildQuad(static_cast<float>(frameWidth), static_cast<float>(frameHeight), colourBlack.packed,
                     uScale, vScale);
}
