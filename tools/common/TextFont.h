// Text for the image tools: a DejaVu face at a pixel size, a line of UTF-8
// laid out glyph by glyph and blended into any canvas that has
// blend(x, y, colour, opacity). Each tool names itself in TOOL_NAME for its
// error messages.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "Colour.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern const char* const TOOL_NAME;

[[noreturn]] inline void fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", TOOL_NAME, message.c_str());
    std::exit(1);
}

inline constexpr const char* DEJAVU_FONTS = "/usr/share/fonts/truetype/dejavu/";

// Decodes UTF-8 so that arrows and dashes come out.
inline std::vector<FT_ULong> codepoints(const std::string& text) {
    std::vector<FT_ULong> out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        FT_ULong cp = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

class Font {
public:
    // file: a font file in DEJAVU_FONTS.
    Font(FT_Library library, const std::string& file, int pixels) {
        const std::string path = std::string(DEJAVU_FONTS) + file;
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0) fail("cannot load " + path);
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels));
    }
    ~Font() { FT_Done_Face(face); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    int width(const std::string& text) const {
        return layOut(text, [](const FT_Bitmap&, int, int) {});
    }

    template <class Canvas>
    void draw(Canvas& canvas, int x, int baseline, const std::string& text, Colour colour) const {
        layOut(text, [&](const FT_Bitmap& bitmap, int left, int top) {
            for (unsigned row = 0; row < bitmap.rows; ++row)
                for (unsigned col = 0; col < bitmap.width; ++col)
                    canvas.blend(x + left + static_cast<int>(col), baseline - top + static_cast<int>(row),
                                 colour,
                                 bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col] / 255.0f);
        });
    }

private:
    FT_Face face = nullptr;

    // Renders each glyph in turn for the callback; returns the advance of the whole text.
    template <class Visit>
    int layOut(const std::string& text, Visit visit) const {
        int pen = 0;
        for (FT_ULong cp : codepoints(text)) {
            if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) fail("the font cannot render a character");
            visit(face->glyph->bitmap, pen + face->glyph->bitmap_left, face->glyph->bitmap_top);
            pen += static_cast<int>(face->glyph->advance.x >> 6);
        }
        return pen;
    }
};
