// Bitmap fonts as content: binary BMFont files, version 3, with the blocks
// info, common, pages and chars in that order and no kerning pairs.
#pragma once

#include "Content/TextureFont.h"

#include <cstdint>

// Reads the font and loads its page textures through the content manager,
// passing flags on. A missing or broken file is fatal, naming the file.
TextureFont* TextureFontContentLoad(const char* path, uint32_t flags);

// The main-thread step: builds the missing glyph meshes and page textures, so
// it may run more than once.
void TextureFontContentComplete(TextureFont* font);

// Frees the font and its meshes; the page textures stay with the content cache.
void TextureFontContentUnload(TextureFont* font);
