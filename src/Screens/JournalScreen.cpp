#include "Screens/JournalScreen.h"

#include "Content/ContentManager.h"
#include "Content/Controls.h"
#include "Content/TextureContent.h"
#include "Debug/Debug.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Util/TimeoutManager.h"
#include "World/Narration.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr int32_t PAGE_COUNT = 8;
constexpr float FINAL_PAGE_SECONDS = 60.0f;
constexpr float FINAL_PAGE_OPACITY = 0.45f;
const char* const FINAL_PAGE = "Assets/Textures/JournalBackground8.png";

uint64_t nextSerial = 1;

std::string pagePath(int32_t page) {
    return "Assets/Textures/JournalBackground" + std::to_string(page) + ".png";
}

// The final page's timeout outlives nothing: it closes the page only if
// that page is still on the stack.
void closeFinalPage(void* data) {
    const auto serial = reinterpret_cast<uintptr_t>(data);
    for (Screen* screen : ScreenStackScreens()) {
        auto* page = dynamic_cast<JournalScreen*>(screen);
        if (page != nullptr && page->serial == serial) page->exitScreen();
    }
}

}  // namespace

float journalPageScale(float pageWidth, float pageHeight, float spaceWidth, float spaceHeight) {
    return std::min({1.0f, spaceWidth / pageWidth, spaceHeight / pageHeight});
}

JournalScreen::JournalScreen(const char* texturePath)
    : path(texturePath), isFinal(path == FINAL_PAGE), serial(nextSerial++) {
    isPopup = true;
    capturesInput = !isFinal;
    transitionOnTime = 1.25f;
    transitionOffTime = 0.75f;
    easeOn = easeQuartIn;
    easeOff = easeQuartOut;
}

std::unique_ptr<JournalScreen> new_JournalScreen(const char* texturePath) {
    return DEBUG_MAKE_UNIQUE(JournalScreen, "new_JournalScreen", texturePath);
}

void closeJournalPages() {
    for (Screen* screen : ScreenStackScreens())
        if (auto* page = dynamic_cast<JournalScreen*>(screen); page != nullptr && !page->isExiting)
            page->exitScreen();
}

void JournalScreen::loadContent() {
    texture = ContentLoad<TextureContent>(path.c_str());
    fitToScreen();
    placePage();
    startNarration();
    if (isFinal) SetTimeout(FINAL_PAGE_SECONDS, closeFinalPage, reinterpret_cast<void*>(uintptr_t{serial}));
}

// A page taller or wider than the screen shrinks until it fits both ways.
void JournalScreen::fitToScreen() {
    const auto pageWidth = static_cast<float>(texture->width);
    const auto pageHeight = static_cast<float>(texture->height);
    scale = journalPageScale(pageWidth, pageHeight, screenWidth(), screenHeight());
    offsetX = std::floor((screenWidth() - pageWidth * scale) * 0.5f);
    offsetY = std::floor((screenHeight() - pageHeight * scale) * 0.5f);
}

// Scaled once here rather than every frame: the last page is blended over
// the room for a minute, and a scaled blend is slow on the software renderer.
void JournalScreen::placePage() {
    Matrix3 size, placement;
    Matrix3Scale(&size, static_cast<float>(texture->width) * scale,
                 static_cast<float>(texture->height) * scale);
    Matrix3Translate(&placement, offsetX, offsetY);
    Matrix3Concat(&pageTransform, &placement, &size);
    mesh.reset(createQuadMesh(1, 1, &colourWhite));
    placedPage.reset(KEGfxTextureAsPlaced(texture->texture.get(), &pageTransform));
    if (placedPage == nullptr)
        WARNING("The renderer cannot copy the page %s; it is drawn scaled.", path.c_str());
}

// Page N is read by dialogue N; other images are shown in silence.
void JournalScreen::startNarration() const {
    for (int32_t page = 1; page <= PAGE_COUNT; ++page)
        if (path == pagePath(page)) NarrationStart(page);
}

void JournalScreen::handleInput(float) {
    if (isFinal || !ControlsTriggered(Action::ClosePage)) return;
    NarrationStop();
    exitScreen();
}

void JournalScreen::draw(float) {
    float opacity = transitionOpacity();
    if (isFinal) opacity *= FINAL_PAGE_OPACITY;
    KEGfxSetRenderMode(KE_RENDER_TEXTURED);
    KEGfxTextureSet(placedPage != nullptr ? placedPage.get() : texture->texture.get(), 0, 0);
    KEGfxSetTintColor(1, 1, 1, opacity);
    KEGfxSetTransform(&pageTransform);
    KEGfxMeshDraw(mesh.get());
}
