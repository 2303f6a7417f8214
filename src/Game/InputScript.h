// Scripted keyboard and gamepad input for headless runs and tests.
//
// One event a line: "FRAME down|up|tap KEY", "FRAME stick X Y" or
// "FRAME pad plug|unplug". KEY is a key name (W A S D E P UP DOWN LEFT RIGHT
// SPACE ENTER ESCAPE SHIFT GRAVE), a code 0xNN or a button of the virtual
// pad (PAD_A PAD_B PAD_START PAD_UP PAD_DOWN PAD_LEFT PAD_RIGHT); "stick"
// places the pad's left stick, X and Y from -1 to 1 with Y pointing down.
// "tap" is down at FRAME and up at FRAME + 1; "#" starts a comment; frame 0
// is the first pass of the frame loop. The pad's buttons and stick need it
// plugged in by an earlier "pad plug".
#pragma once

#include <string>
#include <vector>

enum class ScriptedKind { KEY, PAD_BUTTON, STICK, PAD_PLUG, PAD_UNPLUG };

struct ScriptedInput {
    long frame;
    ScriptedKind kind;
    int code;   // KEY: virtual-key code; PAD_BUTTON: KEPadButton
    bool down;  // KEY and PAD_BUTTON
    float x;    // STICK
    float y;
};

// The key's virtual-key code, or -1 when the name is unknown.
int keyCodeFromName(const std::string& name);

// Parses the script's text into events ordered by frame (lines of one frame
// keep their order). On a malformed line, returns false with error set to
// "LINE: problem".
bool parseInputScript(const std::string& text, std::vector<ScriptedInput>* events, std::string* error);
