#include "Screens/LoadingScreen.h"

#include "Content/ContentManager.h"
#include "Content/PreloadList.h"
#include "Content/TextureFontContent.h"
#include "Debug/Debug.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Util/StringHelper.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace {

struct PreloadItem {
    int32_t type;
    std::string path;
    void* data;
};

struct Rectangle {
    float x, y, width, height;
};

constexpr size_t STATUS_TEXT_SIZE = 256;
constexpr int64_t TOTAL_NOT_PUBLISHED = -1;

class LoadingScreen final : public Screen {
public:
    explicit LoadingScreen(ScreenFactory nextScreen) : next(nextScreen) {
        transitionOnTime = 1.25f;
        transitionOffTime = 0.75f;
        easeOn = easeQuartIn;
        easeOff = easeQuartOut;
        onTransitionedOff = [](Screen* screen) { static_cast<LoadingScreen*>(screen)->handOver(); };
    }

    ~LoadingScreen() override { stopWorker(); }

    const char* typeName() const override { return "LoadingScreen"; }

    void loadContent() override {
        KEGfxSetBackgroundColor(0, 0, 0);
        barBackground = {0xFF313131u, 1.0f, 49.0f / 255.0f, 49.0f / 255.0f, 49.0f / 255.0f};
        barFill = {0xFF404040u, 1.0f, 64.0f / 255.0f, 64.0f / 255.0f, 64.0f / 255.0f};
        font = ContentLoad<TextureFont>("Assets/Fonts/LoadingScreen.fnt", CF_DEFERRED);
        TextureFontContentComplete(font);
        unitMesh.reset(createQuadMesh(1, 1, &colourWhite));
        textPosition = {screenWidth() * 0.5f, screenHeight() * 0.75f};
        bar = {screenWidth() * 0.05f, screenHeight() * 0.85f, screenWidth() * 0.9f, 5.0f};
        // Started last: from here on the worker is the only one using the cache.
        try {
            worker = std::thread(&LoadingScreen::loadAsync, this);
        } catch (const std::system_error&) {
            FATAL_ERROR("Unable to create thread for loading assets.");
        }
    }

    void update(float dt, bool otherHasFocus, bool covered) override {
        Screen::update(dt, otherHasFocus, covered);
        if (isExiting || !loadingFinished()) return;
        setStatus("Finalizing stuff...");
        if (!postAssetsLoad()) exitScreen();
    }

    void draw(float) override {
        float opacity = transitionOpacity();
        barBackground.opacity = opacity;
        barFill.opacity = opacity;
        Color text = colourWhite;
        text.opacity = opacity;
        drawBarRect(bar, barBackground);
        drawBarRect({bar.x, bar.y, bar.width * progress(), bar.height}, barFill);
        font->drawText(status().c_str(), textPosition, text, ALIGN_CENTER);
    }

private:
    ScreenFactory next;
    OwningList<PreloadItem> loadedItems;
    std::atomic<uint32_t> loadedCount{0};
    std::atomic<int64_t> preloadTotal{TOTAL_NOT_PUBLISHED};
    std::atomic<bool> workerDone{false};
    // The worker writes the status line while the main thread draws it.
    mutable std::mutex statusLock;
    char statusText[STATUS_TEXT_SIZE] = "";
    std::thread worker;
    TextureFont* font = nullptr;
    KEMeshHandle unitMesh;
    Vector2 textPosition{0.0f, 0.0f};
    Rectangle bar{0.0f, 0.0f, 0.0f, 0.0f};
    Color barBackground = colourBlack;
    Color barFill = colourBlack;

    void loadAsync() {
        std::vector<PreloadEntry> entries = PreloadListRead(PRELOAD_PATH);
        loadedCount.store(0, std::memory_order_relaxed);
        preloadTotal.store(static_cast<int64_t>(entries.size()), std::memory_order_release);
        for (const PreloadEntry& entry : entries) {
            setStatus("loading %s...", strfilename(entry.file.c_str()).c_str());
            void* data = ContentManagerLoad(entry.file.c_str(), entry.type, CF_DEFERRED);
            loadedItems.pushBack(
                DEBUG_MAKE_UNIQUE(PreloadItem, "loadAsync", PreloadItem{entry.type, entry.file, data}));
            // Published only once the item is on the list.
            loadedCount.fetch_add(1, std::memory_order_release);
        }
        workerDone.store(true, std::memory_order_release);
    }

    bool loadingFinished() const {
        int64_t total = preloadTotal.load(std::memory_order_acquire);
        return total != TOTAL_NOT_PUBLISHED && loadedCount.load(std::memory_order_acquire) == total;
    }

    float progress() const {
        int64_t total = preloadTotal.load(std::memory_order_acquire);
        if (total <= 0) return 0.0f;
        return static_cast<float>(loadedCount.load(std::memory_order_acquire)) / static_cast<float>(total);
    }

    // Completes the most recently loaded item; false when none is left.
    bool postAssetsLoad() {
        const std::unique_ptr<PreloadItem> item = loadedItems.popBack();
        if (item == nullptr) return false;
        ContentManagerComplete(item->data, item->type);
        return true;
    }

    [[gnu::format(printf, 2, 3)]] void setStatus(const char* format, ...) {
        std::lock_guard<std::mutex> guard(statusLock);
        va_list args;
        va_start(args, format);
        std::vsnprintf(statusText, sizeof statusText, format, args);
        va_end(args);
    }

    std::string status() const {
        std::lock_guard<std::mutex> guard(statusLock);
        return statusText;
    }

    void drawBarRect(const Rectangle& rectangle, const Color& colour) const {
        Matrix3 translation, scale, transform;
        Matrix3Translate(&translation, rectangle.x, rectangle.y);
        Matrix3Scale(&scale, rectangle.width, rectangle.height);
        Matrix3Concat(&transform, &translation, &scale);
        KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
        KEGfxTextureSet(nullptr, 0, 0);
        KEGfxSetTransform(&transform);
        KEGfxSetTintColor(colour.red, colour.green, colour.blue, colour.opacity);
        KEGfxMeshDraw(unitMesh.get());
    }

    void handOver() {
        worker.join();
        addScreen(next());
    }

    // At shutdown the worker may still be loading: wait for it, unless it
    // met a fatal error and waits for the process to end.
    void stopWorker() {
        if (!worker.joinable()) return;
        while (!workerDone.load(std::memory_order_acquire) && !DebugWorkerFailed())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (DebugWorkerFailed()) worker.detach();
        else worker.join();
    }
};

}  // namespace

std::unique_ptr<Screen> new_LoadingScreen(ScreenFactory next) {
    return DEBUG_MAKE_UNIQUE(LoadingScreen, "new_LoadingScreen", next);
}
