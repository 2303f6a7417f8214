// PNG textures as content. The load step reads only the PNG header for the
// image size, so every user knows a texture's size before the engine texture
// exists; the main-thread step creates the engine texture.
#pragma once

#include "Engine/Kestrel.h"

#include <cstdint>

struct TextureContent {
    char* path;  // owned copy of the normalised path
    uint32_t width;
    uint32_t height;
    KETexture* texture;  // null until TextureContentLoadThreadSafe
};

TextureContent* TextureContentLoad(const char* path, int reserved, uint32_t flags);
// Creates the engine texture once; later calls do nothing.
void TextureContentLoadThreadSafe(TextureContent* texture);
void TextureContentUnload(TextureContent* texture);
