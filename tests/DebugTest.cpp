#include "Debug/Debug.h"
#include "Engine/Kestrel.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

// A fatal error three callers deep; exported (-rdynamic) so the call stack can
// name them.
[[noreturn]] [[gnu::noinline]] void fatalChainCaller1() {
    DebugFatalError("Could not load %s", "src\\World\\Room.cpp", "new_Room", 42, "Assets\\Maps\\cellar.json");
}
[[noreturn]] [[gnu::noinline]] void fatalChainCaller2() {
    fatalChainCaller1();
}
[[noreturn]] [[gnu::noinline]] void fatalChainCaller3() {
    fatalChainCaller2();
}

namespace {

const std::string rule(48, '=');

// A call stack line: the demangled name and the function's start address.
std::string stackLine(const char* name, void (*function)()) {
    char line[128];
    std::snprintf(line, sizeof line, " - %s() (0x%lX)\n", name, reinterpret_cast<unsigned long>(function));
    return line;
}

// The report's end: the blank line after the stack, the time stamp ending in
// column 48 and the closing rule.
std::string closing(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[81];
    const size_t length = std::strftime(stamp, sizeof stamp, "%x - %I:%M%p", &local);
    return "\n\n" + std::string(48 - length, ' ') + stamp + "\n" + rule + "\n\n";
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
    }
    return found;
}

class DebugTraceTest : public testing::Test {
protected:
    void SetUp() override {
        // Forked children keep the parent's addresses, so symbol addresses can be compared.
        GTEST_FLAG_SET(death_test_style, "fast");
        char pattern[] = "/tmp/halcyra-debug-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Runs the fatal path in a child process, as the game would, with exit code 1.
    template <typename Fatal>
    void crash(Fatal fatal, const char* stderrPattern = "FATAL ERROR") {
        EXPECT_EXIT(
            {
                KEPlatformOptions options;
                options.headless = true;
                KESysConfigure(options);
                if (chdir(directory.c_str()) != 0) std::abort();
                DebugOpenTrace();
                fatal();
            },
            testing::ExitedWithCode(1), stderrPattern);
    }

    std::string trace() const {
        std::ifstream file(directory + "/Debug.Trace.txt");
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::string directory;
};

TEST_F(DebugTraceTest, ReportShowsMessagePositionCallersAndTimeStamp) {
    const std::time_t before = std::time(nullptr);
    crash(fatalChainCaller3);
    const std::time_t after = std::time(nullptr);
    const std::string report = trace();
    const std::string head =
        rule + "\n----------------- FATAL ERROR ------------------\n\n" +
        "Could not load Assets\\Maps\\cellar.json\n\n" +
        "File: Room.cpp\nFunction: new_Room\nLine Number: 42\n\n" + "Call Stack\n----------\n\n" +
        stackLine("fatalChainCaller1", fatalChainCaller1) +
        stackLine("fatalChainCaller2", fatalChainCaller2) + stackLine("fatalChainCaller3", fatalChainCaller3);
    EXPECT_EQ(report.substr(0, head.size()), head);
    EXPECT_TRUE(report.ends_with(closing(before)) || report.ends_with(closing(after))) << report;
}

TEST_F(DebugTraceTest, EveryFatalRunAppendsItsReport) {
    crash([] { FATAL_ERROR("%s", std::string(3000, 'x').c_str()); });
    crash([] { DebugFatalError("second", "C:\\Halcyra\\src\\Game.cpp", "initGame", 1); });
    crash([] { DebugFatalError("third", "a/b\\c.cpp", "f", 1); });
    crash([] { ALLOCATION_FAILURE("new_List"); });
    crash([] { std::get_new_handler()(); });
    const std::string report = trace();
    EXPECT_EQ(linesStartingWith(report, "File: "),
              (std::vector<std::string>{"DebugTest.cpp", "Game.cpp", "c.cpp", "DebugTest.cpp", "Debug.cpp"}));
    EXPECT_EQ(linesStartingWith(report, "Function: "),
              (std::vector<std::string>{"operator()", "initGame", "f", "new_List", "operator new"}));
    EXPECT_EQ(linesStartingWith(report, "Unable to allocate memory.").size(), 2u);
    // The message stops at 1024 characters.
    EXPECT_NE(report.find("\n" + std::string(1024, 'x') + "\n\nFile: "), std::string::npos);
    EXPECT_EQ(report.find(std::string(1025, 'x')), std::string::npos);
}

TEST_F(DebugTraceTest, WithoutTraceFileTheProcessSaysWhyAndStillEnds) {
    mkdir((directory + "/Debug.Trace.txt").c_str(), 0700);
    crash([] { FATAL_ERROR("no trace"); },
          "cannot open the crash trace 'Debug.Trace.txt': Is a directory.*FATAL ERROR.*"
          "Please contact a developer with the debug trace\\.\n$");
}

// A trace that is a link, a FIFO or a directory is never written through nor
// waited on; a new one is the player's alone.
TEST_F(DebugTraceTest, TheTraceIsNeverFollowedNorWaitedOnAndIsPrivate) {
    const std::string trace = directory + "/Debug.Trace.txt";
    const std::string elsewhere = directory + "/elsewhere.txt";
    std::ofstream(elsewhere) << "someone else's\n";
    struct Case {
        const char* what;
        std::function<void()> make;
        const char* said;
    };
    const Case cases[] = {
        {"a link", [&] { ASSERT_EQ(symlink(elsewhere.c_str(), trace.c_str()), 0); }, "symbolic links"},
        {"a FIFO", [&] { ASSERT_EQ(mkfifo(trace.c_str(), 0600), 0); }, "No such device or address"},
        {"a directory", [&] { ASSERT_EQ(mkdir(trace.c_str(), 0700), 0); }, "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(trace);
        c.make();
        crash([] { FATAL_ERROR("no trace"); },
              (std::string("cannot open the crash trace 'Debug.Trace.txt': .*") + c.said + ".*FATAL ERROR")
                  .c_str());
    }
    std::ifstream file(elsewhere);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()),
              "someone else's\n");
    std::filesystem::remove_all(trace);
    crash([] { FATAL_ERROR("traced"); });
    struct stat status {};
    ASSERT_EQ(stat(trace.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

// An installed game's trace: XDG_STATE_HOME when it is an absolute path, as
// the XDG base directories have it, else under HOME, else nowhere.
TEST(DebugStateDirectory, FollowsXdgStateHomeThenHome) {
    struct Case {
        const char* xdgStateHome;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/run/state", "/home/player", "/run/state/halcyra"},
        {nullptr, "/home/player", "/home/player/.local/state/halcyra"},
        {"", "/home/player", "/home/player/.local/state/halcyra"},
        {"state", "/home/player", "/home/player/.local/state/halcyra"},
        {"state", "player", ""},
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DebugStateDirectory(c.xdgStateHome, c.home), c.expected)
            << (c.xdgStateHome ? c.xdgStateHome : "(unset)") << ", " << (c.home ? c.home : "(unset)");
}

TEST(DebugCrashNotice, PointsToTheTraceAndShortensLongDirectories) {
    const std::string notice = "Please contact a developer with the debug trace.";
    char text[1100];
    DebugFormatCrashNotice(text, 1024, "/home/player/Halcyra");
    EXPECT_EQ(std::string(text), notice + "\n\n/home/player/Halcyra/Debug.Trace.txt");
    DebugFormatCrashNotice(text, 1024, nullptr);
    EXPECT_EQ(std::string(text), notice);

    const std::string longDirectory = "/start" + std::string(2000, 'd') + "/end";
    std::fill(std::begin(text), std::end(text), '#');
    DebugFormatCrashNotice(text, 1024, longDirectory.c_str());
    const std::string shortened(text);
    EXPECT_EQ(shortened.size(), 1023u);
    EXPECT_EQ(shortened.rfind(notice + "\n\n...ddd", 0), 0u);
    EXPECT_TRUE(shortened.ends_with("ddd/end/Debug.Trace.txt"));
    EXPECT_EQ(text[1024], '#');
}

}  // namespace

TEST(DebugWarningTest, EachDistinctWarningIsEchoedOnceOnOneLine) {
    testing::internal::CaptureStderr();
    for (int time = 0; time < 3; ++time)
        WARNING("Map %s has no spawn point %d.\nUsing the first.", "hall", 4);
    WARNING("Map %s has no spawn point %d.\nUsing the first.", "hall", 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "halcyra: warning: Map hall has no spawn point 4. Using the first.\n"
              "halcyra: warning: Map hall has no spawn point 5. Using the first.\n");
}
