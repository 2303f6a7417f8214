#include "Screens/StartupScreen.h"

#include "Debug/Debug.h"
#include "Engine/Kestrel.h"
#include "Game/Game.h"
#include "Util/QuadMesh.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int FAN_SEGMENTS = 40;
constexpr float TWO_PI = 2.0f * std::numbers::pi_v<float>;

// A disc of radius 1 around (0, 0), its colour fading from centre to rim.
KEMesh* createDiscMesh(uint32_t centre, uint32_t rim) {
    KEGfxMeshStart();
    for (int i = 0; i < FAN_SEGMENTS; ++i) {
        float a0 = TWO_PI * static_cast<float>(i) / FAN_SEGMENTS;
        float a1 = TWO_PI * static_cast<float>(i + 1) / FAN_SEGMENTS;
        KEGfxTriAdd(0, 0, centre, 0, 0, std::cos(a0), std::sin(a0), rim, 0, 0, std::cos(a1), std::sin(a1),
                    rim, 0, 0);
    }
    return KEGfxMeshEnd();
}

// A flame one unit wide and tall: a drop whose tip is at (0, -1), bright
// at its heart.
KEMesh* createFlameMesh() {
    constexpr uint32_t heart = 0xFFFFF4C8u;
    constexpr uint32_t edge = 0x00FF7A18u;
    auto point = [](int i, float* x, float* y) {
        float t = TWO_PI * static_cast<float>(i) / FAN_SEGMENTS;
        *x = 0.5f * std::sin(t) * std::sin(t / 2.0f);
        *y = -0.5f - 0.5f * std::cos(t);
    };
    KEGfxMeshStart();
    for (int i = 0; i < FAN_SEGMENTS; ++i) {
        float x0, y0, x1, y1;
        point(i, &x0, &y0);
        point(i + 1, &x1, &y1);
        KEGfxTriAdd(0, -0.3f, heart, 0, 0, x0, y0, edge, 0, 0, x1, y1, edge, 0, 0);
    }
    return KEGfxMeshEnd();
}

class StartupScreen final : public Screen {
public:
    StartupScreen() {
        transitionOnTime = 1.25f;
        transitionOffTime = 0.75f;
        easeOn = easeQuartIn;
        easeOff = easeQuartOut;
    }

    ~StartupScreen() override {
        KEGfxMeshFree(quad);
        KEGfxMeshFree(glow);
        KEGfxMeshFree(plate);
        KEGfxMeshFree(flame);
    }

    const char* typeName() const override { return "StartupScreen"; }

    void loadContent() override {
        quad = createQuadMesh(1, 1, &colorWhite);
        glow = createDiscMesh(0x66FFA040u, 0x00FF8020u);
        plate = createDiscMesh(0xFF3A3430u, 0xFF1E1A18u);
        flame = createFlameMesh();
        KEGfxSetBackgroundColor(0.015f, 0.015f, 0.025f);
    }

    void update(float dt, bool otherHasFocus, bool covered) override {
        Screen::update(dt, otherHasFocus, covered);
        elapsed += dt;
    }

    void draw(float) override {
        float opacity = transitionOpacity();
        float flicker = 1.0f + 0.06f * std::sin(elapsed * 11.0f) + 0.04f * std::sin(elapsed * 23.0f + 1.3f);
        float sway = 1.2f * std::sin(elapsed * 3.1f);
        float x = screenWidth / 2.0f;
        float base = screenHeight / 2.0f + 60.0f;
        float top = base - 56.0f;

        KEGfxSetRenderMode(1);
        KEGfxTextureSet(nullptr, 0, 0);
        KEGfxSetBlendMode(1);
        drawMesh(glow, x, top - 10.0f, 230.0f * flicker, 200.0f * flicker, 1, 1, 1, opacity);
        drawMesh(plate, x, base, 34.0f, 9.0f, 1, 1, 1, opacity);
        drawMesh(quad, x - 8.0f, top, 16.0f, base - top, 0.86f, 0.81f, 0.70f, opacity);
        drawMesh(quad, x - 8.0f, top, 5.0f, base - top, 1.0f, 0.95f, 0.85f, opacity * 0.5f);
        drawMesh(quad, x - 0.75f, top - 7.0f, 1.5f, 7.0f, 0.12f, 0.1f, 0.08f, opacity);
        drawMesh(glow, x + sway * 0.5f, top - 13.0f, 20.0f * flicker, 24.0f * flicker, 1, 1, 1, opacity);
        drawMesh(flame, x + sway, top - 2.0f, 11.0f, 26.0f * flicker, 1, 1, 1, opacity);
    }

private:
    KEMesh* quad = nullptr;
    KEMesh* glow = nullptr;
    KEMesh* plate = nullptr;
    KEMesh* flame = nullptr;
    float elapsed = 0.0f;

    static void drawMesh(KEMesh* mesh, float x, float y, float width, float height, float red, float green,
                         float blue, float alpha) {
        Matrix3 translation, scale, transform;
        Matrix3Translate(&translation, x * screenScale.x, y * screenScale.y);
        Matrix3Scale(&scale, width * screenScale.x, height * screenScale.y);
        Matrix3Concat(&transform, &translation, &scale);
        KEGfxSetTransform(&transform);
        KEGfxSetTintColor(red, green, blue, alpha);
        KEGfxMeshDraw(mesh, 3);
    }
};

}  // namespace

Screen* new_StartupScreen() {
    return DEBUG_NEW(StartupScreen, "new_StartupScreen");
}
