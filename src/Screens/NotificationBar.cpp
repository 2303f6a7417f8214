#include "Screens/NotificationBarInspection.h"

#include "Content/ContentManager.h"
#include "Content/TextureFontContent.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Util/TweenManager.h"

namespace {

constexpr float BAR_HEIGHT = 45.0f;
constexpr float SHOW_SECONDS = 0.25f;
constexpr float HIDE_SECONDS = 0.6f;
// Tween targets are read every frame, so they live as long as the bar.
constexpr float FULL_OPACITY = 1.0f;
constexpr float NO_OPACITY = 0.0f;

struct NotificationBar {
    TextureFont* font = nullptr;
    KEMeshHandle mesh;
    Vector2 barPosition{0, 0};
    Vector2 hiddenBarPosition{0, 0};
    Vector2 shownBarPosition{0, 0};
    Vector2 textPosition{0, 0};
    Vector2 hiddenTextPosition{0, 0};
    Vector2 shownTextPosition{0, 0};
    Vector2 barSize{0, 0};
    Color barColour{0xCC000000u, 0.8f, 0.0f, 0.0f, 0.0f};
    Color textColour = colourWhite;
    float barOpacity = 0.0f;
    NotificationState state = NOTIFICATION_HIDDEN;
    const char* text = nullptr;
};

NotificationBar bar;

void onShown() {
    bar.state = NOTIFICATION_SHOWN;
}

void onHidden() {
    bar.text = nullptr;
    bar.state = NOTIFICATION_HIDDEN;
}

void slide(const float* opacity, const Vector2* barTarget, const Vector2* textTarget, float seconds,
           TweenCallback onComplete) {
    TweenManagerTween(&bar.barOpacity, opacity, seconds, easeQuadOut, TWEEN_FLOAT, onComplete);
    TweenManagerTween(&bar.barPosition, barTarget, seconds, easeQuadOut, TWEEN_VEC2, nullptr);
    TweenManagerTween(&bar.textPosition, textTarget, seconds, easeQuadOut, TWEEN_VEC2, nullptr);
}

}  // namespace

void NotificationBarInit() {
    bar = NotificationBar{};
    bar.font = ContentLoad<TextureFont>("Assets/Fonts/Notify.fnt", CF_DEFERRED);
    TextureFontContentComplete(bar.font);
    bar.mesh.reset(createQuadMesh(1, 1, &colourBlack));
    bar.hiddenBarPosition = bar.barPosition = {0.0f, screenHeight()};
    bar.shownBarPosition = {0.0f, screenHeight() - BAR_HEIGHT};
    bar.hiddenTextPosition = bar.textPosition = {screenWidth() * 0.5f, screenHeight()};
    // The text sits in the middle of the bar.
    bar.shownTextPosition = {
        screenWidth() * 0.5f,
        (screenHeight() - BAR_HEIGHT) + (BAR_HEIGHT - static_cast<float>(bar.font->lineHeight)) * 0.5f};
    bar.barSize = {screenWidth(), BAR_HEIGHT};
}

void NotificationBarShutdown() {
    bar.mesh.reset();
}

// A show while an earlier one is still sliding in only changes the text.
void showNotification(const char* text) {
    bar.text = text;
    if (bar.state != NOTIFICATION_SHOWING)
        slide(&FULL_OPACITY, &bar.shownBarPosition, &bar.shownTextPosition, SHOW_SECONDS, onShown);
    bar.state = NOTIFICATION_SHOWING;
}

// The state changes only when the bar has gone.
void hideNotification() {
    slide(&NO_OPACITY, &bar.hiddenBarPosition, &bar.hiddenTextPosition, HIDE_SECONDS, onHidden);
}

void drawNotification(float opacity) {
    float a = bar.barOpacity * opacity;
    Matrix3 translation, size, transform;
    Matrix3Translate(&translation, bar.barPosition.x, bar.barPosition.y);
    Matrix3Scale(&size, bar.barSize.x, bar.barSize.y);
    Matrix3Concat(&transform, &translation, &size);
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTransform(&transform);
    KEGfxSetTintColor(0, 0, 0, bar.barColour.opacity * a);
    KEGfxMeshDraw(bar.mesh.get());
    if (bar.text == nullptr) return;
    Color textColour = bar.textColour;
    textColour.opacity = a;
    bar.font->drawText(bar.text, bar.textPosition, textColour, ALIGN_CENTER);
}

NotificationState NotificationBarState() {
    return bar.state;
}

const char* NotificationBarText() {
    return bar.text;
}

Vector2 NotificationBarPosition() {
    return bar.barPosition;
}

float NotificationBarOpacity() {
    return bar.barOpacity;
}
