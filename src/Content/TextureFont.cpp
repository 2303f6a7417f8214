#include "Content/TextureFont.h"

#include <string>
#include "Debug/Debug.h"
#include "Engine/Viewport.h"
#include "Util/Matrix3.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::unique_ptr<TextureFont> new_TextureFont() {
    return DEBUG_MAKE_UNIQUE(TextureFont, "new_TextureFont");
}

const Glyph* TextureFont::glyphOf(unsigned char code) const {
    if (code < FIRST_GLYPH_CODE || code >= FIRST_GLYPH_CODE + GLYPH_COUNT) return nullptr;
    return &glyphs[code - FIRST_GLYPH_CODE];
}

Vector2 TextureFont::measureText(const char* text, float scale) const {
    float pen = 0.0f;
    float widest = 0.0f;
    float height = lineHeight;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            widest = std::max(widest, pen);
            pen = 0;
            height += lineHeight;
        } else if (const Glyph* glyph = glyphOf(static_cast<unsigned char>(*c))) {
            // Wider than drawing by the xoffsets, which callers' layouts expect.
            pen += glyph->xoffset + glyph->width;
        }
    }
    return {std::max(widest, pen) * scale, height * scale};
}

void TextureFont::drawText(const char* text, Vector2 position, const Color& colour, int32_t alignment) const {
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxSetTintColor(colour.red, colour.green, colour.blue, colour.opacity);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    // Splitting writes terminators into the text.
    std::string lines = text;
    float lineTop = position.y;
    char* rest = nullptr;
    for (char* line = strtok_r(lines.data(), "\n", &rest); line != nullptr;
         line = strtok_r(nullptr, "\n", &rest)) {
        drawLine(line, lineStart(line, position.x, alignment), lineTop);
        lineTop += lineHeight;
    }
}

float TextureFont::lineStart(const char* line, float x, int32_t alignment) const {
    if (alignment == ALIGN_LEFT) return x;
    float width = measureText(line, 1.0f).x;
    return alignment == ALIGN_CENTER ? x - width * 0.5f : x - width;
}

void TextureFont::drawLine(const char* line, float pen, float lineTop) const {
    for (const char* c = line; *c != '\0'; ++c) {
        const Glyph* glyph = glyphOf(static_cast<unsigned char>(*c));
        if (glyph == nullptr) continue;
        if (*c != ' ') drawGlyph(*glyph, pen, lineTop);
        pen += glyph->width;
    }
}

void TextureFont::drawGlyph(const Glyph& glyph, float pen, float lineTop) const {
    Matrix3 transform;
    Matrix3Translate(&transform, (glyph.xoffset + pen) * screenScale().x,
                     (glyph.yoffset + lineTop) * screenScale().y);
    Matrix3Concat(&transform, &transform, &screenMatrix());
    // The mesh covers one glyph's worth of the page; the offset moves it onto this glyph.
    KEGfxTextureSet(pages[glyph.page]->texture.get(), glyph.x * invScaleW, glyph.y * invScaleH);
    KEGfxSetTransform(&transform);
    KEGfxMeshDraw(glyph.mesh.get());
}
