#include "Game/Game.h"

#include "Audio/EventAudio.h"
#include "Audio/SoundManager.h"
#include "Content/ContentManager.h"
#include "Content/Settings.h"
#include "Content/TextureFontContent.h"
#include "Debug/Debug.h"
#include "Engine/KeyCodes.h"
#include "Engine/QuadMesh.h"
#include "Engine/Viewport.h"
#include "Game/Harness.h"
#include "Screens/LoadingScreen.h"
#include "Screens/NotificationBar.h"
#include "Screens/OptionsScreen.h"
#include "Screens/PlayScreen.h"
#include "Screens/Screen.h"
#include "Screens/SplashScreen.h"
#include "Util/Random.h"
#include "Util/StringHelper.h"
#include "Util/TimeoutManager.h"
#include "Util/TweenManager.h"
#include "World/CharacterEntity.h"
#include "World/GameProgress.h"
#include "World/Narration.h"
#include "World/Room.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct Resolution {
    float width;
    float height;
};

// Virtual resolutions by aspect ratio; the first row within 0.001 wins.
constexpr Resolution RESOLUTIONS[] = {
    {640, 800},  // 4:5
    {800, 600},  // 4:3
    {952, 560},  // 1.7
    {896, 504},  // 16:9
    {840, 504},  // 5:3
    {800, 640},  // 5:4
};

constexpr int FRAME_RATE = 144;

KEMeshHandle debugRect;  // what debugRectMesh lends out

// The music follows the character being played and the journal line being
// read; while the first line is read the character stands still.
void updateSound(float dt) {
    NarrationUpdate(dt);
    CharacterEntity* character = currentCharacter;
    if (character == nullptr) {
        SoundManagerFollowCharacter(nullptr);
    } else {
        const SoundCharacter followed{character->candleLife, character->room->rules.storm};
        SoundManagerFollowCharacter(&followed);
    }
    SoundManagerFollowNarration(NarrationSecondsLeft());
    SoundManagerUpdate(dt);
    if (character != nullptr && NarrationHoldsCharacterStill()) character->isMoving = false;
}

// Escape with Shift, however quickly: keys pressed and let go within one
// frame count too.
bool quitPressed() {
    return KEInputCheckDownThisFrame(KEY_ESCAPE) && KEInputCheckDownThisFrame(KEY_SHIFT);
}

}  // namespace

void selectResolution(double desktopWidth, double desktopHeight) {
    double ratio = desktopWidth / desktopHeight;
    // Without a matching row the default 800 x 600 is stretched, possibly
    // by different factors on the two axes.
    Resolution chosen{800, 600};
    for (const Resolution& row : RESOLUTIONS) {
        if (std::fabs(static_cast<double>(row.width) / static_cast<double>(row.height) - ratio) < 0.001) {
            chosen = row;
            break;
        }
    }
    KESetViewport(
        chosen.width, chosen.height,
        {static_cast<float>(desktopWidth / chosen.width), static_cast<float>(desktopHeight / chosen.height)});
}

KEWindow* createGameWindow(int desktopWidth, int desktopHeight) {
    return KESysCreateWindow("Halcyra", desktopWidth, desktopHeight);
}

void initKestrel(KEWindow* window) {
    KESysInitInfo info{window, static_cast<int>(screenWidth()), static_cast<int>(screenHeight()), FRAME_RATE};
    if (KESysInit(&info) == 0) FATAL_ERROR("Unable to initialize Kestrel Engine");
    KESysReset();
    KESysSetFullScreen(window);
    KEInputShowCursor(0);
    KESysBringToForeground(window);
    // The scale has two components; the x scale stands for both here.
    std::printf("Target Resolution: %0.0f x %0.0f\nScale: %0.4f\nRenderer: %s\n\n",
                static_cast<double>(screenWidth()), static_cast<double>(screenHeight()),
                static_cast<double>(screenScale().x), KESysRendererName());
    std::fflush(stdout);
}

void initGame(unsigned randomSeed) {
    int desktopWidth = 0;
    int desktopHeight = 0;
    KESysGetDesktopSize(&desktopWidth, &desktopHeight);
    selectResolution(desktopWidth, desktopHeight);
    KEWindow* window = createGameWindow(desktopWidth, desktopHeight);
    initKestrel(window);
    KEGfxSetBlendMode(KE_BLEND_ALPHA);
    RandomSeed(randomSeed);
    TimeoutManagerInit();
    TweenManagerInit();
    ContentManagerInit();
    // Needed before the loading screen, so loaded deferred and completed here.
    debugFont = ContentLoad<TextureFont>("Assets/Fonts/Debug.fnt", CF_DEFERRED);
    TextureFontContentComplete(debugFont);
    debugRect.reset(createQuadMesh(1, 1, &colourRed));
    debugRectMesh = debugRect.get();
    ScreenStackInit();
    // Headless runs never open an audio device.
    AudioConfigure(KESysIsHeadless() ? AudioBackend::Silent : AudioBackend::OpenAL);
    SoundManagerInit();
    // The player's files: never fatal, each problem one warning.
    SettingsInit();
    GameProgressInitSave();
    applySettings(SettingsCurrent());
    NotificationBarInit();
    std::atexit(shutdownGame);
}

std::unique_ptr<Screen> new_ScreenAfterLoading() {
    const char* roomPath = HarnessRoomPath();
    if (roomPath == nullptr) return new_SplashScreen();
    PlayState entry;
    entry.entryDoor.target = roomPath;
    entry.entryDoor.id = HarnessRoomEntryId();
    return new_PlayScreen(&entry);
}

namespace {

// Timeouts and tweens run also while another window has the focus; the
// screens and the sound only while the game's has it.
void runFrame(long frame, float dt) {
    UpdateTimeouts(dt);
    UpdateTweens(dt);
    if (!KESysIsWindowActive()) return;
    ScreenStackUpdate(dt);
    ScreenStackDraw(dt);
    HarnessAfterDraw(frame);
    updateSound(dt);
}

}  // namespace

void runGame() {
    addScreen(new_LoadingScreen(new_ScreenAfterLoading));
    for (long frame = 0; !ScreenStackExitRequested(); ++frame) {
        HarnessBeforeFrame(frame);
        float dt = KEFrameRateControllerGetFrameTime();
        KESysFrameStart();
        KEInputUpdate();
        // Quitting, no screen hears the Escape: the pause menu stays shut.
        const bool quit = quitPressed();
        if (!quit) runFrame(frame, dt);
        KESysFrameEnd();
        DebugEndIfWorkerFailed();
        bool moreFrames = HarnessAfterFrame(frame, dt);
        if (quit || KESysDoesWindowExist() == 0 || ScreenStackExitRequested() || !moreFrames) break;
    }
}

void shutdownGame() {
    NotificationBarShutdown();
    SoundManagerShutdown();
    ScreenStackShutdown();
    debugRectMesh = nullptr;
    debugRect.reset();
    ContentManagerShutdown();
    TweenManagerShutdown();
    TimeoutManagerShutdown();
    KESysExit();
}
