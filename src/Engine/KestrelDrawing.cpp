// Drawing: the render state, meshes, textures and reading the frame back.
#include "Debug/Debug.h"
#include "Engine/KestrelInternal.h"
#include "Engine/Viewport.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

namespace {

struct DrawState {
    KERenderMode renderMode = KE_RENDER_TEXTURED;
    KETexture* texture = nullptr;
    float uOffset = 0.0f;
    float vOffset = 0.0f;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Matrix3 transform{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    SDL_BlendMode blendMode = SDL_BLENDMODE_BLEND;
    SDL_Color background{0, 0, 0, 255};
};

struct Drawing {
    DrawState state;
    bool rasterising = true;
    bool fastPaths = true;
    long meshDraws = 0;
    std::unique_ptr<KEMesh> meshInProgress;
    std::vector<SDL_Vertex> scratch;   // reused by every draw: no allocation per frame
    SDL_Texture* quadBlend = nullptr;  // the software renderer's quads are written here; only grows
    int quadBlendWidth = 0;
    int quadBlendHeight = 0;
};

Drawing drawing;

Uint8 toByte(float unit) {
    return static_cast<Uint8>(std::clamp(unit, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// Blended at an alpha of 0 everywhere, a draw leaves every pixel as it was.
// The blackout and the notification bar spend most frames like that, over
// the whole screen or a band of it.
bool drawsNothing(const DrawState& state) {
    return state.blendMode == SDL_BLENDMODE_BLEND && toByte(state.tint[3]) == 0;
}

// An opaque texture drawn at full opacity covers what is under it: copying
// it without blending gives the same pixels, several times faster on the
// software renderer (a journal page covers the whole screen).
SDL_BlendMode textureBlendMode(const DrawState& state) {
    const bool covers = state.texture->opaque && toByte(state.tint[3]) == 255;
    return drawing.fastPaths && covers ? SDL_BLENDMODE_NONE : state.blendMode;
}

SDL_Color vertexColour(uint32_t packed, const float tint[4]) {
    return SDL_Color{toByte(static_cast<float>((packed >> 16) & 0xFF) / 255.0f * tint[0]),
                     toByte(static_cast<float>((packed >> 8) & 0xFF) / 255.0f * tint[1]),
                     toByte(static_cast<float>(packed & 0xFF) / 255.0f * tint[2]),
                     toByte(static_cast<float>((packed >> 24) & 0xFF) / 255.0f * tint[3])};
}

// SDL's software renderer draws an axis-aligned textured quad as a copy of
// the texels from u x width truncated: a coordinate a rounding error short of
// a texel edge would start one texel early. A thousandth of a texel on keeps
// every edge inside its texel and moves nothing visibly. Coordinates stay
// within [0, 1], outside which SDL gives up the copy.
float nudge(float coordinate, float texels) {
    return coordinate < 1.0f ? std::min(coordinate + 0.001f / texels, 1.0f) : coordinate;
}

// From mesh coordinates to window pixels: the draw's transform, then the
// viewport's scale.
Matrix3 toWindow(const Matrix3& transform) {
    Matrix3 placed;
    Matrix3Concat(&placed, &KEGetViewport().matrix, &transform);
    return placed;
}

// On whole pixels: SDL's software renderer copies and fills an axis-aligned
// quad as a rectangle of whole pixels, cutting its corner and its size down
// apart, which at a scale that is not whole left a column of background
// between neighbouring tiles.
SDL_FPoint windowPoint(const Matrix3& placed, float x, float y) {
    const float(*m)[3] = placed.m;
    return {std::round(m[0][0] * x + m[0][1] * y + m[0][2]), std::round(m[1][0] * x + m[1][1] * y + m[1][2])};
}

// The mesh's vertices as SDL draws them, in the scratch buffer.
const std::vector<SDL_Vertex>& placeVertices(const KEMesh& mesh, const DrawState& state, bool textured) {
    const Matrix3 placed = toWindow(state.transform);
    // Textured draws show texel x tint; untextured ones vertex colour x tint.
    const SDL_Color tint{toByte(state.tint[0]), toByte(state.tint[1]), toByte(state.tint[2]),
                         toByte(state.tint[3])};
    std::vector<SDL_Vertex>& out = drawing.scratch;
    out.resize(mesh.vertices.size());
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const KEVertex& in = mesh.vertices[i];
        SDL_Vertex& vertex = out[i];
        vertex.position = windowPoint(placed, in.x, in.y);
        vertex.color = state.renderMode == KE_RENDER_TEXTURED ? tint : vertexColour(in.color, state.tint);
        vertex.tex_coord.x = in.u + state.uOffset;
        vertex.tex_coord.y = in.v + state.vOffset;
        if (!textured) continue;
        vertex.tex_coord.x = nudge(vertex.tex_coord.x, state.texture->width);
        vertex.tex_coord.y = nudge(vertex.tex_coord.y, state.texture->height);
    }
    return out;
}

// The corners of KEQuadColours in order, times the tint.
std::array<SDL_Color, 4> quadCorners(const KEQuadColours& colours, const float tint[4]) {
    return {vertexColour(colours.topLeft, tint), vertexColour(colours.topRight, tint),
            vertexColour(colours.bottomRight, tint), vertexColour(colours.bottomLeft, tint)};
}

bool sameColour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

SDL_Color meanColour(const std::array<SDL_Color, 4>& corners) {
    auto mean = [&](Uint8 SDL_Color::*channel) {
        int sum = 2;
        for (const SDL_Color& corner : corners) sum += corner.*channel;
        return static_cast<Uint8>(sum / 4);
    };
    return {mean(&SDL_Color::r), mean(&SDL_Color::g), mean(&SDL_Color::b), mean(&SDL_Color::a)};
}

// One colour: two triangles split as createQuadMesh splits them, which SDL's
// software renderer fills as a rectangle. Mixed colours: four triangles
// meeting at the centre, which has the corners' mean, so that neither
// diagonal shows.
int quadTriangles(const Matrix3& placed, float width, float height, const std::array<SDL_Color, 4>& corners,
                  bool mixed, SDL_Vertex* out) {
    const SDL_FPoint points[4] = {windowPoint(placed, 0, 0), windowPoint(placed, width, 0),
                                  windowPoint(placed, width, height), windowPoint(placed, 0, height)};
    auto vertex = [&](int corner) { return SDL_Vertex{points[corner], corners[corner], {0, 0}}; };
    if (!mixed) {
        const SDL_Vertex quad[6] = {vertex(0), vertex(1), vertex(2), vertex(0), vertex(2), vertex(3)};
        std::copy(quad, quad + 6, out);
        return 6;
    }
    const SDL_Vertex centre{windowPoint(placed, width / 2, height / 2), meanColour(corners), {0, 0}};
    for (int corner = 0; corner < 4; ++corner) {
        out[corner * 3] = vertex(corner);
        out[corner * 3 + 1] = vertex((corner + 1) % 4);
        out[corner * 3 + 2] = centre;
    }
    return 12;
}

// A texture at least that large for the quads' blends, made anew only when
// a larger quad comes.
SDL_Texture* quadBlendTexture(SDL_Renderer* target, int width, int height) {
    if (drawing.quadBlend != nullptr && width <= drawing.quadBlendWidth && height <= drawing.quadBlendHeight)
        return drawing.quadBlend;
    width = std::max(width, drawing.quadBlendWidth);
    height = std::max(height, drawing.quadBlendHeight);
    if (drawing.quadBlend != nullptr) SDL_DestroyTexture(drawing.quadBlend);
    drawing.quadBlend =
        SDL_CreateTexture(target, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    drawing.quadBlendWidth = drawing.quadBlend != nullptr ? width : 0;
    drawing.quadBlendHeight = drawing.quadBlend != nullptr ? height : 0;
    return drawing.quadBlend;
}

// One channel along a row, 16.16 fixed point: its value at the first
// pixel's centre, rounded, and its step a pixel.
struct ChannelRun {
    int32_t start;
    int32_t step;
    uint32_t at(int x) const { return static_cast<uint32_t>((start + x * step) >> 16); }
};

using Channel = Uint8 SDL_Color::*;
constexpr Channel CHANNELS[4] = {&SDL_Color::a, &SDL_Color::r, &SDL_Color::g, &SDL_Color::b};

// The channel bilinearly between the corners, along the row down that far.
ChannelRun channelRun(const std::array<SDL_Color, 4>& corners, Channel channel, float down, float width,
                      float firstCentre) {
    auto at = [&](int corner) { return static_cast<float>(corners[corner].*channel); };
    const float left = at(0) + (at(3) - at(0)) * down;
    const float right = at(1) + (at(2) - at(1)) * down;
    const float step = (right - left) / width;
    return {static_cast<int32_t>((left + step * firstCentre) * 65536.0f + 32768.0f),
            static_cast<int32_t>(step * 65536.0f)};
}

// A row where only the opacity changes, as over the darkness; stepped rather
// than multiplied, four pixels at once.
void writeOpacityRow(uint32_t* row, int count, ChannelRun opacity, uint32_t colour) {
    int32_t value = opacity.start;
    for (int x = 0; x < count; ++x) {
        row[x] = static_cast<uint32_t>(value >> 16) << 24 | colour;
        value += opacity.step;
    }
}

void writeColourRow(uint32_t* row, int count, const ChannelRun (&runs)[4]) {
    for (int x = 0; x < count; ++x)
        row[x] = runs[0].at(x) << 24 | runs[1].at(x) << 16 | runs[2].at(x) << 8 | runs[3].at(x);
}

// The corners blended bilinearly at the centre of each pixel of the part of
// the quad shown, as ARGB8888 rows from the top.
void writeQuadBlend(unsigned char* pixels, int pitch, const SDL_Rect& quad, const SDL_Rect& shown,
                    const std::array<SDL_Color, 4>& corners) {
    const bool opacityOnly = std::all_of(corners.begin(), corners.end(), [&](SDL_Color c) {
        return c.r == corners[0].r && c.g == corners[0].g && c.b == corners[0].b;
    });
    const uint32_t colour =
        static_cast<uint32_t>(corners[0].r) << 16 | static_cast<uint32_t>(corners[0].g) << 8 | corners[0].b;
    const auto width = static_cast<float>(quad.w);
    const float firstCentre = static_cast<float>(shown.x - quad.x) + 0.5f;
    for (int y = 0; y < shown.h; ++y) {
        const float down = (static_cast<float>(shown.y - quad.y + y) + 0.5f) / static_cast<float>(quad.h);
        auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * pitch);
        ChannelRun runs[4];
        for (int c = 0; c < 4; ++c)
            if (c == 0 || !opacityOnly) runs[c] = channelRun(corners, CHANNELS[c], down, width, firstCentre);
        if (opacityOnly) writeOpacityRow(row, shown.w, runs[0], colour);
        else writeColourRow(row, shown.w, runs);
    }
}

// The quad's blend written into a texture and copied one to one; false when
// the quad is not an upright rectangle in the window or there is no texture,
// for triangles instead.
bool copyQuadBlend(SDL_Renderer* target, const Matrix3& placed, float width, float height,
                   const std::array<SDL_Color, 4>& corners) {
    if (placed.m[0][1] != 0.0f || placed.m[1][0] != 0.0f) return false;
    const SDL_FPoint topLeft = windowPoint(placed, 0, 0);
    const SDL_FPoint bottomRight = windowPoint(placed, width, height);
    const SDL_Rect quad{static_cast<int>(topLeft.x), static_cast<int>(topLeft.y),
                        static_cast<int>(bottomRight.x - topLeft.x),
                        static_cast<int>(bottomRight.y - topLeft.y)};
    if (quad.w <= 0 || quad.h <= 0) return false;
    SDL_Rect output{0, 0, 0, 0};
    SDL_GetRendererOutputSize(target, &output.w, &output.h);
    SDL_Rect shown;
    if (SDL_IntersectRect(&quad, &output, &shown) == SDL_FALSE) return true;
    SDL_Texture* texture = quadBlendTexture(target, shown.w, shown.h);
    const SDL_Rect source{0, 0, shown.w, shown.h};
    void* pixels = nullptr;
    int pitch = 0;
    // Locking first draws what is queued, the last quad copied from it too.
    if (texture == nullptr || SDL_LockTexture(texture, &source, &pixels, &pitch) != 0) return false;
    writeQuadBlend(static_cast<unsigned char*>(pixels), pitch, quad, shown, corners);
    SDL_UnlockTexture(texture);
    SDL_SetTextureBlendMode(texture, drawing.state.blendMode);
    SDL_RenderCopy(target, texture, &source, &shown);
    return true;
}

bool isSoftwareRenderer(SDL_Renderer* target) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(target, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

// Every texel's alpha full, in 8-bit RGBA.
bool isOpaque(const stbi_uc* pixels, int width, int height) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i)
        if (pixels[i * 4 + 3] != 255) return false;
    return true;
}

}  // namespace

void kestrel::clearFrame() {
    const SDL_Color& background = drawing.state.background;
    SDL_SetRenderDrawColor(renderer(), background.r, background.g, background.b, 255);
    SDL_RenderClear(renderer());
}

void kestrel::resetDrawing() {
    drawing.state = DrawState{};
    drawing.scratch.reserve(1024);
    if (renderer() != nullptr) SDL_SetRenderDrawBlendMode(renderer(), drawing.state.blendMode);
}

void kestrel::releaseDrawing() {
    drawing.scratch.clear();
    drawing.scratch.shrink_to_fit();
    if (drawing.quadBlend != nullptr) SDL_DestroyTexture(drawing.quadBlend);
    drawing.quadBlend = nullptr;
    drawing.quadBlendWidth = 0;
    drawing.quadBlendHeight = 0;
}

bool KESysReadPixels(std::vector<unsigned char>* rgba, int* width, int* height) {
    SDL_Renderer* target = kestrel::renderer();
    if (target == nullptr || SDL_GetRendererOutputSize(target, width, height) != 0) return false;
    // Headless, a window smaller than the desktop covers the frame's top left.
    int windowWidth = 0, windowHeight = 0;
    kestrel::windowSize(&windowWidth, &windowHeight);
    if (windowWidth > 0 && windowHeight > 0) {
        *width = std::min(*width, windowWidth);
        *height = std::min(*height, windowHeight);
    }
    rgba->resize(static_cast<size_t>(*width) * static_cast<size_t>(*height) * 4);
    const SDL_Rect area{0, 0, *width, *height};
    // ABGR8888 is R, G, B, A in memory on little-endian machines.
    return SDL_RenderReadPixels(target, &area, SDL_PIXELFORMAT_ABGR8888, rgba->data(), *width * 4) == 0;
}

bool KESysSaveScreenshot(const char* path) {
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
    return KESysReadPixels(&pixels, &width, &height) &&
           stbi_write_png(path, width, height, 4, pixels.data(), width * 4) != 0;
}

void KEGfxSetBlendMode(KEBlendMode mode) {
    drawing.state.blendMode = mode == KE_BLEND_ALPHA ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE;
    if (kestrel::renderer() != nullptr)
        SDL_SetRenderDrawBlendMode(kestrel::renderer(), drawing.state.blendMode);
}

void KEGfxSetBackgroundColor(float red, float green, float blue) {
    drawing.state.background = SDL_Color{toByte(red), toByte(green), toByte(blue), 255};
}

void KEGfxSetRenderMode(KERenderMode mode) {
    drawing.state.renderMode = mode;
}

void KEGfxTextureSet(KETexture* texture, float uOffset, float vOffset) {
    drawing.state.texture = texture;
    drawing.state.uOffset = uOffset;
    drawing.state.vOffset = vOffset;
}

void KEGfxSetTintColor(float red, float green, float blue, float alpha) {
    float* tint = drawing.state.tint;
    tint[0] = red;
    tint[1] = green;
    tint[2] = blue;
    tint[3] = alpha;
}

void KEGfxSetTransform(const Matrix3* transform) {
    drawing.state.transform = *transform;
}

void KEGfxMeshStart() {
    drawing.meshInProgress = DEBUG_MAKE_UNIQUE(KEMesh, "KEGfxMeshStart");
}

void KEGfxTriAdd(float x0, float y0, uint32_t color0, float u0, float v0,  //
                 float x1, float y1, uint32_t color1, float u1, float v1,  //
                 float x2, float y2, uint32_t color2, float u2, float v2) {
    if (drawing.meshInProgress == nullptr) KEGfxMeshStart();
    std::vector<KEVertex>& vertices = drawing.meshInProgress->vertices;
    vertices.push_back({x0, y0, color0, u0, v0});
    vertices.push_back({x1, y1, color1, u1, v1});
    vertices.push_back({x2, y2, color2, u2, v2});
}

KEMesh* KEGfxMeshEnd() {
    if (drawing.meshInProgress == nullptr) return DEBUG_NEW(KEMesh, "KEGfxMeshEnd");
    // The caller owns it from here until KEGfxMeshFree.
    return drawing.meshInProgress.release();
}

void KEGfxMeshDraw(KEMesh* mesh) {
    SDL_Renderer* target = kestrel::renderer();
    if (mesh == nullptr || mesh->vertices.empty() || target == nullptr) return;
    const DrawState& state = drawing.state;
    if (drawing.fastPaths && drawsNothing(state)) return;
    const bool textured = state.renderMode == KE_RENDER_TEXTURED && state.texture != nullptr;
    const std::vector<SDL_Vertex>& vertices = placeVertices(*mesh, state, textured);
    ++drawing.meshDraws;
    if (!drawing.rasterising) return;
    SDL_Texture* texture = textured ? state.texture->texture : nullptr;
    if (texture != nullptr) SDL_SetTextureBlendMode(texture, textureBlendMode(state));
    SDL_RenderGeometry(target, texture, vertices.data(), static_cast<int>(vertices.size()), nullptr, 0);
}

void KEGfxQuadDraw(float width, float height, const KEQuadColours& colours) {
    SDL_Renderer* target = kestrel::renderer();
    if (target == nullptr) return;
    const DrawState& state = drawing.state;
    const std::array<SDL_Color, 4> corners = quadCorners(colours, state.tint);
    const bool clear =
        std::all_of(corners.begin(), corners.end(), [](SDL_Color corner) { return corner.a == 0; });
    if (drawing.fastPaths && state.blendMode == SDL_BLENDMODE_BLEND && clear) return;
    ++drawing.meshDraws;
    if (!drawing.rasterising) return;
    const Matrix3 placed = toWindow(state.transform);
    const bool mixed =
        std::any_of(corners.begin(), corners.end(), [&](SDL_Color c) { return !sameColour(c, corners[0]); });
    if (mixed && drawing.fastPaths && isSoftwareRenderer(target) &&
        copyQuadBlend(target, placed, width, height, corners))
        return;
    SDL_Vertex vertices[12];
    const int count = quadTriangles(placed, width, height, corners, mixed, vertices);
    SDL_RenderGeometry(target, nullptr, vertices, count, nullptr, 0);
}

void KEGfxSetRasterising(bool on) {
    drawing.rasterising = on;
}

void KEGfxSetFastPaths(bool on) {
    drawing.fastPaths = on;
}

long KEGfxMeshDrawCount() {
    return drawing.meshDraws;
}

void KEGfxMeshFree(KEMesh* mesh) {
    delete mesh;
}

int KEGfxMeshVertexCount(const KEMesh* mesh) {
    return static_cast<int>(mesh->vertices.size());
}

KEVertex KEGfxMeshVertex(const KEMesh* mesh, int index) {
    return mesh->vertices.at(static_cast<size_t>(index));
}

KETexture* KEGfxTextureLoad(const char* path) {
    SDL_Renderer* target = kestrel::renderer();
    if (target == nullptr) return nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path, &width, &height, &channels, 4);
    if (pixels == nullptr) return nullptr;
    SDL_Texture* texture =
        SDL_CreateTexture(target, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (texture != nullptr) SDL_UpdateTexture(texture, nullptr, pixels, width * 4);
    const bool opaque = isOpaque(pixels, width, height);
    stbi_image_free(pixels);
    if (texture == nullptr) return nullptr;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    KETexture* result =
        new (std::nothrow) KETexture{texture, static_cast<float>(width), static_cast<float>(height), opaque};
    if (result == nullptr) SDL_DestroyTexture(texture);
    return result;
}

// Drawn by the renderer itself, unblended, stretched over the whole copy.
KETexture* KEGfxTextureAsPlaced(KETexture* texture, const Matrix3* transform) {
    SDL_Renderer* target = kestrel::renderer();
    if (texture == nullptr || target == nullptr || SDL_RenderTargetSupported(target) == SDL_FALSE)
        return nullptr;
    const Matrix3 placed = toWindow(*transform);
    const SDL_FPoint topLeft = windowPoint(placed, 0, 0);
    const SDL_FPoint bottomRight = windowPoint(placed, 1, 1);
    const int width = static_cast<int>(bottomRight.x - topLeft.x);
    const int height = static_cast<int>(bottomRight.y - topLeft.y);
    if (width <= 0 || height <= 0) return nullptr;
    // Without an alpha channel an opaque copy blends by its opacity alone,
    // which the software renderer does fastest.
    const Uint32 format = texture->opaque ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_ARGB8888;
    SDL_Texture* copy = SDL_CreateTexture(target, format, SDL_TEXTUREACCESS_TARGET, width, height);
    if (copy == nullptr) return nullptr;
    SDL_Texture* previous = SDL_GetRenderTarget(target);
    SDL_SetRenderTarget(target, copy);
    SDL_SetTextureBlendMode(texture->texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureColorMod(texture->texture, 255, 255, 255);
    SDL_SetTextureAlphaMod(texture->texture, 255);
    const bool drawn = SDL_RenderCopy(target, texture->texture, nullptr, nullptr) == 0;
    SDL_SetRenderTarget(target, previous);
    SDL_SetTextureBlendMode(texture->texture, SDL_BLENDMODE_BLEND);
    if (!drawn) {
        SDL_DestroyTexture(copy);
        return nullptr;
    }
    SDL_SetTextureBlendMode(copy, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(copy, SDL_ScaleModeNearest);
    KETexture* result = new (std::nothrow)
        KETexture{copy, static_cast<float>(width), static_cast<float>(height), texture->opaque};
    if (result == nullptr) SDL_DestroyTexture(copy);
    return result;
}

void KEGfxTextureUnload(KETexture* texture) {
    if (texture == nullptr) return;
    SDL_DestroyTexture(texture->texture);
    delete texture;
}
