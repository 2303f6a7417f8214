#include "Content/TextureFont.h"

#include "Debug/Debug.h"
#include "Util/Matrix3.h"

#include <algorithm>
#include <string_view>

std::unique_ptr<TextureFont> new_TextureFont() {
    return DEBUG_MAKE_UNIQUE(TextureFont, "new_TextureFont");
}

const Glyph* TextureFont::glyphOf(unsigned char code) const {
    if (code < FIRST_GLYPH_CODE || code >= FIRST_GLYPH_CODE + GLYPH_COUNT) return nullptr;
    return &glyphs[code - FIRST_GLYPH_CODE];
}

Vector2 TextureFont::measureText(std::string_view text, float scale) const {
    float pen = 0.0f;
    float widest = 0.0f;
    float height = lineHeight;
    for (const char c : text) {
        if (c == '\n') {
            widest = std::max(widest, pen);
            pen = 0;
            height += lineHeight;
        } else if (const Glyph* glyph = glyphOf(static_cast<unsigned char>(c))) {
            // Wider than drawing by the xoffsets, which callers' layouts expect.
            pen += glyph->xoffset + glyph->width;
        }
    }
    return {std::max(widest, pen) * scale, height * scale};
}

void TextureFont::drawText(std::string_view text, Vector2 position, const Color& colour,
                           int32_t alignment) const {
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetTintColor(colour.red, colour.green, colour.blue, colour.opacity);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    std::string_view rest = text;
    float lineTop = position.y;
    for (size_t start = rest.find_first_not_of('\n'); start != std::string_view::npos;
         start = rest.find_first_not_of('\n')) {
        rest.remove_prefix(start);
        const std::string_view line = rest.substr(0, rest.find('\n'));
        drawLine(line, lineStart(line, position.x, alignment), lineTop);
        lineTop += lineHeight;
        rest.remove_prefix(line.size());
    }
}

float TextureFont::lineStart(std::string_view line, float x, int32_t alignment) const {
    if (alignment == ALIGN_LEFT) return x;
    float width = measureText(line, 1.0f).x;
    return alignment == ALIGN_CENTER ? x - width * 0.5f : x - width;
}

void TextureFont::drawLine(std::string_view line, float pen, float lineTop) const {
    for (const char c : line) {
        const Glyph* glyph = glyphOf(static_cast<unsigned char>(c));
        if (glyph == nullptr) continue;
        if (c != ' ') drawGlyph(*glyph, pen, lineTop);
        pen += glyph->width;
    }
}

void TextureFont::drawGlyph(const Glyph& glyph, float pen, float lineTop) const {
    Matrix3 transform;
    Matrix3Translate(&transform, glyph.xoffset + pen, glyph.yoffset + lineTop);
    // The mesh covers one glyph's worth of the page; the offset moves it onto this glyph.
    KEGfxTextureSet(pages[glyph.page]->texture.get(), glyph.x * invScaleW, glyph.y * invScaleH);
    KEGfxSetTransform(&transform);
    KEGfxMeshDraw(glyph.mesh.get());
}
