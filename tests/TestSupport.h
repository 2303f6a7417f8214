// Shared pieces of the tests: scratch directories, files, a headless
// engine, frames read back.
#pragma once

#include "Debug/Debug.h"
#include "Engine/Kestrel.h"
#include "Sandbox.h"
#include "Screens/Screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

// The frame drawn so far, read back from the engine.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    Frame() { EXPECT_TRUE(KESysReadPixels(&rgba, &width, &height)); }
    // Red, green, blue and alpha of one pixel.
    const unsigned char* at(int x, int y) const { return rgba.data() + (y * width + x) * 4; }
};

// What the fatal error body met said, with fatal errors thrown instead of
// ending the process; "(no fatal error)" when it met none.
inline std::string fatalMessageOf(const std::function<void()>& body) {
    try {
        const DebugFatalThrowScope throwing;
        body();
    } catch (const DebugFatalInterrupt& fatal) {
        return fatal.message;
    }
    return "(no fatal error)";
}

// body ends in a fatal error whose message matches pattern (POSIX extended,
// as death tests read theirs), in this process.
#define EXPECT_FATAL(body, pattern) \
    EXPECT_THAT(fatalMessageOf([&] { body; }), testing::ContainsRegex(pattern))

// Puts a screen on the stack, which owns it, and hands back where it went.
template <typename ScreenKind>
ScreenKind* pushScreen(std::unique_ptr<ScreenKind> screen) {
    ScreenKind* pushed = screen.get();
    addScreen(std::move(screen));
    return pushed;
}

// One line of the audio log: frame, action, name and value.
struct AudioLogLine {
    long frame = 0;
    std::string action, name, value;
    bool operator==(const AudioLogLine&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const AudioLogLine& line) {
    return out << line.frame << ' ' << line.action << ' ' << line.name << ' ' << line.value;
}

// The lines of the audio log at path, those of that action and name only when given.
inline std::vector<AudioLogLine> readAudioLog(const std::string& path, const std::string& action = "",
                                              const std::string& name = "") {
    std::ifstream file(path);
    std::vector<AudioLogLine> lines;
    for (std::string text; std::getline(file, text);) {
        std::istringstream fields(text);
        AudioLogLine line;
        std::string frame;
        std::getline(fields, frame, '\t');
        std::getline(fields, line.action, '\t');
        std::getline(fields, line.name, '\t');
        std::getline(fields, line.value);
        line.frame = std::stol(frame);
        if ((action.empty() || line.action == action) && (name.empty() || line.name == name))
            lines.push_back(line);
    }
    return lines;
}
