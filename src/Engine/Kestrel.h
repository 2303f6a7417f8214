// Kestrel: the engine layer. Window and frame pacing (KestrelWindow.cpp),
// the key table (KestrelInput.cpp), gamepads (KestrelGamepads.cpp) and
// drawing (KestrelDrawing.cpp).
//
// Game code talks to the platform only through these operations; nothing
// outside src/Engine includes SDL. Keys are Windows virtual-key codes
// (letters 0x41..0x5A, arrows 0x25..0x28, space 0x20, Enter 0x0D,
// Escape 0x1B, Shift 0x10, the key left of 1 0xC0).
#pragma once

#include "Util/Matrix3.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

struct KEWindow;
struct KEMesh;
struct KETexture;

// How the process runs; set from the command line before start-up.
struct KEPlatformOptions {
    bool headless = false;        // no window, no display: frames render offscreen
    bool windowed = false;        // an ordinary window instead of borderless full screen
    float fixedFrameTime = 0.0f;  // when positive, every frame lasts exactly this long
    int desktopWidth = 0;         // 0: the real display's size (headless: 896 x 504)
    int desktopHeight = 0;
};

void KESysConfigure(const KEPlatformOptions& options);
bool KESysIsHeadless();

// The desktop size the game sees. Fatal when no display can be opened.
void KESysGetDesktopSize(int* width, int* height);

// A window of the given size titled title: borderless full screen on the
// desktop, or an ordinary window with --windowed; nothing visible headless.
KEWindow* KESysCreateWindow(const char* title, int width, int height);
void KESysSetFullScreen(KEWindow* window);
// Switches the game's window at once between borderless full screen on the
// desktop, with the pointer hidden, and an ordinary window of the given size,
// centred, with the pointer shown. Headless, the frame read back is the
// window's size.
void KESysSetWindowMode(bool fullScreen, int width, int height);
bool KESysIsFullScreen();
void KESysGetWindowSize(int* width, int* height);
void KESysBringToForeground(KEWindow* window);

// A modal error box; standard error when headless or without a display.
void KESysShowMessageBox(const char* title, const char* text);

struct KESysInitInfo {
    KEWindow* window;
    int width;  // virtual resolution in whole pixels
    int height;
    int frameRate;  // frame cap, 144
};

int KESysInit(const KESysInitInfo* info);  // nonzero on success
void KESysReset();
// SDL's name of the renderer drawing the frames ("software", "opengl" ...);
// "none" before KESysInit.
const char* KESysRendererName();
void KESysFrameStart();  // pumps the window's messages
void KESysFrameEnd();    // presents the frame and paces to the frame cap
// Until the player closes the window.
int KESysDoesWindowExist();
// False while another window has the player's focus.
bool KESysIsWindowActive();
void KESysExit();

// The frame drawn so far as RGBA bytes, rows from the top; call after
// drawing, before KESysFrameEnd.
bool KESysReadPixels(std::vector<unsigned char>* rgba, int* width, int* height);
// Writes the frame drawn so far as a PNG.
bool KESysSaveScreenshot(const char* path);

float KEFrameRateControllerGetFrameTime();
// Frames started since start-up: what happens once a frame compares it.
uint64_t KEFrameRateControllerGetFrameCount();

// The one entry point of key events, from the keyboard or a script; the key
// table hears it at the next KEInputUpdate.
void KEInputPostKey(int key, bool down);
void KEInputUpdate();
bool KEInputCheckCurr(int key);
bool KEInputCheckTriggered(int key);
bool KEInputCheckReleased(int key);
// Down at any moment of this frame: held, or pressed or let go during it, so
// that a tap quicker than a frame still counts.
bool KEInputCheckDownThisFrame(int key);
// Held by a controller: the key table merges them with the keyboard's.
bool KEInputCheckPadHeld(int key);
// True from a key going down until a key, any key, comes up: "a key is held"
// as the window's messages tell it.
bool KEInputAnyKeyDown();
void KEInputShowCursor(int show);

// A gamepad presses keys as the keyboard would, and both work side by side:
// A is Space and Enter, B is E, Start is Escape, the d-pad is the arrow
// keys, and the left stick walks as the arrow keys do in eight directions.
// Controllers plugged in or out while the game runs are picked up or let go;
// a headless run hears only the virtual pad below, never a real one.
enum KEPadButton : int {
    KE_PAD_A,
    KE_PAD_B,
    KE_PAD_START,
    KE_PAD_UP,
    KE_PAD_DOWN,
    KE_PAD_LEFT,
    KE_PAD_RIGHT,
    KE_PAD_BUTTON_COUNT
};

// A virtual controller for scripted runs, made with SDL's virtual joystick:
// what it does takes the path a real controller's input takes, plugging in
// and out included. Fatal when SDL cannot make one. Its buttons and stick
// are read at the next frame's start; while unplugged they do nothing.
void KEInputPlugVirtualPad();
void KEInputUnplugVirtualPad();
void KEInputSetVirtualPadButton(KEPadButton button, bool down);
void KEInputSetVirtualPadStick(float x, float y);  // each -1..1, y down
int KEInputPadCount();                             // controllers in use

// What a draw paints: each vertex's colour times the tint, or the texture's
// texel times the tint.
enum KERenderMode : int {
    KE_RENDER_VERTEX_COLOUR = 1,
    KE_RENDER_TEXTURED = 2,
};

// How a draw meets what is already in the frame.
enum KEBlendMode : int {
    KE_BLEND_NONE = 0,   // replaces it
    KE_BLEND_ALPHA = 1,  // mixes by the drawn opacity
};

void KEGfxSetBlendMode(KEBlendMode mode);
void KEGfxSetBackgroundColor(float red, float green, float blue);
void KEGfxSetRenderMode(KERenderMode mode);
void KEGfxTextureSet(KETexture* texture, float uOffset, float vOffset);
void KEGfxSetTintColor(float red, float green, float blue, float alpha);
void KEGfxSetTransform(const Matrix3* transform);  // mesh coordinates to virtual pixels (Engine/Viewport.h)

struct KEVertex {
    float x, y;
    uint32_t color;  // 0xAARRGGBB
    float u, v;
};

void KEGfxMeshStart();
void KEGfxTriAdd(float x0, float y0, uint32_t color0, float u0, float v0,  //
                 float x1, float y1, uint32_t color1, float u1, float v1,  //
                 float x2, float y2, uint32_t color2, float u2, float v2);
KEMesh* KEGfxMeshEnd();
void KEGfxMeshDraw(KEMesh* mesh);
void KEGfxMeshFree(KEMesh* mesh);

// The colours (0xAARRGGBB) of a quad's corners.
struct KEQuadColours {
    uint32_t topLeft, topRight, bottomRight, bottomLeft;
};

// A width x height rectangle placed by the transform, its corners' colours
// times the tint blended evenly across it (untextured, whatever the render
// mode). Makes no mesh and allocates nothing once the first has been drawn.
// SDL's software renderer blends a triangle of mixed colours pixel by pixel
// through a surface of its own, so there the fast paths write the blend into
// a texture and copy it; without them, and on a GPU, it is four triangles
// meeting at the centre, which differ from that by a level or two inside.
void KEGfxQuadDraw(float width, float height, const KEQuadColours& colours);
// For benchmarks: with rasterising off, draws are placed and counted but
// not rasterised.
void KEGfxSetRasterising(bool on);
// Fast paths, on from start-up, leave out draws that would change no pixel
// and copy opaque textures drawn at full opacity without blending. Off,
// every draw is blended as placed, as the engine once did: the benchmarks
// and the picture test compare the two.
void KEGfxSetFastPaths(bool on);
long KEGfxMeshDrawCount();  // mesh draws rasterised, or placed without rasterising, since start-up
// A mesh's triangle list, three vertices a triangle, for inspection.
int KEGfxMeshVertexCount(const KEMesh* mesh);
KEVertex KEGfxMeshVertex(const KEMesh* mesh, int index);

KETexture* KEGfxTextureLoad(const char* path);  // null on failure
// A copy of the texture the size that a unit quad drawn with the transform
// covers in the window. Drawn as that quad, it lands on the window's pixels
// one to one: the software renderer blends a texture drawn at its own size
// several times faster than a scaled one. Null when the renderer cannot draw
// into a texture.
KETexture* KEGfxTextureAsPlaced(KETexture* texture, const Matrix3* transform);
void KEGfxTextureUnload(KETexture* texture);

// Owning handles of what the engine makes, freed through the engine.
struct KEMeshFree {
    void operator()(KEMesh* mesh) const { KEGfxMeshFree(mesh); }
};
using KEMeshHandle = std::unique_ptr<KEMesh, KEMeshFree>;
struct KETextureFree {
    void operator()(KETexture* texture) const { KEGfxTextureUnload(texture); }
};
using KETextureHandle = std::unique_ptr<KETexture, KETextureFree>;

inline float KEClamp(float value, float low, float high) {
    return std::max(low, std::min(value, high));
}
