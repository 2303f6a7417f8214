#include "Game/RoutePilot.h"

#include "Content/Map.h"
#include "Engine/Kestrel.h"
#include "Engine/KeyCodes.h"
#include "Game/InputScript.h"
#include "Screens/PlayScreen.h"
#include "Screens/Screen.h"
#include "World/CharacterEntity.h"
#include "World/Room.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <utility>

namespace {

constexpr float STEP_SECONDS = 120.0f;  // a step not done by then has gone wrong
constexpr float STUCK_SECONDS = 2.0f;   // a walk that long without moving is stuck
// A frame moves the character less than twice this at frame times up to 1/16 s,
// so a walk cannot step over its target.
constexpr float ARRIVED_PIXELS = 4.0f;
// Pressed against something solid this close to the target, a walk is done:
// doors and candle holders are reached from against them.
constexpr float BLOCKED_PIXELS = 20.0f;
constexpr float BLOCKED_SECONDS = 0.3f;
constexpr float PROGRESS_PIXELS = 1.0f;
constexpr int WALK_KEYS[] = {KEY_A, KEY_D, KEY_W, KEY_S};

struct Pilot {
    std::vector<RouteStep> steps;
    std::string path;
    size_t current = 0;
    int rounds = 1;
    int roundsDone = 0;
    float stepSeconds = 0.0f;
    int stepFrames = 0;
    bool started = false;
    bool running = false;
    bool failed = false;
    bool walkKeyDown[4] = {};
    bool walkStarted = false;                                // the character has moved under this step
    bool fell = false;                                       // the character has fallen under this step
    float stillSeconds = 0.0f;                               // since the walk last came nearer its target
    float nearest = std::numeric_limits<float>::infinity();  // the walk's nearest to its target so far
};

Pilot pilot;

bool fail(std::string* error, int line, const std::string& problem) {
    *error = std::to_string(line) + ": " + problem;
    return false;
}

bool parseSeconds(std::istringstream& words, float* seconds) {
    return static_cast<bool>(words >> *seconds) && std::isfinite(*seconds) && *seconds >= 0.0f;
}

bool parseStep(const std::string& action, std::istringstream& words, RouteStep* step) {
    std::string keyName;
    if (action == "screen" || action == "room") {
        step->action = action == "screen" ? RouteAction::Screen : RouteAction::Room;
        return static_cast<bool>(words >> step->name);
    }
    if (action == "walk" || action == "fall") {
        step->action = action == "walk" ? RouteAction::Walk : RouteAction::Fall;
        return words >> step->x >> step->y && std::isfinite(step->x) && std::isfinite(step->y);
    }
    if (action == "tap" || action == "hold") {
        step->action = action == "tap" ? RouteAction::Tap : RouteAction::Hold;
        if (!(words >> keyName) || (step->key = keyCodeFromName(keyName)) < 0) return false;
        return step->action == RouteAction::Tap || parseSeconds(words, &step->x);
    }
    if (action == "wait") {
        step->action = RouteAction::Wait;
        return parseSeconds(words, &step->x);
    }
    step->action = RouteAction::Quit;
    return action == "quit";
}

// A line as an error quotes it: cut short, so that a binary file given as a
// route does not flood the terminal.
std::string quoted(const std::string& text) {
    constexpr size_t LONGEST = 80;
    return text.size() <= LONGEST ? text : text.substr(0, LONGEST) + "...";
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

Screen* topScreen() {
    return ScreenStackScreens().tail != nullptr ? ScreenStackScreens().tail->data : nullptr;
}

// The play screen the character's room belongs to.
const Screen* screenOf(const CharacterEntity* character) {
    return static_cast<const PlayScreen*>(character->room->owner);
}

// The character of the room on top, once it can be moved.
CharacterEntity* controllableCharacter() {
    CharacterEntity* character = currentCharacter;
    if (character == nullptr || screenOf(character) != topScreen()) return nullptr;
    if (topScreen()->state != ScreenState::Active || !character->hasControl || character->falling ||
        character->leavingRoom)
        return nullptr;
    return character;
}

void setWalkKeys(const bool down[4]) {
    for (int i = 0; i < 4; ++i) {
        if (pilot.walkKeyDown[i] == down[i]) continue;
        KEInputPostKey(WALK_KEYS[i], down[i]);
        pilot.walkKeyDown[i] = down[i];
    }
}

void releaseWalkKeys() {
    const bool none[4] = {};
    setWalkKeys(none);
}

bool roomIs(const std::string& name) {
    const CharacterEntity* character = controllableCharacter();
    if (character == nullptr) return false;
    const std::string& path = character->room->map->path;
    return path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0;
}

bool screenIs(const std::string& type) {
    const Screen* top = topScreen();
    return top != nullptr && top->state == ScreenState::Active && type == top->typeName();
}

// A page opened by a checkpoint on the way ends the walk where it stands.
bool coveredOnTheWay() {
    const Screen* top = topScreen();
    return pilot.walkStarted && currentCharacter != nullptr && top != screenOf(currentCharacter) &&
           top->state != ScreenState::TransitionOff;
}

bool isFalling() {
    return currentCharacter != nullptr && currentCharacter->falling;
}

// Heads straight for the target, one axis key each way; a route's waypoints
// keep walls out of the way. A walk makes progress while it comes a pixel
// nearer the target: a character held against something solid, pushed back
// by a fraction of a pixel each frame, makes none.
bool walkTowards(const RouteStep& step, float dt) {
    CharacterEntity* character = controllableCharacter();
    if (character == nullptr) {
        releaseWalkKeys();
        return coveredOnTheWay();
    }
    pilot.walkStarted = true;
    const float tile = static_cast<float>(character->room->map->tileWidth);
    const float dx = step.x * tile - (character->x + character->width * character->scale.x * 0.5f);
    const float dy = step.y * tile - (character->y + character->height * character->scale.y * 0.5f);
    const bool keys[4] = {dx<-ARRIVED_PIXELS, dx> ARRIVED_PIXELS, dy<-ARRIVED_PIXELS, dy> ARRIVED_PIXELS};
    setWalkKeys(keys);
    const float distance = std::hypot(dx, dy);
    if (distance < pilot.nearest - PROGRESS_PIXELS) {
        pilot.nearest = distance;
        pilot.stillSeconds = 0.0f;
    } else {
        pilot.stillSeconds += dt;
    }
    const bool blockedClose = pilot.stillSeconds > BLOCKED_SECONDS && std::fabs(dx) <= BLOCKED_PIXELS &&
                              std::fabs(dy) <= BLOCKED_PIXELS;
    if (blockedClose) releaseWalkKeys();
    return blockedClose || !(keys[0] || keys[1] || keys[2] || keys[3]);
}

// Presses on the step's first frame and releases after its time.
bool pressFor(const RouteStep& step, float seconds) {
    if (pilot.stepFrames == 0) KEInputPostKey(step.key, true);
    if (pilot.stepFrames == 0 || pilot.stepSeconds < seconds) return false;
    KEInputPostKey(step.key, false);
    return true;
}

void report(const RouteStep& step, const char* problem) {
    const CharacterEntity* character = currentCharacter;
    std::fprintf(stderr, "halcyra: route %s:%d: '%s' %s (room %s, character's top-left at %.0f, %.0f)\n",
                 pilot.path.c_str(), step.line, step.text.c_str(), problem,
                 character != nullptr ? character->room->map->path.c_str() : "none",
                 character != nullptr ? static_cast<double>(character->x) : 0.0,
                 character != nullptr ? static_cast<double>(character->y) : 0.0);
    releaseWalkKeys();
    pilot.running = false;
    pilot.failed = true;
}

// Into the pit and out again: done once the character stands after the
// fall. Standing on a pit that has not opened yet, it waits for it.
bool fallInto(const RouteStep& step, float dt) {
    if (!pilot.fell && isFalling()) {
        pilot.fell = true;
        pilot.stillSeconds = 0.0f;
        releaseWalkKeys();
    }
    if (pilot.fell) return controllableCharacter() != nullptr;
    walkTowards(step, dt);
    return false;
}

bool stepDone(const RouteStep& step, float dt) {
    switch (step.action) {
        case RouteAction::Screen:
            return screenIs(step.name);
        case RouteAction::Room:
            return roomIs(step.name);
        case RouteAction::Walk:
            if (!isFalling()) return walkTowards(step, dt);
            report(step, "fell into a pit");
            return false;
        case RouteAction::Fall:
            return fallInto(step, dt);
        case RouteAction::Tap:
            return pressFor(step, 0.0f);
        case RouteAction::Hold:
            return pressFor(step, step.x);
        case RouteAction::Wait:
            return pilot.stepSeconds >= step.x;
        case RouteAction::Quit:
            pilot.running = false;
            return true;
    }
    return true;
}

bool overdue(const RouteStep& step) {
    const float allowed =
        STEP_SECONDS + (step.action == RouteAction::Hold || step.action == RouteAction::Wait ? step.x : 0.0f);
    return pilot.stepSeconds > allowed;
}

// False once the route has ended the run.
bool nextStep() {
    if (++pilot.current < pilot.steps.size()) return true;
    pilot.current = 0;
    if (++pilot.roundsDone < pilot.rounds) return true;
    releaseWalkKeys();
    pilot.running = false;
    return false;
}

// A timed step (wait, hold, tap) ends on the first frame past its time; the
// next step starts with that overrun already counted, so that a route's
// times add up alike at any frame rate.
float timeOverrun(const RouteStep& step) {
    switch (step.action) {
        case RouteAction::Wait:
        case RouteAction::Hold:
            return std::max(0.0f, pilot.stepSeconds - step.x);
        case RouteAction::Tap:
            return pilot.stepSeconds;
        default:
            return 0.0f;
    }
}

void startStep(float overrun) {
    pilot.stepSeconds = overrun;
    pilot.stepFrames = 0;
    pilot.stillSeconds = 0.0f;
    pilot.nearest = std::numeric_limits<float>::infinity();
    pilot.walkStarted = false;
    pilot.fell = false;
}

}  // namespace

bool parseRoute(const std::string& text, std::vector<RouteStep>* steps, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string step = trimmed(line.substr(0, line.find('#')));
        std::istringstream words(step);
        std::string action, extra;
        if (!(words >> action)) continue;
        RouteStep parsed{RouteAction::Quit, number, step, "", 0.0f, 0.0f, 0};
        if (!parseStep(action, words, &parsed))
            return fail(error, number, "cannot read '" + quoted(step) + "'");
        if (words >> extra) return fail(error, number, "unexpected '" + quoted(extra) + "' after the step");
        steps->push_back(parsed);
    }
    return true;
}

void RoutePilotStart(std::vector<RouteStep> steps, const std::string& path, int rounds) {
    pilot.steps = std::move(steps);
    pilot.path = path;
    pilot.rounds = rounds;
    pilot.started = true;
    // A route without steps has nothing to play: the run ends at once.
    pilot.running = !pilot.steps.empty();
}

// A step done hands over to the next within the frame, a round at most.
void RoutePilotBeforeFrame(float dt) {
    for (size_t done = 0; pilot.running && done <= pilot.steps.size(); ++done) {
        const RouteStep& step = pilot.steps[pilot.current];
        if (!stepDone(step, dt)) {
            if (!pilot.running) return;
            pilot.stepSeconds += dt;
            ++pilot.stepFrames;
            if (pilot.stillSeconds > STUCK_SECONDS) report(step, "is stuck");
            else if (overdue(step)) report(step, "not done in time");
            return;
        }
        const float overrun = timeOverrun(step);
        if (!pilot.running || !nextStep()) return;
        startStep(overrun);
        if (pilot.current == 0) return;
    }
}

bool RoutePilotEnded() {
    return pilot.started && !pilot.running;
}

bool RoutePilotFailed() {
    return pilot.failed;
}

int RoutePilotRoundsDone() {
    return pilot.roundsDone;
}
