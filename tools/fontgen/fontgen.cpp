// Renders the DejaVu fonts into the game's bitmap fonts: binary BMFont files,
// version 3 (info, common, pages and chars blocks, no kerning pairs), each
// with one PNG page of white glyphs whose alpha is the antialiased coverage.
//
// Usage: fontgen FONT_FOLDER OUTPUT_FOLDER
//
// The game advances the pen by a glyph's width, not by its advance, so every
// glyph's box is as wide as its advance (wider only where the ink overhangs)
// and keeps the ink at its bearing inside. Boxes are packed with a
// transparent pixel between them and the page edges, so that sampling at a
// box's border never picks up a neighbour. The output depends only on the
// font files and FreeType: two runs give the same bytes.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct FontStyle {
    const char* name;  // the game's font: Assets/Fonts/<name>.fnt
    const char* file;  // in the font folder
    int pixelSize;     // em size in virtual pixels (896 x 504)
};

// Sizes for the virtual screen, which the game scales up about twice.
constexpr FontStyle FONT_STYLES[] = {
    {"Debug", "DejaVuSansMono.ttf", 10},       // read-outs in a corner
    {"Notify", "DejaVuSerif.ttf", 15},         // prompts in the slide-in bar
    {"LoadingScreen", "DejaVuSerif.ttf", 13},  // the status line under the bar
    {"Menu", "DejaVuSerifCondensed.ttf", 26},  // tall, narrow serifs for the menus
    {"CreditHeading", "DejaVuSerif-Bold.ttf", 21},
    {"CreditText", "DejaVuSerif.ttf", 14},
};

constexpr uint32_t FIRST_CODE = 32;
constexpr uint32_t LAST_CODE = 126;
constexpr int GAP = 1;  // transparent pixels around every box
constexpr int PAGE_SIZES[][2] = {{64, 64},   {128, 64},  {128, 128}, {256, 128},
                                 {256, 256}, {512, 256}, {512, 512}};

struct Glyph {
    uint32_t code;
    int width, height;  // the box: advance wide, ink high
    int xoffset, yoffset;
    std::vector<uint8_t> coverage;  // width x height
    int x = 0, y = 0;               // the box in the page
};

struct Font {
    std::string family;
    int pixelSize;
    int lineHeight, base;
    int pageWidth = 0, pageHeight = 0;
    std::vector<Glyph> glyphs;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "fontgen: %s\n", message.c_str());
    std::exit(1);
}

// A box as wide as the advance that holds the ink at its bearing; a negative
// bearing becomes a negative xoffset.
Glyph boxGlyph(uint32_t code, const FT_GlyphSlot slot, int ascender) {
    const FT_Bitmap& bitmap = slot->bitmap;
    int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    int inkLeft = slot->bitmap_left;
    int inkWidth = static_cast<int>(bitmap.width);
    Glyph glyph{code, 0, static_cast<int>(bitmap.rows), std::min(0, inkLeft), ascender - slot->bitmap_top,
                {}};
    glyph.width = std::max(advance, inkLeft + inkWidth - glyph.xoffset);
    glyph.coverage.assign(static_cast<size_t>(glyph.width * glyph.height), 0);
    int inkColumn = inkLeft - glyph.xoffset;
    for (int row = 0; row < glyph.height; ++row)
        for (int column = 0; column < inkWidth; ++column)
            glyph.coverage[row * glyph.width + inkColumn + column] =
                bitmap.buffer[row * bitmap.pitch + column];
    return glyph;
}

Font renderFont(FT_Library library, const std::string& path, int pixelSize) {
    FT_Face face;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) fail("cannot open " + path);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) fail("cannot size " + path);
    const FT_Size_Metrics& metrics = face->size->metrics;
    int ascender = static_cast<int>(metrics.ascender >> 6);
    Font font{face->family_name, pixelSize, static_cast<int>(metrics.height >> 6), ascender, 0, 0, {}};
    for (uint32_t code = FIRST_CODE; code <= LAST_CODE; ++code) {
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0 ||
            face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
            fail("cannot render character " + std::to_string(code) + " of " + path);
        font.glyphs.push_back(boxGlyph(code, face->glyph, ascender));
    }
    FT_Done_Face(face);
    return font;
}

// Shelf packing, tallest boxes first; false when the page is too small.
bool pack(std::vector<Glyph*>& boxes, int pageWidth, int pageHeight) {
    int x = GAP, y = GAP, shelfHeight = 0;
    for (Glyph* glyph : boxes) {
        if (x + glyph->width + GAP > pageWidth) {
            x = GAP;
            y += shelfHeight + GAP;
            shelfHeight = 0;
        }
        if (x + glyph->width + GAP > pageWidth || y + glyph->height + GAP > pageHeight) return false;
        glyph->x = x;
        glyph->y = y;
        x += glyph->width + GAP;
        shelfHeight = std::max(shelfHeight, glyph->height);
    }
    return true;
}

// The smallest page that holds every box. Blank glyphs (the space) take no room.
void packPage(Font& font) {
    std::vector<Glyph*> boxes;
    for (Glyph& glyph : font.glyphs)
        if (glyph.height > 0) boxes.push_back(&glyph);
    std::stable_sort(boxes.begin(), boxes.end(),
                     [](const Glyph* a, const Glyph* b) { return a->height > b->height; });
    for (const auto& size : PAGE_SIZES) {
        if (!pack(boxes, size[0], size[1])) continue;
        font.pageWidth = size[0];
        font.pageHeight = size[1];
        return;
    }
    fail("glyphs of " + font.family + " do not fit on one page");
}

// White everywhere, so that filtering at the glyphs' edges never darkens them.
void writePage(const Font& font, const std::string& path) {
    std::vector<uint8_t> rgba(static_cast<size_t>(font.pageWidth * font.pageHeight * 4), 255);
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 0;
    for (const Glyph& glyph : font.glyphs)
        for (int row = 0; row < glyph.height; ++row)
            for (int column = 0; column < glyph.width; ++column)
                rgba[((glyph.y + row) * font.pageWidth + glyph.x + column) * 4 + 3] =
                    glyph.coverage[row * glyph.width + column];
    if (!stbi_write_png(path.c_str(), font.pageWidth, font.pageHeight, 4, rgba.data(), font.pageWidth * 4))
        fail("cannot write " + path);
}

class Bytes {
public:
    Bytes& u8(int value) {
        data.push_back(static_cast<char>(value));
        return *this;
    }
    Bytes& u16(int value) { return u8(value & 0xFF).u8(value >> 8 & 0xFF); }
    Bytes& u32(uint32_t value) {
        return u16(static_cast<int>(value & 0xFFFF)).u16(static_cast<int>(value >> 16));
    }
    Bytes& text(const std::string& value) {
        data.append(value.c_str(), value.size() + 1);
        return *this;
    }
    Bytes& block(int type, const Bytes& contents) {
        u8(type).u32(static_cast<uint32_t>(contents.data.size()));
        data += contents.data;
        return *this;
    }

    std::string data;
};

Bytes infoBlock(const Font& font) {
    constexpr int SMOOTH = 1;
    Bytes info;
    info.u16(font.pixelSize).u8(SMOOTH).u8(0).u16(100).u8(1);  // size, flags, charset, stretch, supersampling
    info.u8(0).u8(0).u8(0).u8(0).u8(GAP).u8(GAP).u8(0);        // padding, spacing, outline
    return info.text(font.family);
}

Bytes commonBlock(const Font& font) {
    constexpr int GLYPH = 0, ONE = 4;  // what each colour channel holds
    Bytes common;
    common.u16(font.lineHeight).u16(font.base).u16(font.pageWidth).u16(font.pageHeight).u16(1).u8(0);
    return common.u8(GLYPH).u8(ONE).u8(ONE).u8(ONE);
}

Bytes charsBlock(const Font& font) {
    constexpr int ALL_CHANNELS = 15;
    Bytes chars;
    for (const Glyph& glyph : font.glyphs) {
        chars.u32(glyph.code).u16(glyph.x).u16(glyph.y).u16(glyph.width).u16(glyph.height);
        chars.u16(glyph.xoffset).u16(glyph.yoffset).u16(glyph.width).u8(0).u8(ALL_CHANNELS);
    }
    return chars;
}

void writeFont(const Font& font, const std::string& path, const std::string& pageName) {
    Bytes file;
    file.u8('B').u8('M').u8('F').u8(3);
    file.block(1, infoBlock(font)).block(2, commonBlock(font));
    file.block(3, Bytes().text(pageName)).block(4, charsBlock(font));
    std::ofstream out(path, std::ios::binary);
    out << file.data;
    if (!out) fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) fail("usage: fontgen FONT_FOLDER OUTPUT_FOLDER");
    const std::string fontFolder = argv[1];
    const std::string outputFolder = argv[2];
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) fail("cannot start FreeType");
    for (const FontStyle& style : FONT_STYLES) {
        Font font = renderFont(library, fontFolder + "/" + style.file, style.pixelSize);
        packPage(font);
        const std::string pageName = std::string(style.name) + "_0.png";
        writePage(font, outputFolder + "/" + pageName);
        writeFont(font, outputFolder + "/" + style.name + ".fnt", pageName);
        std::printf("%s.fnt: %s %dpx, line %d, page %dx%d\n", style.name, font.family.c_str(),
                    style.pixelSize, font.lineHeight, font.pageWidth, font.pageHeight);
    }
    FT_Done_FreeType(library);
    return 0;
}
