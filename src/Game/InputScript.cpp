#include "Game/InputScript.h"

#include "Engine/KeyCodes.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <utility>

namespace {

constexpr long MAX_FRAME = 1'000'000'000;

const std::pair<const char*, int> KEY_NAMES[] = {
    {"W", KEY_W},           {"A", KEY_A},         {"S", KEY_S},         {"D", KEY_D},
    {"E", KEY_E},           {"P", KEY_P},         {"UP", KEY_UP},       {"DOWN", KEY_DOWN},
    {"LEFT", KEY_LEFT},     {"RIGHT", KEY_RIGHT}, {"SPACE", KEY_SPACE}, {"ENTER", KEY_ENTER},
    {"ESCAPE", KEY_ESCAPE}, {"SHIFT", KEY_SHIFT}, {"GRAVE", KEY_GRAVE},
};

bool parseWholeNumber(const std::string& text, int base, long* value) {
    const char* end = text.data() + text.size();
    auto [stop, status] = std::from_chars(text.data(), end, *value, base);
    return status == std::errc() && stop == end && *value >= 0;
}

int keyCodeFromHex(const std::string& name) {
    if (name.size() != 4 || name[0] != '0' || (name[1] != 'x' && name[1] != 'X')) return -1;
    long code = 0;
    return parseWholeNumber(name.substr(2), 16, &code) ? static_cast<int>(code) : -1;
}

std::string withoutComment(const std::string& line) {
    size_t hash = line.find('#');
    return hash == std::string::npos ? line : line.substr(0, hash);
}

// A line as an error quotes it: cut short, so that a binary file given as
// a script does not flood the terminal.
std::string quoted(const std::string& text) {
    constexpr size_t LONGEST = 80;
    return text.size() <= LONGEST ? text : text.substr(0, LONGEST) + "...";
}

bool fail(std::string* error, int lineNumber, const std::string& problem) {
    *error = std::to_string(lineNumber) + ": " + problem;
    return false;
}

bool parseLine(const std::string& line, int lineNumber, std::vector<ScriptedKey>* events,
               std::string* error) {
    std::istringstream words(withoutComment(line));
    std::string frameText, action, keyName, extra;
    if (!(words >> frameText)) return true;
    if (!(words >> action >> keyName))
        return fail(error, lineNumber, "expected 'FRAME down|up|tap KEY', got '" + quoted(line) + "'");
    if (words >> extra) return fail(error, lineNumber, "unexpected '" + quoted(extra) + "' after the key");
    long frame = 0;
    if (!parseWholeNumber(frameText, 10, &frame) || frame > MAX_FRAME)
        return fail(error, lineNumber,
                    "frame '" + quoted(frameText) + "' is not a whole number from 0 to 1000000000");
    int key = keyCodeFromName(keyName);
    if (key < 0) return fail(error, lineNumber, "unknown key '" + quoted(keyName) + "'");
    if (action == "down" || action == "tap") events->push_back({frame, key, true});
    if (action == "up") events->push_back({frame, key, false});
    if (action == "tap") events->push_back({frame + 1, key, false});
    if (action != "down" && action != "up" && action != "tap")
        return fail(error, lineNumber, "unknown action '" + quoted(action) + "' (down, up or tap)");
    return true;
}

}  // namespace

int keyCodeFromName(const std::string& name) {
    for (const auto& [keyName, code] : KEY_NAMES)
        if (name == keyName) return code;
    return keyCodeFromHex(name);
}

bool parseInputScript(const std::string& text, std::vector<ScriptedKey>* events, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    for (int lineNumber = 1; std::getline(lines, line); ++lineNumber)
        if (!parseLine(line, lineNumber, events, error)) return false;
    std::stable_sort(events->begin(), events->end(),
                     [](const ScriptedKey& a, const ScriptedKey& b) { return a.frame < b.frame; });
    return true;
}
