#include "Screens/OptionsScreen.h"

#include "Audio/SoundManager.h"
#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Effects/ReducedFlashing.h"
#include "Engine/Kestrel.h"
#include "Engine/KeyCodes.h"
#include "Engine/Viewport.h"
#include "Screens/BrightnessScreen.h"
#include "Screens/KeysScreen.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

enum Line { MASTER, MUSIC, EFFECTS, NARRATION, WINDOW, BRIGHTNESS, LIGHT, FLASHING, KEYS, BACK, LINES };

constexpr int CUE_MOVE = 0;
constexpr float BRIGHTEST_FLOOR = 0.3f;
// Window scales of the game's resolution, tried in this order.
constexpr float WINDOW_SCALES[] = {1.0f, 1.5f, 2.0f, 2.5f, 3.0f, 4.0f};
// The volume of each of the first four lines.
constexpr int32_t Settings::*VOLUMES[] = {&Settings::masterVolume, &Settings::musicVolume,
                                          &Settings::effectsVolume, &Settings::narrationVolume};

// Rewritten as the values change; they live as long as the process, as their tweens may.
ChangingMenuLines<LINES> lines;

std::string percent(const char* name, int32_t value) {
    return std::string(name) + "  " + std::to_string(value) + "%";
}

std::string windowLabel(const Settings& settings) {
    if (settings.fullScreen) return "Window  Full Screen";
    return "Window  " + std::to_string(settings.windowWidth) + " x " + std::to_string(settings.windowHeight);
}

void writeLabels(const Settings& settings) {
    lines.labels[MASTER] = percent("Master Volume", settings.masterVolume);
    lines.labels[MUSIC] = percent("Music", settings.musicVolume);
    lines.labels[EFFECTS] = percent("Effects", settings.effectsVolume);
    lines.labels[NARRATION] = percent("Narration", settings.narrationVolume);
    lines.labels[WINDOW] = windowLabel(settings);
    lines.labels[BRIGHTNESS] = percent("Brightness", settings.brightness);
    lines.labels[LIGHT] = settings.smoothLight ? "Light  Smooth" : "Light  Tiles";
    lines.labels[FLASHING] = settings.reduceFlashing ? "Reduce Flashing  On" : "Reduce Flashing  Off";
    lines.labels[KEYS] = "Keys";
    lines.labels[BACK] = "Back";
    lines.pointAtLabels();
}

int32_t stepped(int32_t value, int direction, int32_t step) {
    return std::clamp(value + direction * step, 0, 100);
}

// Full screen, then every window size, and round again.
void nextWindow(Settings* settings, int direction) {
    const std::vector<WindowSize> sizes = windowSizes();
    const auto count = static_cast<int>(sizes.size()) + 1;
    int at = 0;
    if (!settings->fullScreen) {
        const auto found =
            std::find(sizes.begin(), sizes.end(), WindowSize{settings->windowWidth, settings->windowHeight});
        at = found == sizes.end() ? 1 : static_cast<int>(found - sizes.begin()) + 1;
    }
    at = ((at + direction) % count + count) % count;
    settings->fullScreen = at == 0;
    if (at > 0) {
        settings->windowWidth = sizes[static_cast<size_t>(at - 1)].width;
        settings->windowHeight = sizes[static_cast<size_t>(at - 1)].height;
    }
}

// The window's size as the settings ask it, or the nearest size that fits
// this desktop.
WindowSize fittingWindow(const Settings& settings) {
    const std::vector<WindowSize> sizes = windowSizes();
    WindowSize chosen = sizes.front();
    for (const WindowSize& size : sizes)
        if (size.width <= settings.windowWidth && size.height <= settings.windowHeight) chosen = size;
    return chosen;
}

// Only a window that is not as the settings ask is changed: a volume moved
// leaves a window where the player put it.
void applyWindow(const Settings& settings) {
    int desktopWidth = 0, desktopHeight = 0;
    KESysGetDesktopSize(&desktopWidth, &desktopHeight);
    const WindowSize size =
        settings.fullScreen ? WindowSize{desktopWidth, desktopHeight} : fittingWindow(settings);
    WindowSize now{};
    KESysGetWindowSize(&now.width, &now.height);
    if (settings.fullScreen == KESysIsFullScreen() && size == now) return;
    KESysSetWindowMode(settings.fullScreen, size.width, size.height);
    const Viewport& viewport = KEGetViewport();
    KESetViewport(
        viewport.width, viewport.height,
        {static_cast<float>(size.width) / viewport.width, static_cast<float>(size.height) / viewport.height});
}

std::span<MenuItem> labelledItems() {
    writeLabels(SettingsCurrent());
    return lines.items;
}

}  // namespace

std::vector<WindowSize> windowSizes() {
    int desktopWidth = 0, desktopHeight = 0;
    KESysGetDesktopSize(&desktopWidth, &desktopHeight);
    const Viewport& viewport = KEGetViewport();
    std::vector<WindowSize> sizes;
    for (float scale : WINDOW_SCALES) {
        const WindowSize size{static_cast<int>(viewport.width * scale),
                              static_cast<int>(viewport.height * scale)};
        if (size.width <= desktopWidth && size.height <= desktopHeight) sizes.push_back(size);
    }
    // A desktop smaller than the game's resolution still gets one window.
    if (sizes.empty()) sizes.push_back({static_cast<int>(viewport.width), static_cast<int>(viewport.height)});
    return sizes;
}

float brightnessFloor(int32_t brightness) {
    return BRIGHTEST_FLOOR * static_cast<float>(std::clamp(brightness, 0, 100)) / 100.0f;
}

void applySettings(const Settings& settings) {
    constexpr SoundVolume SOUNDS[] = {SoundVolume::Master, SoundVolume::Music, SoundVolume::Effects,
                                      SoundVolume::Narration};
    for (size_t line = MASTER; line <= NARRATION; ++line)
        SoundManagerSetVolume(SOUNDS[line], static_cast<float>(settings.*VOLUMES[line]) / 100.0f);
    applyWindow(settings);
    MapSetDarknessStyle(
        {settings.smoothLight ? LightLook::Smooth : LightLook::Tiles, brightnessFloor(settings.brightness)});
    ReducedFlashingSet(settings.reduceFlashing);
}

OptionsScreen::OptionsScreen() : MenuScreen(labelledItems()), shown(SettingsCurrent()) {
    transitionOnTime = 0.3f;
    transitionOffTime = 0.3f;
    easeOn = easeCubicIn;
    easeOff = easeCubicOut;
    dimBelow(1.0f);
}

std::unique_ptr<OptionsScreen> new_OptionsScreen() {
    return DEBUG_MAKE_UNIQUE(OptionsScreen, "new_OptionsScreen");
}

void OptionsScreen::handleInput(float dt) {
    if (KEInputCheckTriggered(KEY_ESCAPE)) {
        exitScreen();
        return;
    }
    const int direction =
        (KEInputCheckTriggered(KEY_RIGHT) ? 1 : 0) - (KEInputCheckTriggered(KEY_LEFT) ? 1 : 0);
    if (direction != 0) change(direction);
    MenuScreen::handleInput(dt);
}

void OptionsScreen::change(int direction) {
    Settings next = SettingsCurrent();
    switch (selectedIndex()) {
        case MASTER:
        case MUSIC:
        case EFFECTS:
        case NARRATION: {
            int32_t& volume = next.*VOLUMES[selectedIndex()];
            volume = stepped(volume, direction, VOLUME_STEP);
            break;
        }
        case WINDOW:
            nextWindow(&next, direction);
            break;
        case BRIGHTNESS:
            next.brightness = stepped(next.brightness, direction, BRIGHTNESS_STEP);
            next.brightnessChosen = true;
            break;
        case LIGHT:
            next.smoothLight = !next.smoothLight;
            break;
        case FLASHING:
            next.reduceFlashing = !next.reduceFlashing;
            break;
        default:
            return;
    }
    if (next == SettingsCurrent()) return;
    SettingsChange(next);
    applySettings(next);
    SoundManagerPlayInterface(CUE_MOVE);
}

void OptionsScreen::confirm(const char*) {
    switch (selectedIndex()) {
        case BRIGHTNESS:
            addScreen(new_BrightnessScreen(false));
            break;
        case KEYS:
            addScreen(new_KeysScreen());
            break;
        case BACK:
            exitScreen();
            break;
        default:
            break;
    }
}

// The values are written out again when they change, here or on the
// calibration page.
void OptionsScreen::draw(float dt) {
    if (shown != SettingsCurrent()) {
        shown = SettingsCurrent();
        writeLabels(shown);
    }
    MenuScreen::draw(dt);
}
