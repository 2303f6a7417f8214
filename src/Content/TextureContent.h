// PNG textures as content. The load step reads only the PNG header for the
// image size, so every user knows a texture's size before the engine texture
// exists; the main-thread step creates the engine texture.
#pragma once

#include "Engine/Kestrel.h"

#include <cstdint>
#include <string>

struct TextureContent {
    std::string path;  // the normalised path
    uint32_t width = 0;
    uint32_t height = 0;
    KETextureHandle texture;  // null until TextureContentComplete
};

TextureContent* TextureContentLoad(const char* path, uint32_t flags);
// Creates the engine texture once; later calls do nothing.
void TextureContentComplete(TextureContent* texture);
void TextureContentUnload(TextureContent* texture);
