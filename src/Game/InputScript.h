// Scripted keyboard input for headless runs and tests.
//
// One event a line: "FRAME down|up|tap KEY". KEY is a name (W A S D E P UP
// DOWN LEFT RIGHT SPACE ENTER ESCAPE SHIFT GRAVE) or a code 0xNN; "tap" is
// down at FRAME and up at FRAME + 1; "#" starts a comment; frame 0 is the
// first pass of the frame loop.
#pragma once

#include <string>
#include <vector>

struct ScriptedKey {
    long frame;
    int key;  // virtual-key code
    bool down;
};

// The key's virtual-key code, or -1 when the name is unknown.
int keyCodeFromName(const std::string& name);

// Parses the script's text into events ordered by frame (lines of one frame
// keep their order). On a malformed line, returns false with error set to
// "LINE: problem".
bool parseInputScript(const std::string& text, std::vector<ScriptedKey>* events, std::string* error);
