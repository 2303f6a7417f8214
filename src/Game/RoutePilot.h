// A route for headless runs: the game played by following steps instead of
// keys at fixed frames, so that a play-through does not depend on how long
// loading takes. One step a line; "#" starts a comment:
//
//   screen TYPE     wait until the top screen is TYPE and fully shown
//   room NAME       wait until the room being played is the map NAME (the end
//                   of its path) and the character can move
//   walk X Y        walk until the character's centre is at tile X, Y
//                   (fractions allowed: 3.5 is the middle of column 3), or
//                   within 20 pixels of it and held by something
//                   solid (a door, a candle holder); a page that a
//                   checkpoint opens on the way ends the walk where it is,
//                   and a fall into a pit on the way ends the run
//   fall X Y        walk towards tile X, Y into a pit on purpose: done once
//                   the character has fallen and stands again
//   tap KEY         press and release a key (names as in input scripts)
//   hold KEY S      hold a key for S seconds of game time
//   wait S          do nothing for S seconds of game time
//   quit            end the run
//
// Steps follow each other within a frame: a step done, the next one starts
// at once, so that the game times a route reaches do not depend on the frame
// rate. A step not done within two minutes of game time, or a walk that
// stands still for two seconds, ends the run with a report naming the line.
// A route started to be played several times begins again at its first step
// once its last is done; once its last round is done, the run ends.
#pragma once

#include <string>
#include <vector>

enum class RouteAction { Screen, Room, Walk, Fall, Tap, Hold, Wait, Quit };

struct RouteStep {
    RouteAction action;
    int line;
    std::string text;  // the line as written, for reports
    std::string name;  // the screen type or map name
    float x = 0.0f;    // walk target in tiles, or seconds for hold and wait
    float y = 0.0f;
    int key = 0;
};

// Parses a route. On a malformed line returns false with error set to
// "LINE: problem".
bool parseRoute(const std::string& text, std::vector<RouteStep>* steps, std::string* error);

// Starts following the steps, rounds times over, reporting failures against
// the file's name.
void RoutePilotStart(std::vector<RouteStep> steps, const std::string& path, int rounds = 1);
// Runs the current step for this frame: posts the keys it needs.
void RoutePilotBeforeFrame(float dt);
// True once the route has ended the run: by "quit", by its last round, or by
// a failure, after which RoutePilotFailed is true and the report is on
// standard error.
bool RoutePilotEnded();
bool RoutePilotFailed();
// How many times the route has been played to its last step.
int RoutePilotRoundsDone();
