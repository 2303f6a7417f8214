#include "Content/TextureFontContent.h"

#include "Content/ContentManager.h"
#include "Content/TextureContent.h"
#include "Debug/Debug.h"
#include "Engine/QuadMesh.h"
#include "Util/RegularFile.h"
#include "Util/StringHelper.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

enum BlockType : int8_t {
    BLOCK_NONE = 0,
    BLOCK_INFO = 1,
    BLOCK_COMMON = 2,
    BLOCK_PAGES = 3,
    BLOCK_CHARS = 4,
};

constexpr const char* BLOCK_NAMES[] = {"", "info", "common", "pages", "chars"};

constexpr unsigned char FONT_MAGIC[4] = {'B', 'M', 'F', 3};
constexpr size_t BLOCK_HEADER_SIZE = 5;
constexpr uint32_t INFO_OUTLINE_OFFSET = 13;
constexpr uint32_t COMMON_FIELDS_SIZE = 10;
constexpr uint32_t CHAR_RECORD_SIZE = 20;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

using BlockData = std::unique_ptr<uint8_t[]>;

struct FontFile {
    std::unique_ptr<FILE, FileCloser> file;
    const char* path;
    long size;
};

uint16_t readU16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t readU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(readU16(bytes)) | static_cast<uint32_t>(readU16(bytes + 2)) << 16;
}

FontFile openFontFile(const char* path) {
    FontFile in{std::unique_ptr<FILE, FileCloser>(openRegularFile(path)), path, -1};
    if (in.file && std::fseek(in.file.get(), 0, SEEK_END) == 0) in.size = std::ftell(in.file.get());
    if (in.size < 0 || std::fseek(in.file.get(), 0, SEEK_SET) != 0)
        FATAL_ERROR("Unable to load texture font (%s).", path);
    return in;
}

void checkMagic(const FontFile& in) {
    unsigned char magic[sizeof FONT_MAGIC];
    if (std::fread(magic, 1, sizeof magic, in.file.get()) != sizeof magic ||
        std::memcmp(magic, FONT_MAGIC, sizeof magic) != 0)
        FATAL_ERROR("Invalid texture font binary format (%s).", in.path);
}

// False at the end of the file.
bool readBlockHeader(const FontFile& in, int8_t* type, uint32_t* size) {
    uint8_t header[BLOCK_HEADER_SIZE];
    size_t read = std::fread(header, 1, sizeof header, in.file.get());
    if (read == 0) return false;
    if (read < sizeof header) FATAL_ERROR("Texture font ends inside a block header (%s).", in.path);
    *type = static_cast<int8_t>(header[0]);
    *size = readU32(header + 1);
    return true;
}

// Blocks come once each, in the order the format's writer uses them; the
// pages and chars readers need the common block's sizes.
void checkBlockOrder(const FontFile& in, int8_t type, int8_t previous) {
    bool inOrder = type > previous && (type <= BLOCK_COMMON || previous == type - 1);
    if (!inOrder)
        FATAL_ERROR("The %s block is out of order in (%s): expected info, common, pages, chars.",
                    BLOCK_NAMES[type], in.path);
}

void checkBlockSize(const FontFile& in, int8_t type, uint32_t size, uint32_t needed) {
    if (size < needed)
        FATAL_ERROR("The %s block of %u bytes is shorter than %u bytes in (%s).", BLOCK_NAMES[type], size,
                    needed, in.path);
}

// The size is checked against the rest of the file first, so that a broken
// size never asks for gigabytes.
BlockData readBlockData(const FontFile& in, int8_t type, uint32_t size, const char* reader) {
    long remaining = in.size - std::ftell(in.file.get());
    if (static_cast<long long>(size) > remaining)
        FATAL_ERROR("The %s block of %u bytes runs past the end of (%s).", BLOCK_NAMES[type], size, in.path);
    BlockData data = DEBUG_MAKE_UNIQUE_ARRAY(uint8_t, size, reader);
    if (std::fread(data.get(), 1, size, in.file.get()) != size)
        FATAL_ERROR("The %s block of %u bytes runs past the end of (%s).", BLOCK_NAMES[type], size, in.path);
    return data;
}

void readInfo(TextureFont* font, const FontFile& in, uint32_t size) {
    checkBlockSize(in, BLOCK_INFO, size, INFO_OUTLINE_OFFSET + 1);
    BlockData data = readBlockData(in, BLOCK_INFO, size, "readInfo");
    font->outline = data[INFO_OUTLINE_OFFSET];
}

void readCommon(TextureFont* font, const FontFile& in, uint32_t size) {
    checkBlockSize(in, BLOCK_COMMON, size, COMMON_FIELDS_SIZE);
    BlockData data = readBlockData(in, BLOCK_COMMON, size, "readCommon");
    font->lineHeight = readU16(&data[0]);
    font->base = readU16(&data[2]);
    font->scaleW = readU16(&data[4]);
    font->scaleH = readU16(&data[6]);
    font->pageCount = readU16(&data[8]);
    if (font->scaleW == 0 || font->scaleH == 0)
        FATAL_ERROR("Texture font pages of %ux%u pixels in (%s).", font->scaleW, font->scaleH, in.path);
    if (font->pageCount == 0) FATAL_ERROR("Texture font has no pages (%s).", in.path);
    font->invScaleW = 1.0f / font->scaleW;
    font->invScaleH = 1.0f / font->scaleH;
}

TextureContent* loadPage(const std::string& folder, const char* name, uint32_t flags) {
    const std::string pagePath = folder + name;
    return ContentLoad<TextureContent>(pagePath.c_str(), flags);
}

// pageCount names of equal length, each ending in a NUL, relative to the
// font's folder.
void readPages(TextureFont* font, const FontFile& in, uint32_t size, uint32_t flags) {
    if (size % font->pageCount != 0)
        FATAL_ERROR("The pages block of %u bytes does not split into %u names of equal length in (%s).", size,
                    font->pageCount, in.path);
    BlockData data = readBlockData(in, BLOCK_PAGES, size, "readPages");
    font->pages = DEBUG_MAKE_UNIQUE_ARRAY(TextureContent*, font->pageCount, "readPages");
    uint32_t nameLength = size / font->pageCount;
    const std::string folder = strdirectory(in.path);
    for (uint16_t i = 0; i < font->pageCount; ++i) {
        const char* name = reinterpret_cast<const char*>(&data[i * nameLength]);
        if (nameLength == 0 || name[nameLength - 1] != '\0')
            FATAL_ERROR("Page name (%u) is not NUL-terminated in (%s).", i, in.path);
        font->pages[i] = loadPage(folder, name, flags);
    }
}

// A later record for the same character replaces an earlier one.
void storeGlyph(TextureFont* font, const FontFile& in, const uint8_t* record) {
    // Fatal rather than skipped: such a font was made for another character set.
    uint32_t id = readU32(record);
    if (id < FIRST_GLYPH_CODE || id >= FIRST_GLYPH_CODE + GLYPH_COUNT)
        FATAL_ERROR("Character (%u) outside the codes 32 to 127 in (%s).", id, in.path);
    Glyph& glyph = font->glyphs[id - FIRST_GLYPH_CODE];
    glyph.x = readU16(record + 4);
    glyph.y = readU16(record + 6);
    glyph.width = readU16(record + 8);
    glyph.height = readU16(record + 10);
    glyph.xoffset = static_cast<int16_t>(readU16(record + 12));
    glyph.yoffset = static_cast<int16_t>(readU16(record + 14));
    glyph.page = record[18];
    if (glyph.page >= font->pageCount)
        FATAL_ERROR("Character (%u) on page (%u) of a font with %u pages (%s).", id, glyph.page,
                    font->pageCount, in.path);
}

void readChars(TextureFont* font, const FontFile& in, uint32_t size) {
    if (size % CHAR_RECORD_SIZE != 0)
        FATAL_ERROR("The chars block of %u bytes is not made of %u-byte records in (%s).", size,
                    CHAR_RECORD_SIZE, in.path);
    BlockData data = readBlockData(in, BLOCK_CHARS, size, "readChars");
    for (uint32_t offset = 0; offset < size; offset += CHAR_RECORD_SIZE) storeGlyph(font, in, &data[offset]);
}

// A glyph's image lies on its page. One beyond it is a broken file, and the
// software renderer would size a scratch copy by it: a glyph of 25000 pixels
// a side once cost two gigabytes per draw.
void checkGlyphsLieOnTheirPages(const TextureFont* font, const char* path) {
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        const Glyph& glyph = font->glyphs[i];
        const TextureContent* page = font->pages[glyph.page];
        if (uint32_t{glyph.x} + glyph.width > page->width || uint32_t{glyph.y} + glyph.height > page->height)
            FATAL_ERROR("Character (%u) of %ux%u pixels at (%u, %u) does not fit on its %ux%u page (%s).",
                        static_cast<unsigned>(i + FIRST_GLYPH_CODE), glyph.width, glyph.height, glyph.x,
                        glyph.y, page->width, page->height, path);
    }
}

void readBlock(TextureFont* font, const FontFile& in, int8_t type, uint32_t size, uint32_t flags) {
    switch (type) {
        case BLOCK_INFO:
            return readInfo(font, in, size);
        case BLOCK_COMMON:
            return readCommon(font, in, size);
        case BLOCK_PAGES:
            return readPages(font, in, size, flags);
        default:
            return readChars(font, in, size);
    }
}

}  // namespace

// Characters the file does not define keep an empty glyph: no width, no
// image, drawn as a quad of size zero.
TextureFont* TextureFontContentLoad(const char* path, uint32_t flags) {
    std::unique_ptr<TextureFont> font = new_TextureFont();
    font->path = path;
    FontFile in = openFontFile(path);
    checkMagic(in);
    int8_t previous = BLOCK_NONE;
    int8_t type = BLOCK_NONE;
    uint32_t size = 0;
    while (readBlockHeader(in, &type, &size)) {
        if (type < BLOCK_INFO || type > BLOCK_CHARS)
            FATAL_ERROR("Unexpected block type (%i) in (%s).", type, path);
        checkBlockOrder(in, type, previous);
        readBlock(font.get(), in, type, size, flags);
        previous = type;
    }
    if (previous != BLOCK_CHARS)
        FATAL_ERROR("Texture font ends before its %s block (%s).",
                    BLOCK_NAMES[std::max<int>(previous + 1, BLOCK_COMMON)], path);
    checkGlyphsLieOnTheirPages(font.get(), path);
    // The content cache, or with CF_NO_CACHE the caller, owns it from here.
    return font.release();
}

void TextureFontContentComplete(TextureFont* font) {
    for (Glyph& glyph : font->glyphs)
        if (glyph.mesh == nullptr)
            glyph.mesh.reset(createFrameMesh(glyph.width, glyph.height, font->scaleW, font->scaleH, nullptr));
    for (uint16_t i = 0; i < font->pageCount; ++i) TextureContentComplete(font->pages[i]);
}

void TextureFontContentUnload(TextureFont* font) {
    delete font;
}
