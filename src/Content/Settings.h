// The player's settings: volumes, the window, brightness, the light's look,
// reduced flashing and the keys. Kept in $XDG_CONFIG_HOME/halcyra/settings.json
// (~/.config/halcyra), read at start and written whenever one changes. A
// broken file is never fatal: what is wrong in it falls back to its default,
// one warning names the file and the keys, and the file is kept beside itself
// as settings.json.bad.
#pragma once

#include "Content/Json.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the player can bind keys to, in the order the keys page lists them.
enum class Action { WalkUp, WalkLeft, WalkDown, WalkRight, Interact, ClosePage, Pause };
inline constexpr size_t ACTION_COUNT = 7;
inline constexpr size_t KEYS_PER_ACTION = 2;
inline constexpr int NO_KEY = 0;

using KeyBindings = std::array<std::array<int, KEYS_PER_ACTION>, ACTION_COUNT>;

struct Settings {
    // Percentages, 0 to 100.
    int32_t masterVolume = 100;
    int32_t musicVolume = 100;  // the music and the ambience
    int32_t effectsVolume = 100;
    int32_t narrationVolume = 100;
    bool fullScreen = true;
    int32_t windowWidth = 0;  // the window's size when not full screen; 0 for the smallest
    int32_t windowHeight = 0;
    int32_t brightness = 0;         // percent: how far the darkest darkness is lifted
    bool brightnessChosen = false;  // the calibration page was confirmed once
    bool smoothLight = false;       // "smooth", or the light's "tiles"
    bool reduceFlashing = false;
    KeyBindings keys = defaultKeyBindings();

    static KeyBindings defaultKeyBindings();
    bool operator==(const Settings&) const = default;
};

inline constexpr int32_t VOLUME_STEP = 10;
inline constexpr int32_t BRIGHTNESS_STEP = 10;

// The action's name in the file ("walkUp") and on the keys page ("Walk up").
const char* actionKey(Action action);
const char* actionLabel(Action action);
// A key's name ("W", "Up", "Space", "F5"), "" for NO_KEY; and back, NO_KEY
// for a name that is no bindable key.
const char* keyName(int key);
int keyFromName(const char* name);
// Keys kept for the menus and the debug overlay: the keys page refuses them.
bool isReservedKey(int key);

// Binds key to the action's slot. A key another action holds is refused:
// the answer then says which ("Space is taken by Interact"); empty when bound.
std::string bindKey(KeyBindings* keys, Action action, size_t slot, int key);

// The file's text, and a file's values read over the defaults: every member
// that is of the wrong kind or out of range keeps its default and is named in
// badKeys; members this version does not know are kept, as JSON text, in
// unknown, and written back after the known ones.
std::string settingsToJson(const Settings& settings, const std::vector<std::string>& unknown);
Settings settingsFromJson(const json_value* object, std::vector<std::string>* badKeys,
                          std::vector<std::string>* unknown);

// Reads the file of the player's config directory (or none without one).
void SettingsInit();
const Settings& SettingsCurrent();
// Keeps next, and writes the file when it differs from what is kept. A file
// that cannot be written is said once; the game plays on.
void SettingsChange(const Settings& next);
// Where the settings are read from and written to; empty without a home.
const std::string& SettingsPath();
