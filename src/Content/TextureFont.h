// Bitmap fonts: glyph images on page textures, and the two operations all
// text on screen goes through. TextureFontContent reads them from files.
#pragma once

#include "Content/TextureContent.h"
#include "Engine/Kestrel.h"
#include "Util/Color.h"
#include "Util/Vector2.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Where each line of a text sits against the position it is drawn at; any
// value other than left and centre aligns right.
enum TextAlignment : int32_t {
    ALIGN_LEFT = 0,
    ALIGN_CENTER = 1,
    ALIGN_RIGHT = 2,
};

// The character codes a font covers: 32 (space) to 127.
inline constexpr int FIRST_GLYPH_CODE = 32;
inline constexpr int GLYPH_COUNT = 96;

struct Glyph {
    uint16_t x;  // top-left corner of the image in its page
    uint16_t y;
    uint16_t width;  // size of the image; drawing advances the pen by the width
    uint16_t height;
    int16_t xoffset;  // image placement from the pen and the top of the line
    int16_t yoffset;
    uint16_t page;
    KEMeshHandle mesh;  // a quad of the image's size; null until the main-thread step
};

class TextureFont {
public:
    uint16_t lineHeight = 0;
    uint16_t base = 0;
    uint16_t scaleW = 0;  // size of every page texture
    uint16_t scaleH = 0;
    uint16_t pageCount = 0;
    uint16_t outline = 0;
    std::unique_ptr<TextureContent*[]> pages;  // the textures belong to the content cache
    float invScaleW = 0.0f;
    float invScaleH = 0.0f;
    Glyph glyphs[GLYPH_COUNT] = {};  // the glyph of code c is glyphs[c - FIRST_GLYPH_CODE]
    std::string path;                // the file it was loaded from

    // The glyph of a character code, or null for codes the font cannot cover.
    const Glyph* glyphOf(unsigned char code) const;

    // The (width, height) text takes, times scale. Each line feed adds a line.
    Vector2 measureText(std::string_view text, float scale) const;

    // position is the top of the first line; runs of line feeds separate
    // lines without leaving blank ones. Codes without a glyph are skipped.
    void drawText(std::string_view text, Vector2 position, const Color& colour, int32_t alignment) const;

private:
    float lineStart(std::string_view line, float x, int32_t alignment) const;
    void drawLine(std::string_view line, float pen, float lineTop) const;
    void drawGlyph(const Glyph& glyph, float pen, float lineTop) const;
};

// An empty font: no pages, every glyph zero-sized.
std::unique_ptr<TextureFont> new_TextureFont();
