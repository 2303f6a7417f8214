#include "Game/InputScript.h"

#include "Engine/KeyCodes.h"
#include "Engine/Kestrel.h"

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

const std::pair<const char*, int> PAD_BUTTON_NAMES[] = {
    {"PAD_A", KE_PAD_A},       {"PAD_B", KE_PAD_B},       {"PAD_START", KE_PAD_START}, {"PAD_UP", KE_PAD_UP},
    {"PAD_DOWN", KE_PAD_DOWN}, {"PAD_LEFT", KE_PAD_LEFT}, {"PAD_RIGHT", KE_PAD_RIGHT},
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

using Words = std::vector<std::string>;

Words splitWords(const std::string& line) {
    std::istringstream stream(withoutComment(line));
    Words words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::string joined(const Words& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

bool parseFrame(const std::string& text, int lineNumber, long* frame, std::string* error) {
    if (parseWholeNumber(text, 10, frame) && *frame <= MAX_FRAME) return true;
    return fail(error, lineNumber, "frame '" + quoted(text) + "' is not a whole number from 0 to 1000000000");
}

// A stick position: a finite number from -1 to 1.
bool parseStickAxis(const std::string& text, float* value) {
    const char* end = text.data() + text.size();
    auto [stop, status] = std::from_chars(text.data(), end, *value);
    return status == std::errc() && stop == end && *value >= -1.0f && *value <= 1.0f;
}

int padButtonFromName(const std::string& name) {
    for (const auto& [buttonName, button] : PAD_BUTTON_NAMES)
        if (name == buttonName) return button;
    return -1;
}

bool parseKeyLine(const Words& words, int lineNumber, std::vector<ScriptedInput>* events, std::string* error) {
    if (words.size() < 3)
        return fail(error, lineNumber, "expected 'FRAME down|up|tap KEY', got '" + quoted(joined(words)) + "'");
    if (words.size() > 3) return fail(error, lineNumber, "unexpected '" + quoted(words[3]) + "' after the key");
    long frame = 0;
    if (!parseFrame(words[0], lineNumber, &frame, error)) return false;
    const std::string& action = words[1];
    ScriptedKind kind = ScriptedKind::KEY;
    int code = keyCodeFromName(words[2]);
    if (code < 0 && (code = padButtonFromName(words[2])) >= 0) kind = ScriptedKind::PAD_BUTTON;
    if (code < 0) return fail(error, lineNumber, "unknown key '" + quoted(words[2]) + "'");
    if (action != "down" && action != "up" && action != "tap")
        return fail(error, lineNumber, "unknown action '" + quoted(action) + "' (down, up, tap, stick or pad)");
    events->push_back({frame, kind, code, action != "up", 0.0f, 0.0f});
    if (action == "tap") events->push_back({frame + 1, kind, code, false, 0.0f, 0.0f});
    return true;
}

bool parseStickLine(const Words& words, int lineNumber, std::vector<ScriptedInput>* events, std::string* error) {
    if (words.size() != 4)
        return fail(error, lineNumber, "expected 'FRAME stick X Y', got '" + quoted(joined(words)) + "'");
    long frame = 0;
    if (!parseFrame(words[0], lineNumber, &frame, error)) return false;
    float x = 0.0f, y = 0.0f;
    for (const auto& [text, value] : {std::pair{&words[2], &x}, std::pair{&words[3], &y}})
        if (!parseStickAxis(*text, value))
            return fail(error, lineNumber, "stick position '" + quoted(*text) + "' is not a number from -1 to 1");
    events->push_back({frame, ScriptedKind::STICK, 0, false, x, y});
    return true;
}

bool parsePadLine(const Words& words, int lineNumber, std::vector<ScriptedInput>* events, std::string* error) {
    if (words.size() != 3 || (words[2] != "plug" && words[2] != "unplug"))
        return fail(error, lineNumber, "expected 'FRAME pad plug|unplug', got '" + quoted(joined(words)) + "'");
    long frame = 0;
    if (!parseFrame(words[0], lineNumber, &frame, error)) return false;
    const ScriptedKind kind = words[2] == "plug" ? ScriptedKind::PAD_PLUG : ScriptedKind::PAD_UNPLUG;
    events->push_back({frame, kind, 0, false, 0.0f, 0.0f});
    return true;
}

bool parseLine(const std::string& line, int lineNumber, std::vector<ScriptedInput>* events,
               std::string* error) {
    const Words words = splitWords(line);
    if (words.empty()) return true;
    const std::string action = words.size() > 1 ? words[1] : "";
    if (action == "stick") return parseStickLine(words, lineNumber, events, error);
    if (action == "pad") return parsePadLine(words, lineNumber, events, error);
    return parseKeyLine(words, lineNumber, events, error);
}

struct NumberedInput {
    ScriptedInput input;
    int lineNumber;
};

// A pad's buttons and stick move only while it is plugged in, in the order
// the frames play.
bool checkPadIsPlugged(const std::vector<NumberedInput>& events, std::string* error) {
    bool plugged = false;
    for (const auto& [input, lineNumber] : events) {
        if (input.kind == ScriptedKind::PAD_PLUG || input.kind == ScriptedKind::PAD_UNPLUG)
            plugged = input.kind == ScriptedKind::PAD_PLUG;
        const bool moves = input.kind == ScriptedKind::PAD_BUTTON || input.kind == ScriptedKind::STICK;
        if (moves && !plugged)
            return fail(error, lineNumber,
                        "the pad is not plugged in at frame " + std::to_string(input.frame) +
                            " (a 'pad plug' line must come first)");
    }
    return true;
}

}  // namespace

int keyCodeFromName(const std::string& name) {
    for (const auto& [keyName, code] : KEY_NAMES)
        if (name == keyName) return code;
    return keyCodeFromHex(name);
}

bool parseInputScript(const std::string& text, std::vector<ScriptedInput>* events, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    std::vector<NumberedInput> numbered;
    std::vector<ScriptedInput> parsed;
    for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
        if (!parseLine(line, lineNumber, &parsed, error)) return false;
        for (const ScriptedInput& input : parsed) numbered.push_back({input, lineNumber});
        parsed.clear();
    }
    std::stable_sort(numbered.begin(), numbered.end(), [](const NumberedInput& a, const NumberedInput& b) {
        return a.input.frame < b.input.frame;
    });
    if (!checkPadIsPlugged(numbered, error)) return false;
    for (const NumberedInput& event : numbered) events->push_back(event.input);
    return true;
}
