#include "Game/Harness.h"

#include "Audio/EventAudio.h"
#include "Audio/SoundManager.h"
#include "Content/Map.h"
#include "Content/Settings.h"
#include "Effects/BlackOutEffect.h"
#include "Engine/Kestrel.h"
#include "Engine/ProcessMemory.h"
#include "Game/RoutePilot.h"
#include "Screens/PlayScreen.h"
#include "Screens/Screen.h"
#include "World/CharacterEntity.h"
#include "World/GameProgress.h"
#include "World/Room.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace {

// The renderer holds frames up to this many pixels a side.
constexpr int MAX_DESKTOP_SIDE = 8192;
// A soak of a day plays the route a few hundred times; more is a typo.
constexpr int MAX_ROUTE_ROUNDS = 100000;

const char USAGE[] =
    "usage: halcyra [options]\n"
    "  --headless            no window and no audio device; frames render offscreen\n"
    "  --desktop WxH         the desktop size the game sees\n"
    "  --windowed            an ordinary window instead of borderless full screen\n"
    "  --fixed-dt S          every frame lasts S seconds\n"
    "  --frames N            end normally after N frames\n"
    "  --seed N              seed the random generator with N instead of the time\n"
    "  --input FILE          scripted keys and pad, lines 'FRAME down|up|tap KEY', 'FRAME stick X Y'\n"
    "                        and 'FRAME pad plug|unplug'\n"
    "  --after-loading       --input and --screenshot frames count from the first frame after loading\n"
    "  --route FILE          play by steps: screen, room, walk, tap, hold, wait, quit\n"
    "  --route-repeat N      play the route N times over\n"
    "  --screenshot N:FILE   write the frame drawn in frame N as PNG (repeatable)\n"
    "  --state-log FILE      one JSON object per frame\n"
    "  --audio-log FILE      one line per audio action\n"
    "  --memory-log FILE     memory use as CSV, a line per game minute and per round of the route\n"
    "  --frame-times FILE    each frame's wall-clock time as CSV, with the screens it showed; under\n"
    "                        --fixed-dt no frame waits, so the times are the frames' work\n"
    "  --room PATH[#ID]      after loading, play that map entered through spawn point ID (default 0)\n"
    "  --check-assets        load and complete every preloaded asset, print a summary, exit\n"
    "  --no-raster           draw nothing into the frames (long runs that need only the logs)\n";

struct Harness {
    HarnessOptions options;
    std::vector<ScriptedInput> script;
    size_t nextScripted = 0;
    long scriptOrigin = 0;  // the loop frame of scripted frame 0; -1 until loading is over
    FILE* stateLog = nullptr;
    FILE* memoryLog = nullptr;
    FILE* frameTimes = nullptr;
    std::chrono::steady_clock::time_point frameStart;
    double gameSeconds = 0.0;
    long nextMemoryMinute = 0;
    int roundsLogged = 0;
    float lastFrameTime = 0.0f;
};

Harness harness;

template <typename Number>
bool parseNumber(const std::string& text, Number* value) {
    const char* end = text.data() + text.size();
    auto [stop, status] = std::from_chars(text.data(), end, *value);
    return !text.empty() && status == std::errc() && stop == end;
}

bool parseDesktop(const std::string& text, KEPlatformOptions* platform) {
    size_t x = text.find('x');
    if (x == std::string::npos) return false;
    int width = 0;
    int height = 0;
    if (!parseNumber(text.substr(0, x), &width) || !parseNumber(text.substr(x + 1), &height)) return false;
    if (width <= 0 || height <= 0 || width > MAX_DESKTOP_SIDE || height > MAX_DESKTOP_SIDE) return false;
    platform->desktopWidth = width;
    platform->desktopHeight = height;
    return true;
}

bool parseScreenshot(const std::string& text, std::vector<Screenshot>* screenshots) {
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 == text.size()) return false;
    long frame = 0;
    if (!parseNumber(text.substr(0, colon), &frame) || frame < 0) return false;
    screenshots->push_back({frame, text.substr(colon + 1)});
    return true;
}

bool parseRoom(const std::string& text, HarnessOptions* options) {
    size_t hash = text.rfind('#');
    options->roomPath = text.substr(0, hash);
    if (options->roomPath.empty()) return false;
    if (hash == std::string::npos) return true;
    return parseNumber(text.substr(hash + 1), &options->roomEntryId);
}

// Applies one option that takes a value; false when the value is malformed,
// with what was expected in expected.
bool applyValue(const std::string& option, const std::string& value, HarnessOptions* options,
                std::string* expected) {
    if (option == "--desktop") {
        *expected = "a size WxH such as 1920x1080, at most 8192 a side";
        return parseDesktop(value, &options->platform);
    }
    if (option == "--fixed-dt") {
        *expected = "a frame time in seconds above 0 and at most 1";
        float dt = 0.0f;
        if (!parseNumber(value, &dt) || !std::isfinite(dt) || dt <= 0.0f || dt > 1.0f) return false;
        options->platform.fixedFrameTime = dt;
        return true;
    }
    if (option == "--frames") {
        *expected = "a whole number of frames above 0";
        return parseNumber(value, &options->frameLimit) && options->frameLimit > 0;
    }
    if (option == "--seed") {
        *expected = "a whole number from 0 to 4294967295";
        options->seeded = true;
        return parseNumber(value, &options->seed);
    }
    if (option == "--screenshot") {
        *expected = "FRAME:FILE such as 10:shot.png";
        return parseScreenshot(value, &options->screenshots);
    }
    if (option == "--room") {
        *expected = "a map path, optionally followed by #ID";
        return parseRoom(value, options);
    }
    if (option == "--route-repeat") {
        *expected = "a whole number of times from 1 to 100000";
        return parseNumber(value, &options->routeRounds) && options->routeRounds >= 1 &&
               options->routeRounds <= MAX_ROUTE_ROUNDS;
    }
    *expected = "a file name";
    if (option == "--input") options->inputPath = value;
    if (option == "--route") options->routePath = value;
    if (option == "--state-log") options->stateLogPath = value;
    if (option == "--audio-log") options->audioLogPath = value;
    if (option == "--memory-log") options->memoryLogPath = value;
    if (option == "--frame-times") options->frameTimesPath = value;
    return !value.empty();
}

bool takesValue(const std::string& option) {
    for (const char* name :
         {"--desktop", "--fixed-dt", "--frames", "--seed", "--input", "--screenshot", "--state-log",
          "--audio-log", "--room", "--route", "--route-repeat", "--memory-log", "--frame-times"})
        if (option == name) return true;
    return false;
}

// A directory opens as a stream that reads nothing: it is refused as
// unreadable, like a missing file.
bool readFile(const std::string& path, std::string* text) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        errno = EISDIR;
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    *text = contents.str();
    return !file.bad();
}

int reportStartError(const std::string& error) {
    std::fprintf(stderr, "halcyra: %s\n", error.c_str());
    return 2;
}

bool loadRoute(const std::string& path, std::string* error) {
    std::string text;
    if (!readFile(path, &text)) {
        *error = "cannot read route '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::vector<RouteStep> steps;
    std::string problem;
    if (!parseRoute(text, &steps, &problem)) {
        *error = path + ":" + problem;
        return false;
    }
    RoutePilotStart(std::move(steps), path, harness.options.routeRounds);
    return true;
}

bool loadScript(const std::string& path, std::string* error) {
    std::string text;
    if (!readFile(path, &text)) {
        *error = "cannot read input script '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::string problem;
    if (parseInputScript(text, &harness.script, &problem)) return true;
    *error = path + ":" + problem;
    return false;
}

const char* jsonBool(bool value) {
    return value ? "true" : "false";
}

void writeScreens(FILE* log) {
    std::fputs("[", log);
    const char* separator = "";
    for (Screen* screen : ScreenStackScreens()) {
        std::fprintf(log, "%s{\"type\":\"%s\",\"state\":%d}", separator, screen->typeName(),
                     static_cast<int>(screen->state));
        separator = ",";
    }
    std::fputs("]", log);
}

// Text as a JSON string, or null.
void writeJsonString(FILE* log, const char* text) {
    if (text == nullptr) {
        std::fputs("null", log);
        return;
    }
    std::fputc('"', log);
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        if (*c == '"' || *c == '\\') std::fprintf(log, "\\%c", *c);
        else if (*c < 0x20) std::fprintf(log, "\\u%04x", *c);
        else std::fputc(*c, log);
    }
    std::fputc('"', log);
}

void writeCharacter(FILE* log, const CharacterEntity* character) {
    if (character == nullptr) {
        std::fputs("null", log);
        return;
    }
    std::fprintf(log,
                 "{\"x\":%.9g,\"y\":%.9g,\"candleLife\":%.9g,\"inLight\":%s,\"hasJournal\":%s,"
                 "\"hasControl\":%s,\"falling\":%s,\"isMoving\":%s}",
                 static_cast<double>(character->x), static_cast<double>(character->y),
                 static_cast<double>(character->candleLife), jsonBool(character->inLight),
                 jsonBool(character->hasJournal), jsonBool(character->hasControl),
                 jsonBool(character->falling), jsonBool(character->isMoving));
}

void writeKeys(FILE* log) {
    std::fputs("[", log);
    const char* separator = "";
    for (int32_t keyId : gameProgress.collectedKeyIds) {
        if (keyId == 0) continue;
        std::fprintf(log, "%s%d", separator, keyId);
        separator = ",";
    }
    std::fputs("]", log);
}

// The bound keys as "W Up,A Left,...", or "default".
std::string boundKeys(const KeyBindings& keys) {
    if (keys == Settings::defaultKeyBindings()) return "default";
    std::string text;
    for (const auto& pair : keys) {
        if (!text.empty()) text += ",";
        text += std::string(keyName(pair[0])) + (pair[1] != NO_KEY ? " " : "") + keyName(pair[1]);
    }
    return text;
}

// The settings in force; the window as the engine has it.
void writeSettings(FILE* log) {
    const Settings& settings = SettingsCurrent();
    int width = 0, height = 0;
    KESysGetWindowSize(&width, &height);
    const std::string window =
        KESysIsFullScreen() ? "full screen" : std::to_string(width) + "x" + std::to_string(height);
    std::fprintf(log,
                 "{\"masterVolume\":%d,\"musicVolume\":%d,\"effectsVolume\":%d,\"narrationVolume\":%d,"
                 "\"window\":\"%s\","
                 "\"brightness\":%d,\"light\":\"%s\",\"reduceFlashing\":%s,\"keys\":",
                 settings.masterVolume, settings.musicVolume, settings.effectsVolume,
                 settings.narrationVolume, window.c_str(), settings.brightness,
                 settings.smoothLight ? "smooth" : "tiles", jsonBool(settings.reduceFlashing));
    writeJsonString(log, boundKeys(settings.keys).c_str());
    std::fputs("}", log);
}

// The room fields come from the room being played: the current character's.
void writeStateLine(long frame, float dt) {
    FILE* log = harness.stateLog;
    const Room* room = currentCharacter != nullptr ? currentCharacter->room : nullptr;
    const auto* screen = room != nullptr ? static_cast<const PlayScreen*>(room->owner) : nullptr;
    std::fprintf(log, "{\"frame\":%ld,\"dt\":%.9g,\"screens\":", frame, static_cast<double>(dt));
    writeScreens(log);
    std::fputs(",\"room\":", log);
    writeJsonString(log, room != nullptr ? room->map->path.c_str() : nullptr);
    std::fputs(",\"character\":", log);
    writeCharacter(log, currentCharacter);
    std::fputs(",\"prompt\":", log);
    writeJsonString(log, room != nullptr ? room->prompt : nullptr);
    std::fprintf(log, ",\"music\":%d,\"ambience\":%d,\"lastCheckpointId\":", SoundManagerMusicState(),
                 SoundManagerAmbienceState());
    if (screen != nullptr) std::fprintf(log, "%d", gameProgress.lastCheckpointId);
    else std::fputs("null", log);
    std::fputs(",\"keys\":", log);
    writeKeys(log);
    std::fputs(",\"blackout\":", log);
    if (screen != nullptr) std::fprintf(log, "%.9g", static_cast<double>(screen->blackout->opacity));
    else std::fputs("null", log);
    std::fprintf(log, ",\"progress\":%s,\"settings\":", gameProgressJson(gameProgress).c_str());
    writeSettings(log);
    std::fputs("}\n", log);
    std::fflush(log);
}

void applyScripted(const ScriptedInput& event) {
    switch (event.kind) {
        case ScriptedKind::KEY:
            KEInputPostKey(event.code, event.down);
            break;
        case ScriptedKind::PAD_BUTTON:
            KEInputSetVirtualPadButton(static_cast<KEPadButton>(event.code), event.down);
            break;
        case ScriptedKind::STICK:
            KEInputSetVirtualPadStick(event.x, event.y);
            break;
        case ScriptedKind::PAD_PLUG:
            KEInputPlugVirtualPad();
            break;
        case ScriptedKind::PAD_UNPLUG:
            KEInputUnplugVirtualPad();
            break;
    }
}

// The files named on the command line are the player's; --room names a map,
// which is data.
void findUserFilesFrom(const std::string& startDirectory, HarnessOptions* options) {
    auto resolve = [&](std::string* path) {
        if (!path->empty()) *path = (std::filesystem::path(startDirectory) / *path).string();
    };
    for (std::string* path : {&options->inputPath, &options->routePath, &options->stateLogPath,
                              &options->audioLogPath, &options->memoryLogPath, &options->frameTimesPath})
        resolve(path);
    for (Screenshot& screenshot : options->screenshots) resolve(&screenshot.path);
}

bool openFrameTimes(const std::string& path) {
    harness.frameTimes = std::fopen(path.c_str(), "w");
    if (harness.frameTimes == nullptr) return false;
    std::fputs("frame,screens,milliseconds\n", harness.frameTimes);
    return true;
}

// The screens from the bottom, joined by '+'.
void writeFrameTime(long frame) {
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - harness.frameStart;
    std::fprintf(harness.frameTimes, "%ld,", frame);
    const char* separator = "";
    for (const Screen* screen : ScreenStackScreens()) {
        std::fprintf(harness.frameTimes, "%s%s", separator, screen->typeName());
        separator = "+";
    }
    std::fprintf(harness.frameTimes, ",%.3f\n", spent.count());
}

void writeMemoryLine(const char* sample) {
    const KEProcessMemory memory = KESysProcessMemory();
    std::fprintf(harness.memoryLog, "%.3f,%d,%ld,%ld,%s\n", harness.gameSeconds / 60.0,
                 RoutePilotRoundsDone(), memory.residentKiB, memory.heapKiB, sample);
    std::fflush(harness.memoryLog);
}

// A line at every whole game minute, one as each round of the route ends (at
// the same step each time, so those compare), and one on the run's last frame.
void logMemory(float dt, bool lastFrame) {
    harness.gameSeconds += dt;
    if (RoutePilotRoundsDone() > harness.roundsLogged) {
        harness.roundsLogged = RoutePilotRoundsDone();
        writeMemoryLine("round-end");
    } else if (harness.gameSeconds >= static_cast<double>(harness.nextMemoryMinute) * 60.0) {
        ++harness.nextMemoryMinute;
        writeMemoryLine("minute");
    } else if (lastFrame) {
        writeMemoryLine("end");
    }
}

bool openMemoryLog(const std::string& path) {
    harness.memoryLog = std::fopen(path.c_str(), "w");
    if (harness.memoryLog == nullptr) return false;
    std::fputs("game_minute,round,rss_kib,heap_kib,sample\n", harness.memoryLog);
    return true;
}

}  // namespace

bool parseHarnessOptions(int argc, char** argv, HarnessOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--headless") options->platform.headless = true;
        else if (option == "--windowed") options->platform.windowed = true;
        else if (option == "--no-raster") options->rasterise = false;
        else if (option == "--after-loading") options->inputAfterLoading = true;
        else if (option == "--check-assets") options->checkAssets = options->platform.headless = true;
        else if (option == "--help" || option == "-h") options->showHelp = true;
        else if (!takesValue(option)) {
            *error = "unknown option '" + option + "' (try --help)";
            return false;
        } else if (i + 1 >= argc) {
            *error = option + ": missing value";
            return false;
        } else {
            std::string value = argv[++i];
            std::string expected;
            if (!applyValue(option, value, options, &expected)) {
                *error = option + ": expected " + expected + ", got '" + value + "'";
                return false;
            }
        }
    }
    if (options->routeRounds > 1 && options->routePath.empty()) {
        *error = "--route-repeat: there is no --route to repeat";
        return false;
    }
    return true;
}

int HarnessStart(int argc, char** argv, const std::string& startDirectory) {
    std::string error;
    if (!parseHarnessOptions(argc, argv, &harness.options, &error)) return reportStartError(error);
    if (!startDirectory.empty()) findUserFilesFrom(startDirectory, &harness.options);
    if (harness.options.showHelp) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (!harness.options.inputPath.empty() && !loadScript(harness.options.inputPath, &error))
        return reportStartError(error);
    if (harness.options.inputAfterLoading) harness.scriptOrigin = -1;
    if (!harness.options.routePath.empty() && !loadRoute(harness.options.routePath, &error))
        return reportStartError(error);
    if (!harness.options.stateLogPath.empty()) {
        harness.stateLog = std::fopen(harness.options.stateLogPath.c_str(), "w");
        if (harness.stateLog == nullptr)
            return reportStartError("cannot write state log '" + harness.options.stateLogPath +
                                    "': " + std::strerror(errno));
    }
    if (!harness.options.audioLogPath.empty() && !AudioLogOpen(harness.options.audioLogPath.c_str()))
        return reportStartError("cannot write audio log '" + harness.options.audioLogPath +
                                "': " + std::strerror(errno));
    if (!harness.options.memoryLogPath.empty() && !openMemoryLog(harness.options.memoryLogPath))
        return reportStartError("cannot write memory log '" + harness.options.memoryLogPath +
                                "': " + std::strerror(errno));
    if (!harness.options.frameTimesPath.empty() && !openFrameTimes(harness.options.frameTimesPath))
        return reportStartError("cannot write frame times '" + harness.options.frameTimesPath +
                                "': " + std::strerror(errno));
    KESysConfigure(harness.options.platform);
    KEGfxSetRasterising(harness.options.rasterise);
    // Fades and one-shots keep time with the frames, so logs repeat.
    AudioConfigureTimeStep(harness.options.platform.fixedFrameTime);
    return -1;
}

const char* HarnessRoomPath() {
    return harness.options.roomPath.empty() ? nullptr : harness.options.roomPath.c_str();
}

int32_t HarnessRoomEntryId() {
    return harness.options.roomEntryId;
}

bool HarnessCheckAssets() {
    return harness.options.checkAssets;
}

int HarnessExitCode() {
    return RoutePilotFailed() ? 3 : 0;
}

unsigned HarnessRandomSeed() {
    return harness.options.seeded ? harness.options.seed : static_cast<unsigned>(std::time(nullptr));
}

// Loading takes as long as the machine makes it: a script that starts
// after it runs the same on every machine.
bool loadingIsOver() {
    for (Screen* screen : ScreenStackScreens())
        if (std::strcmp(screen->typeName(), "LoadingScreen") == 0) return false;
    return true;
}

void HarnessBeforeFrame(long frame) {
    harness.frameStart = std::chrono::steady_clock::now();
    AudioLogSetFrame(frame);
    if (harness.scriptOrigin < 0 && loadingIsOver()) harness.scriptOrigin = frame;
    while (harness.scriptOrigin >= 0 && harness.nextScripted < harness.script.size() &&
           harness.script[harness.nextScripted].frame <= frame - harness.scriptOrigin) {
        applyScripted(harness.script[harness.nextScripted++]);
    }
    RoutePilotBeforeFrame(harness.lastFrameTime);
}

void HarnessAfterDraw(long frame) {
    if (harness.scriptOrigin < 0) return;
    for (const Screenshot& screenshot : harness.options.screenshots)
        if (screenshot.frame == frame - harness.scriptOrigin && !KESysSaveScreenshot(screenshot.path.c_str()))
            std::fprintf(stderr, "halcyra: could not write screenshot '%s'\n", screenshot.path.c_str());
}

bool HarnessAfterFrame(long frame, float dt) {
    if (harness.stateLog != nullptr) writeStateLine(frame, dt);
    if (harness.frameTimes != nullptr) writeFrameTime(frame);
    harness.lastFrameTime = dt;
    const bool moreFrames =
        !RoutePilotEnded() && (harness.options.frameLimit == 0 || frame + 1 < harness.options.frameLimit);
    if (harness.memoryLog != nullptr) logMemory(dt, !moreFrames);
    return moreFrames;
}
