#include "Content/Settings.h"

#include "Content/PlayerFiles.h"
#include "Debug/Debug.h"
#include "Engine/KeyCodes.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <system_error>

namespace {

constexpr char FILE_NAME[] = "settings.json";

struct ActionNames {
    const char* key;
    const char* label;
};

constexpr ActionNames ACTION_NAMES[ACTION_COUNT] = {
    {"walkUp", "Walk up"},       {"walkLeft", "Walk left"}, {"walkDown", "Walk down"},
    {"walkRight", "Walk right"}, {"interact", "Interact"},  {"closePage", "Close page"},
    {"pause", "Pause"},
};

struct NamedKey {
    int key;
    const char* name;
};

// The keys with a name of their own; letters, digits and F1 to F12 are
// named by themselves.
constexpr NamedKey NAMED_KEYS[] = {
    {KEY_BACKSPACE, "Backspace"},
    {KEY_TAB, "Tab"},
    {KEY_ENTER, "Enter"},
    {KEY_SHIFT, "Shift"},
    {KEY_CONTROL, "Ctrl"},
    {KEY_ALT, "Alt"},
    {KEY_ESCAPE, "Escape"},
    {KEY_SPACE, "Space"},
    {KEY_LEFT, "Left"},
    {KEY_UP, "Up"},
    {KEY_RIGHT, "Right"},
    {KEY_DOWN, "Down"},
    {KEY_GRAVE, "`"},
};

constexpr int FUNCTION_KEYS = 12;
constexpr int LETTERS = 26;
constexpr int DIGITS = 10;

// Their names, written once: keyName hands out pointers into it.
struct KeyNameTable {
    std::array<std::string, KEY_CODE_COUNT> names;
    KeyNameTable() {
        for (const NamedKey& named : NAMED_KEYS) names[static_cast<size_t>(named.key)] = named.name;
        for (int i = 0; i < LETTERS; ++i)
            names[static_cast<size_t>(KEY_A + i)] = std::string(1, char('A' + i));
        for (int i = 0; i < DIGITS; ++i)
            names[static_cast<size_t>(KEY_0 + i)] = std::string(1, char('0' + i));
        for (int i = 0; i < FUNCTION_KEYS; ++i)
            names[static_cast<size_t>(KEY_F1 + i)] = "F" + std::to_string(i + 1);
    }
};

const KeyNameTable& keyNames() {
    static const KeyNameTable table;
    return table;
}

struct Store {
    Settings current;
    std::vector<std::string> unknown;
    std::string path;
};

Store store;

bool isInteger(const json_value* value, int64_t low, int64_t high) {
    return value->type == json_integer && value->u.integer >= low && value->u.integer <= high;
}

void readPercent(const json_value* object, const char* key, int32_t* target, std::vector<std::string>* bad) {
    const json_value* value = JsonObjectFind(object, key);
    if (value == nullptr) return;
    if (isInteger(value, 0, 100)) *target = static_cast<int32_t>(value->u.integer);
    else bad->push_back(key);
}

void readFlag(const json_value* object, const char* key, bool* target, std::vector<std::string>* bad) {
    const json_value* value = JsonObjectFind(object, key);
    if (value == nullptr) return;
    if (value->type == json_boolean) *target = value->u.boolean != 0;
    else bad->push_back(key);
}

// Digits only, the whole of text, within an int.
bool isWholeNumber(std::string_view text, int* value) {
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, *value);
    return !text.empty() && text[0] != '-' && status == std::errc() && stop == end;
}

bool parseWindow(const char* text, Settings* settings) {
    if (std::strcmp(text, "full screen") == 0) {
        settings->fullScreen = true;
        return true;
    }
    constexpr int LARGEST = 16384;
    const std::string_view size(text);
    const size_t cross = size.find('x');
    int width = 0, height = 0;
    if (cross == std::string_view::npos || !isWholeNumber(size.substr(0, cross), &width) ||
        !isWholeNumber(size.substr(cross + 1), &height) || width < 1 || height < 1 || width > LARGEST ||
        height > LARGEST)
        return false;
    settings->fullScreen = false;
    settings->windowWidth = width;
    settings->windowHeight = height;
    return true;
}

void readWindow(const json_value* object, Settings* settings, std::vector<std::string>* bad) {
    const json_value* value = JsonObjectFind(object, "window");
    if (value == nullptr) return;
    Settings read = *settings;
    if (value->type == json_string && parseWindow(value->u.string.ptr, &read)) *settings = read;
    else bad->push_back("window");
}

void readLight(const json_value* object, Settings* settings, std::vector<std::string>* bad) {
    const json_value* value = JsonObjectFind(object, "light");
    if (value == nullptr) return;
    const bool tiles = value->type == json_string && std::strcmp(value->u.string.ptr, "tiles") == 0;
    const bool smooth = value->type == json_string && std::strcmp(value->u.string.ptr, "smooth") == 0;
    if (tiles || smooth) settings->smoothLight = smooth;
    else bad->push_back("light");
}

// One action's keys: an array of one or two key names.
bool readActionKeys(const json_value* value, std::array<int, KEYS_PER_ACTION>* keys) {
    if (value->type != json_array || value->u.array.length == 0 || value->u.array.length > KEYS_PER_ACTION)
        return false;
    keys->fill(NO_KEY);
    for (unsigned i = 0; i < value->u.array.length; ++i) {
        const json_value* name = value->u.array.values[i];
        if (name->type != json_string) return false;
        const int key = keyFromName(name->u.string.ptr);
        if (key == NO_KEY || (isReservedKey(key) && key != KEY_ESCAPE)) return false;
        (*keys)[i] = key;
    }
    return true;
}

// Keys bound twice, or of the wrong kind, bring back every default: half a
// layout would leave the player stuck.
void readKeys(const json_value* object, Settings* settings, std::vector<std::string>* bad) {
    const json_value* value = JsonObjectFind(object, "keys");
    if (value == nullptr) return;
    KeyBindings keys = settings->keys;
    bool good = value->type == json_object;
    for (size_t action = 0; good && action < ACTION_COUNT; ++action) {
        const json_value* bound = JsonObjectFind(value, ACTION_NAMES[action].key);
        if (bound != nullptr) good = readActionKeys(bound, &keys[action]);
    }
    std::vector<int> all;
    for (const auto& pair : keys)
        for (int key : pair)
            if (key != NO_KEY) all.push_back(key);
    std::sort(all.begin(), all.end());
    good = good && std::adjacent_find(all.begin(), all.end()) == all.end();
    if (good) settings->keys = keys;
    else bad->push_back("keys");
}

constexpr const char* KNOWN_KEYS[] = {"masterVolume",    "musicVolume",    "effectsVolume",
                                      "narrationVolume", "window",         "brightness",
                                      "light",           "reduceFlashing", "keys"};

bool isKnownKey(const char* key) {
    return std::any_of(std::begin(KNOWN_KEYS), std::end(KNOWN_KEYS),
                       [&](const char* known) { return std::strcmp(known, key) == 0; });
}

std::string joined(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys) text += (text.empty() ? "\"" : ", \"") + key + "\"";
    return text;
}

void keepCopy(const std::string& path) {
    std::error_code error;
    std::filesystem::copy_file(path, path + ".bad", std::filesystem::copy_options::overwrite_existing, error);
}

void readFile() {
    PlayerFileRead file = PlayerFilesRead(store.path);
    if (file.status == PlayerFileStatus::Missing) return;
    if (file.status == PlayerFileStatus::Broken) {
        WARNING("the settings file %s %s; starting with the default settings, the file kept as %s.bad",
                store.path.c_str(), file.problem.c_str(), store.path.c_str());
        PlayerFilesKeepBroken(store.path);
        return;
    }
    std::vector<std::string> bad;
    store.current = settingsFromJson(file.document.get(), &bad, &store.unknown);
    if (bad.empty()) return;
    WARNING(
        "the settings file %s has a wrong value for %s; using the default for it, the file kept as %s.bad",
        store.path.c_str(), joined(bad).c_str(), store.path.c_str());
    keepCopy(store.path);
}

}  // namespace

KeyBindings Settings::defaultKeyBindings() {
    return {{{KEY_W, KEY_UP},
             {KEY_A, KEY_LEFT},
             {KEY_S, KEY_DOWN},
             {KEY_D, KEY_RIGHT},
             {KEY_SPACE, NO_KEY},
             {KEY_E, NO_KEY},
             {KEY_ESCAPE, KEY_P}}};
}

const char* actionKey(Action action) {
    return ACTION_NAMES[static_cast<size_t>(action)].key;
}

const char* actionLabel(Action action) {
    return ACTION_NAMES[static_cast<size_t>(action)].label;
}

const char* keyName(int key) {
    if (key <= NO_KEY || key >= KEY_CODE_COUNT) return "";
    return keyNames().names[static_cast<size_t>(key)].c_str();
}

int keyFromName(const char* name) {
    const auto& names = keyNames().names;
    for (size_t key = 1; key < names.size(); ++key)
        if (!names[key].empty() && names[key] == name) return static_cast<int>(key);
    return NO_KEY;
}

bool isReservedKey(int key) {
    return key == KEY_ENTER || key == KEY_ESCAPE || key == KEY_GRAVE;
}

std::string bindKey(KeyBindings* keys, Action action, size_t slot, int key) {
    if (isReservedKey(key)) return std::string(keyName(key)) + " is kept for the menus";
    if (keyName(key)[0] == '\0') return "That key cannot be bound";
    for (size_t other = 0; other < ACTION_COUNT; ++other) {
        if (other == static_cast<size_t>(action)) continue;
        const auto& pair = (*keys)[other];
        if (std::find(pair.begin(), pair.end(), key) != pair.end())
            return std::string(keyName(key)) + " is taken by " + ACTION_NAMES[other].label;
    }
    auto& own = (*keys)[static_cast<size_t>(action)];
    const size_t otherSlot = 1 - slot;
    if (own[otherSlot] == key) own[otherSlot] = own[slot];
    own[slot] = key;
    return "";
}

std::string settingsToJson(const Settings& settings, const std::vector<std::string>& unknown) {
    std::string text = "{\n";
    auto member = [&](const char* key, const std::string& value) {
        text += "  " + JsonQuote(key) + ": " + value + ",\n";
    };
    member("masterVolume", std::to_string(settings.masterVolume));
    member("musicVolume", std::to_string(settings.musicVolume));
    member("effectsVolume", std::to_string(settings.effectsVolume));
    member("narrationVolume", std::to_string(settings.narrationVolume));
    member("window", JsonQuote(settings.fullScreen ? "full screen"
                                                   : std::to_string(settings.windowWidth) + "x" +
                                                         std::to_string(settings.windowHeight)));
    if (settings.brightnessChosen) member("brightness", std::to_string(settings.brightness));
    member("light", JsonQuote(settings.smoothLight ? "smooth" : "tiles"));
    member("reduceFlashing", settings.reduceFlashing ? "true" : "false");
    for (const std::string& pair : unknown) text += "  " + pair + ",\n";
    text += "  \"keys\": {";
    for (size_t action = 0; action < ACTION_COUNT; ++action) {
        text +=
            std::string(action == 0 ? "\n" : ",\n") + "    " + JsonQuote(ACTION_NAMES[action].key) + ": [";
        bool first = true;
        for (int key : settings.keys[action]) {
            if (key == NO_KEY) continue;
            text += (first ? "" : ", ") + JsonQuote(keyName(key));
            first = false;
        }
        text += "]";
    }
    return text + "\n  }\n}\n";
}

Settings settingsFromJson(const json_value* object, std::vector<std::string>* badKeys,
                          std::vector<std::string>* unknown) {
    Settings settings;
    readPercent(object, "masterVolume", &settings.masterVolume, badKeys);
    readPercent(object, "musicVolume", &settings.musicVolume, badKeys);
    readPercent(object, "effectsVolume", &settings.effectsVolume, badKeys);
    readPercent(object, "narrationVolume", &settings.narrationVolume, badKeys);
    readWindow(object, &settings, badKeys);
    const size_t badBefore = badKeys->size();
    readPercent(object, "brightness", &settings.brightness, badKeys);
    settings.brightnessChosen =
        JsonObjectFind(object, "brightness") != nullptr && badKeys->size() == badBefore;
    readLight(object, &settings, badKeys);
    readFlag(object, "reduceFlashing", &settings.reduceFlashing, badKeys);
    readKeys(object, &settings, badKeys);
    for (unsigned i = 0; i < object->u.object.length; ++i) {
        const auto& member = object->u.object.values[i];
        if (isKnownKey(member.name)) continue;
        std::string pair = JsonQuote({member.name, member.name_length}) + ": ";
        JsonWrite(member.value, &pair);
        unknown->push_back(pair);
    }
    return settings;
}

void SettingsInit() {
    store = Store{};
    const std::string directory = PlayerFilesConfigDirectory();
    if (directory.empty()) {
        WARNING(
            "no directory for the settings: neither XDG_CONFIG_HOME nor HOME is an absolute path; "
            "they will not be kept");
        return;
    }
    store.path = directory + "/" + FILE_NAME;
    readFile();
}

const Settings& SettingsCurrent() {
    return store.current;
}

void SettingsChange(const Settings& next) {
    if (next == store.current) return;
    store.current = next;
    if (store.path.empty()) return;
    std::string problem;
    if (!PlayerFilesWrite(store.path, settingsToJson(next, store.unknown), &problem))
        WARNING("the settings cannot be kept: %s; playing on without keeping them", problem.c_str());
}

const std::string& SettingsPath() {
    return store.path;
}
