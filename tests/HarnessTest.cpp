#include "Engine/KeyCodes.h"
#include "Engine/Kestrel.h"
#include "Game/Harness.h"
#include "Game/InputScript.h"
#include "Game/RoutePilot.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

namespace {

bool parse(const std::vector<const char*>& arguments, HarnessOptions* options, std::string* error) {
    std::vector<char*> argv{const_cast<char*>("halcyra")};
    for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
    return parseHarnessOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(HarnessTest, ParsesEveryOption) {
    HarnessOptions options;
    std::string error;
    ASSERT_TRUE(parse(
        {"--headless",   "--windowed", "--desktop",   "1280x1024", "--fixed-dt",  "0.0125",       "--frames",
         "30",           "--seed",     "42",          "--input",   "keys.txt",    "--screenshot", "3:a.png",
         "--screenshot", "7:b.png",    "--state-log", "log.jsonl", "--audio-log", "audio.log"},
        &options, &error))
        << error;
    EXPECT_TRUE(options.platform.headless);
    EXPECT_TRUE(options.platform.windowed);
    EXPECT_EQ((std::array{options.platform.desktopWidth, options.platform.desktopHeight}),
              (std::array{1280, 1024}));
    EXPECT_EQ(options.platform.fixedFrameTime, 0.0125f);
    EXPECT_EQ(options.frameLimit, 30);
    EXPECT_TRUE(options.seeded);
    EXPECT_EQ(options.seed, 42u);
    std::vector<std::pair<long, std::string>> screenshots;
    for (const Screenshot& shot : options.screenshots) screenshots.emplace_back(shot.frame, shot.path);
    EXPECT_EQ(screenshots, (std::vector<std::pair<long, std::string>>{{3, "a.png"}, {7, "b.png"}}));
    EXPECT_EQ((std::array{options.inputPath, options.stateLogPath, options.audioLogPath}),
              (std::array<std::string, 3>{"keys.txt", "log.jsonl", "audio.log"}));
}

TEST(HarnessTest, MalformedOptionsGiveOneLineNamingTheOption) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"--bogus"}, "unknown option '--bogus' (try --help)"},
        {{"--frames"}, "--frames: missing value"},
        {{"--frames", "12abc"}, "--frames: expected a whole number of frames above 0, got '12abc'"},
        {{"--desktop", "1920*1080"},
         "--desktop: expected a size WxH such as 1920x1080, at most 8192 a side, got '1920*1080'"},
        {{"--desktop", "16384x16384"},
         "--desktop: expected a size WxH such as 1920x1080, at most 8192 a side, got '16384x16384'"},
        {{"--fixed-dt", "nan"},
         "--fixed-dt: expected a frame time in seconds above 0 and at most 1, got 'nan'"},
        {{"--seed", "-1"}, "--seed: expected a whole number from 0 to 4294967295, got '-1'"},
        {{"--screenshot", "x:a.png"}, "--screenshot: expected FRAME:FILE such as 10:shot.png, got 'x:a.png'"},
        {{"--route-repeat", "0"},
         "--route-repeat: expected a whole number of times from 1 to 100000, got '0'"},
        {{"--route-repeat", "2"}, "--route-repeat: there is no --route to repeat"},
    };
    for (const auto& [arguments, expected] : cases) {
        HarnessOptions options;
        std::string error;
        EXPECT_FALSE(parse(arguments, &options, &error));
        EXPECT_EQ(error, expected);
    }
}

TEST(InputScriptTest, EventsAreOrderedByFrameAndTapsReleaseOneFrameLater) {
    std::vector<ScriptedInput> events;
    std::string error;
    ASSERT_TRUE(parseInputScript("# walk, then quit\n10 down W\n\n4 tap 0x20   # space\n10 up W\n"
                                 "2 pad plug\n3 stick 0.75 -1\n6 tap PAD_A\n8 pad unplug\n"
                                 "20 down SHIFT\n20 down ESCAPE\n",
                                 &events, &error))
        << error;
    using Event = std::tuple<long, ScriptedKind, int, bool, float, float>;
    std::vector<Event> read;
    for (const ScriptedInput& event : events)
        read.emplace_back(event.frame, event.kind, event.code, event.down, event.x, event.y);
    constexpr auto KEY = ScriptedKind::KEY;
    const std::vector<Event> expected = {
        {2, ScriptedKind::PAD_PLUG, 0, false, 0, 0},      {3, ScriptedKind::STICK, 0, false, 0.75f, -1},
        {4, KEY, KEY_SPACE, true, 0, 0},                  {5, KEY, KEY_SPACE, false, 0, 0},
        {6, ScriptedKind::PAD_BUTTON, KE_PAD_A, true, 0, 0}, {7, ScriptedKind::PAD_BUTTON, KE_PAD_A, false, 0, 0},
        {8, ScriptedKind::PAD_UNPLUG, 0, false, 0, 0},    {10, KEY, KEY_W, true, 0, 0},
        {10, KEY, KEY_W, false, 0, 0},                    {20, KEY, KEY_SHIFT, true, 0, 0},
        {20, KEY, KEY_ESCAPE, true, 0, 0}};
    EXPECT_EQ(read, expected);
}

TEST(InputScriptTest, MalformedLinesNameTheLineAndTheProblem) {
    const std::string longLine = "7 " + std::string(200, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"1 down W\n2 press W\n", "2: unknown action 'press' (down, up, tap, stick or pad)"},
        {"1 down JUMP\n", "1: unknown key 'JUMP'"},
        {"1 down 0x1FF\n", "1: unknown key '0x1FF'"},
        {"-3 down W\n", "1: frame '-3' is not a whole number from 0 to 1000000000"},
        {"99999999999 tap W\n", "1: frame '99999999999' is not a whole number from 0 to 1000000000"},
        {"\n\n5 down\n", "3: expected 'FRAME down|up|tap KEY', got '5 down'"},
        {"5 down W E\n", "1: unexpected 'E' after the key"},
        {"1 stick 0.5\n", "1: expected 'FRAME stick X Y', got '1 stick 0.5'"},
        {"0 pad plug\n1 stick 0.5 1.01\n", "2: stick position '1.01' is not a number from -1 to 1"},
        {"0 pad plug\n1 stick nan 0\n", "2: stick position 'nan' is not a number from -1 to 1"},
        {"1 pad in\n", "1: expected 'FRAME pad plug|unplug', got '1 pad in'"},
        // In frame order, not line order: frame 3 comes before the plug at 5.
        {"5 pad plug\n3 tap PAD_B\n", "2: the pad is not plugged in at frame 3 (a 'pad plug' line must come first)"},
        {"0 pad plug\n4 pad unplug\n6 stick 0 0\n",
         "3: the pad is not plugged in at frame 6 (a 'pad plug' line must come first)"},
        // A long line is quoted cut short.
        {longLine + "\n", "1: expected 'FRAME down|up|tap KEY', got '" + longLine.substr(0, 80) + "...'"},
    };
    for (const auto& [script, expected] : cases) {
        std::vector<ScriptedInput> events;
        std::string error;
        EXPECT_FALSE(parseInputScript(script, &events, &error)) << script;
        EXPECT_EQ(error, expected);
    }
}

TEST(RouteTest, StepsAreReadAndMalformedOnesNameTheLine) {
    std::vector<RouteStep> steps;
    std::string error;
    ASSERT_TRUE(
        parseRoute("# the porch\nroom IntroEnd.json\n\nwalk 12.5 2.3  # to the door\ntap SPACE\n"
                   "hold W 1.5\nwait 2\nscreen IntroScreen\nfall 3 4\nquit\n",
                   &steps, &error))
        << error;
    ASSERT_EQ(steps.size(), 8u);
    EXPECT_EQ(steps[0].name, "IntroEnd.json");
    EXPECT_EQ(steps[1].line, 4);
    EXPECT_EQ(steps[1].text, "walk 12.5 2.3");
    EXPECT_FLOAT_EQ(steps[1].y, 2.3f);
    EXPECT_EQ(steps[2].key, KEY_SPACE);
    EXPECT_FLOAT_EQ(steps[3].x, 1.5f);
    EXPECT_EQ(steps[6].action, RouteAction::Fall);

    const std::string longWalk = "walk " + std::string(200, '1') + "x 2";
    const std::pair<std::string, const char*> cases[] = {
        {"walk 3\n", "1: cannot read 'walk 3'"},
        {"walk 1 nan\n", "1: cannot read 'walk 1 nan'"},
        {"fall 1\n", "1: cannot read 'fall 1'"},
        {"tap JUMP\n", "1: cannot read 'tap JUMP'"},
        {"hold E\n", "1: cannot read 'hold E'"},
        {"quit\nwait -1\n", "2: cannot read 'wait -1'"},
        {"fly 1 2\n", "1: cannot read 'fly 1 2'"},
        {"room\n", "1: cannot read 'room'"},
        {"tap E E\n", "1: unexpected 'E' after the step"},
        {"screen " + std::string(200, 'x') + "\n", nullptr},
    };
    for (const auto& [route, expected] : cases) {
        steps.clear();
        if (expected == nullptr) {
            EXPECT_TRUE(parseRoute(route, &steps, &error)) << "a long name is a name";
            continue;
        }
        EXPECT_FALSE(parseRoute(route, &steps, &error)) << route;
        EXPECT_EQ(error, expected);
    }
    EXPECT_FALSE(parseRoute(longWalk + "\n", &steps, &error));
    EXPECT_EQ(error, "1: cannot read '" + longWalk.substr(0, 80) + "...'")
        << "a long line is quoted cut short";
}

}  // namespace
