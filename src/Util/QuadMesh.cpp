#include "Util/QuadMesh.h"

namespace {

KEMesh* buildQuad(float width, float height, uint32_t color, float uScale, float vScale) {
    KEGfxMeshStart();
    KEGfxTriAdd(0, height, color, 0, vScale,           //
                width, height, color, uScale, vScale,  //
                width, 0, color, uScale, 0);
    KEGfxTriAdd(width, 0, color, uScale, 0,  //
                0, 0, color, 0, 0,           //
                0, height, color, 0, vScale);
    return KEGfxMeshEnd();
}

}  // namespace

KEMesh* createQuadMesh(int width, int height, const Color* color) {
    uint32_t packed = color != nullptr ? color->packed : colorBlack.packed;
    return buildQuad(static_cast<float>(width), static_cast<float>(height), packed, 1.0f, 1.0f);
}

KEMesh* createFrameMesh(int frameWidth, int frameHeight, int textureWidth, int textureHeight,
                        float* uvScale) {
    float uScale = static_cast<float>(frameWidth) / static_cast<float>(textureWidth);
    float vScale = static_cast<float>(frameHeight) / static_cast<float>(textureHeight);
    if (uvScale != nullptr) {
        uvScale[0] = uScale;
        uvScale[1] = vScale;
    }
    return buildQuad(static_cast<float>(frameWidth), static_cast<float>(frameHeight), colorBlack.packed,
                     uScale, vScale);
}
