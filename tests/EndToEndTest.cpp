// Runs the real game binary headless in a scratch directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct GameRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string readText(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) result.push_back(line);
    return result;
}

class EndToEndTest : public ::testing::Test {
protected:
    // The player's files live in the scratch directory, the brightness
    // already chosen, so that a run goes from the splash to the menu.
    void SetUp() override {
        ASSERT_NE(mkdtemp(directory), nullptr);
        ASSERT_EQ(symlink(HALCYRA_ASSETS, path("Assets").c_str()), 0);
        std::filesystem::create_directories(path("config/halcyra"));
        write("config/halcyra/settings.json", "{\"brightness\": 0}\n");
    }

    void TearDown() override {
        std::string command = "rm -rf " + std::string(directory);
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::string path(const std::string& name) const { return std::string(directory) + "/" + name; }

    void write(const std::string& name, const std::string& text) const { std::ofstream(path(name)) << text; }

    // environment: NAME=VALUE settings added to the game's own.
    GameRun run(std::vector<std::string> arguments, std::vector<std::string> environment = {}) const {
        arguments.insert(arguments.begin(), HALCYRA_BINARY);
        environment.insert(environment.begin(),
                           {"XDG_CONFIG_HOME=" + path("config"), "XDG_DATA_HOME=" + path("data")});
        pid_t child = fork();
        if (child == 0) {
            if (chdir(directory) != 0) _exit(127);
            for (std::string& setting : environment) putenv(setting.data());
            int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<char*> argv;
            for (std::string& argument : arguments) argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(path("stdout.txt")),
                readText(path("stderr.txt"))};
    }

    char directory[64] = "/tmp/halcyra-e2e-XXXXXX";
};

TEST_F(EndToEndTest, HeadlessRunPrintsTheResolutionAndLogsEveryFrame) {
    GameRun result = run({"--headless", "--desktop", "1920x1080", "--frames", "3", "--state-log",
                          "state.jsonl", "--frame-times", "times.csv"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Target Resolution: 896 x 504\nScale: 2.1429\nRenderer: software\n\n");
    const std::vector<std::string> times = lines(readText(path("times.csv")));
    ASSERT_EQ(times.size(), 4u);
    EXPECT_EQ(times[0], "frame,screens,milliseconds");
    EXPECT_TRUE(std::regex_match(times[3], std::regex("2,LoadingScreen,[0-9]+\\.[0-9]{3}"))) << times[3];
    std::vector<std::string> log = lines(readText(path("state.jsonl")));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(std::regex_replace(log[2], std::regex("\"dt\":[0-9.e-]+"), "\"dt\":DT"),
              "{\"frame\":2,\"dt\":DT,\"screens\":[{\"type\":\"LoadingScreen\",\"state\":0}],\"room\":null,"
              "\"character\":null,"
              "\"prompt\":null,\"music\":0,\"ambience\":1,\"lastCheckpointId\":null,\"keys\":[],"
              "\"blackout\":null,\"progress\":{\"keys\":[],\"journalTaken\":false,\"lastCheckpointId\":0,"
              "\"lastCheckpointRoom\":\"\",\"reachedCheckpoints\":[],\"finalScene\":{\"walkTimer\":0,"
              "\"reading\":false,\"leftZone\":false,\"pageShown\":false},\"introMusicPlayed\":false,"
              "\"finalDialoguePlayed\":false},\"settings\":{\"masterVolume\":100,\"musicVolume\":100,"
              "\"effectsVolume\":100,\"narrationVolume\":100,\"window\":\"full "
              "screen\",\"brightness\":0,\"light\":\"tiles\","
              "\"reduceFlashing\":false,\"keys\":\"default\"}}");
    EXPECT_EQ(readText(path("Debug.Trace.txt")), "") << "a clean run reports nothing";
}

// A windowed run on a machine without a sound device says so once and plays
// on in silence.
TEST_F(EndToEndTest, WithoutAnAudioDeviceTheGameSaysSoOnceAndPlaysOn) {
    GameRun result = run({"--windowed", "--fixed-dt", "0.04", "--frames", "120"},
                         {"SDL_VIDEODRIVER=dummy", "ALSOFT_DRIVERS=none-such"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err,
              "halcyra: no audio device (OpenAL Soft found no output device); playing without sound\n");
}

// Where --after-loading scripts start: the frame after the one the loading
// screen left the stack in.
size_t afterLoading(const std::vector<std::string>& log) {
    const auto first = std::find_if(log.begin(), log.end(), [](const std::string& line) {
        return line.find("LoadingScreen") == std::string::npos;
    });
    return static_cast<size_t>(first - log.begin()) + 1;
}

// The screens alone lead from loading through the splash to the main menu,
// "Play" into the first room, and Escape to the pause menu and back. The keys
// count from the end of loading: the menu is up 340 frames after it. Shift
// and Escape pressed and let go within one frame, as a fast tap or a tool
// sends them, end the run in that frame.
TEST_F(EndToEndTest, AScriptedRunGoesFromLoadingThroughTheMenuIntoARoomAndThePauseMenu) {
    write("keys.txt",
          "380 tap ENTER\n500 tap ESCAPE\n560 tap ESCAPE\n"
          "650 down SHIFT\n650 down ESCAPE\n650 up ESCAPE\n650 up SHIFT\n");
    GameRun result = run({"--headless", "--fixed-dt", "0.02", "--frames", "5000", "--after-loading",
                          "--input", "keys.txt", "--state-log", "state.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> log = lines(readText(path("state.jsonl")));
    EXPECT_EQ(log.size(), afterLoading(log) + 651) << "Shift+Escape ends the run in its frame";
    const std::regex screens("\"screens\":\\[(.*?)\\],\"room\":(null|\"[^\"]*\")");
    std::vector<std::string> stacks;
    for (const std::string& line : log) {
        std::smatch match;
        ASSERT_TRUE(std::regex_search(line, match, screens)) << line;
        std::string stack =
            std::regex_replace(match[1].str(), std::regex("\\{\"type\":\"(\\w+)\",\"state\":\\d\\}"), "$1") +
            " " + match[2].str();
        if (stacks.empty() || stacks.back() != stack) stacks.push_back(stack);
    }
    const std::string room = "\"Assets/FloorTemplate/FinalRooms/IntroEnd.json\"";
    const std::vector<std::string> expected = {"LoadingScreen null",  "LoadingScreen,SplashScreen null",
                                               "SplashScreen null",   "SplashScreen,MainMenuScreen null",
                                               "MainMenuScreen null", "MainMenuScreen,PlayScreen " + room,
                                               "PlayScreen " + room,  "PlayScreen,PauseScreen " + room,
                                               "PlayScreen " + room};
    EXPECT_EQ(stacks, expected);
    EXPECT_EQ(readText(path("Debug.Trace.txt")), "");
}

// Walks from the gallery's spawn east along the hall, past the candle holder,
// and south through the doorway into the conservatory, once the room is up.
TEST_F(EndToEndTest, AScriptedWalkThroughTheGalleryCarriesTheLightAlong) {
    write("walk.txt", "30 down D\n113 up D\n115 down S\n210 up S\n279 down SHIFT\n280 down ESCAPE\n");
    GameRun result = run({"--headless", "--fixed-dt", "0.033333", "--frames", "5000", "--seed", "3", "--room",
                          "Assets/FloorTemplate/FinalRooms/Gallery.json", "--after-loading", "--input",
                          "walk.txt", "--state-log", "walk.jsonl", "--screenshot", "20:hall.png",
                          "--screenshot", "279:conservatory.png"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> log = lines(readText(path("walk.jsonl")));
    const size_t start = afterLoading(log);
    ASSERT_EQ(log.size(), start + 281) << "Shift+Escape ends the run";
    ASSERT_NE(log[start + 20].find("[{\"type\":\"PlayScreen\",\"state\":1}]"), std::string::npos)
        << "the room is up before the walk";
    const std::regex position("\"character\":\\{\"x\":([0-9.]+),\"y\":([0-9.]+)");
    auto at = [&](size_t frame) {
        std::smatch match;
        EXPECT_TRUE(std::regex_search(log[frame], match, position)) << log[frame];
        return std::pair<float, float>{std::stof(match[1]), std::stof(match[2])};
    };
    const auto [startX, startY] = at(start + 29);
    const auto [hallX, hallY] = at(start + 113);
    const auto [endX, endY] = at(start + 279);
    EXPECT_GT(hallX, startX + 250) << "east along the hall";
    EXPECT_NEAR(hallY, startY, 1.0f);
    EXPECT_GT(endY, 17 * 32) << "through the doorway in the hall's south wall";
    EXPECT_NEAR(endX, hallX, 1.0f) << "straight down";
    EXPECT_NE(log[start + 279].find("\"room\":\"Assets/FloorTemplate/FinalRooms/Gallery.json\""),
              std::string::npos);
    EXPECT_NE(log[start + 279].find("\"music\":1,"), std::string::npos) << "spooky while the candle burns";
    EXPECT_NE(log[start + 279].find("\"blackout\":0,"), std::string::npos);
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.find("\"prompt\":\"Pickup Candle\"") != std::string::npos;
    })) << "the walk passes the hall's candle holder";

    // The camera keeps the character in the middle of the screen, inside its
    // light; the rest of the house stays dark.
    for (const char* shot : {"hall.png", "conservatory.png"}) {
        int width = 0, height = 0, channels = 0;
        unsigned char* pixels = stbi_load(path(shot).c_str(), &width, &height, &channels, 1);
        ASSERT_NE(pixels, nullptr) << shot;
        auto mean = [&](int left, int top, int size) {
            long sum = 0;
            for (int y = top; y < top + size; ++y)
                for (int x = left; x < left + size; ++x) sum += pixels[y * width + x];
            return static_cast<double>(sum) / (size * size);
        };
        EXPECT_GT(mean(430, 240, 64), 40.0) << shot << ": the light around the character";
        EXPECT_LT(mean(0, 0, 64), 5.0) << shot << ": a dark corner";
        stbi_image_free(pixels);
    }
}

// The virtual pad alone: the d-pad and A through the main menu, the stick
// walking the drive, pulled out mid-walk and plugged in again, Start pausing.
TEST_F(EndToEndTest, AVirtualPadDrivesTheMenuAndWalksAndIsLetGoWhenUnplugged) {
    write("pad.txt",
          "0 pad plug\n370 tap PAD_DOWN\n375 tap PAD_UP\n380 tap PAD_A\n"
          "470 stick 0.7 -0.7\n500 pad unplug\n530 pad plug\n540 stick 0.1 0.1\n"
          "560 stick 0 1\n580 stick 0 0\n600 tap PAD_START\n650 down SHIFT\n651 down ESCAPE\n");
    GameRun result = run({"--headless", "--fixed-dt", "0.02", "--frames", "5000", "--after-loading",
                          "--input", "pad.txt", "--state-log", "pad.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> log = lines(readText(path("pad.jsonl")));
    const size_t start = afterLoading(log);
    ASSERT_EQ(log.size(), start + 652) << "Shift+Escape ends the run";
    const std::regex position("\"character\":\\{\"x\":([0-9.]+),\"y\":([0-9.]+)");
    auto at = [&](size_t frame) {
        std::smatch match;
        EXPECT_TRUE(std::regex_search(log[start + frame], match, position)) << log[start + frame];
        return std::pair<float, float>{std::stof(match[1]), std::stof(match[2])};
    };
    EXPECT_NE(log[start + 469].find("[{\"type\":\"PlayScreen\""), std::string::npos) << "A chose Play";
    const auto [restX, restY] = at(469);
    const auto [walkedX, walkedY] = at(500);
    EXPECT_GT(walkedX, restX + 20) << "up and to the right";
    EXPECT_LT(walkedY, restY - 20);
    EXPECT_EQ(at(503), at(559)) << "still once unplugged, and with the stick in its dead zone";
    const auto [downX, downY] = at(580);
    EXPECT_EQ(downX, walkedX);
    EXPECT_GT(downY, walkedY + 20) << "straight down once plugged in again";
    EXPECT_NE(log[start + 649].find("{\"type\":\"PauseScreen\""), std::string::npos) << "Start pauses";
}

TEST_F(EndToEndTest, CheckAssetsLoadsAndCompletesThePreloadList) {
    GameRun result = run({"--check-assets"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("preload entries checked"), std::string::npos) << result.out;
}

TEST_F(EndToEndTest, AMapPathNamingTheWrongKindOfFileEndsWithItsReport) {
    const std::pair<const char*, const char*> cases[] = {
        {"Assets/Animations/Lantern.json",
         "Content was loaded as CT_ANIMATION and is now asked for as CT_MAP."},
        {"Assets/Textures/Fire.png", "Content was loaded as CT_TEXTURE and is now asked for as CT_MAP."},
        {"Assets", "Unable to load file \\(Assets\\)\\."},
    };
    // The run ends at the room, however long loading takes on a busy machine;
    // the frame limit only stops a game that wrongly plays on.
    for (const auto& [room, message] : cases) {
        GameRun result = run({"--headless", "--fixed-dt", "0.02", "--frames", "20000", "--room", room});
        EXPECT_EQ(result.exitCode, 1) << room;
        EXPECT_TRUE(std::regex_search(readText(path("Debug.Trace.txt")), std::regex(message))) << room;
        unlink(path("Debug.Trace.txt").c_str());
    }
}

TEST_F(EndToEndTest, BrokenAssetEndsTheGameWithItsReport) {
    ASSERT_EQ(unlink(path("Assets").c_str()), 0);
    std::filesystem::copy(HALCYRA_ASSETS, path("Assets"), std::filesystem::copy_options::recursive);
    write("Assets/Animations/CandleHolder.json", "{\"FrameCount\": 4, \"FrameWidth\": ");
    // The loading worker meets the broken file however busy the machine is.
    GameRun result = run({"--headless", "--fixed-dt", "0.02", "--frames", "20000"});
    EXPECT_EQ(result.exitCode, 1);
    std::string trace = readText(path("Debug.Trace.txt"));
    EXPECT_NE(trace.find("Invalid animation file (Assets/Animations/CandleHolder.json)."), std::string::npos)
        << trace;
    EXPECT_NE(result.err.find("Please contact a developer with the debug trace."), std::string::npos);
}

TEST_F(EndToEndTest, MalformedOptionsAndScriptsEndWithOneLineBeforeAnyWindow) {
    write("keys.txt", "3 down W\n4 hold W\n");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--frames", "soon"}, "--frames: expected a whole number of frames above 0, got 'soon'"},
        {{"--input", "keys.txt"}, "keys.txt:2: unknown action 'hold' (down, up, tap, stick or pad)"},
        {{"--input", "nowhere.txt"}, "cannot read input script 'nowhere.txt': No such file or directory"},
        {{"--input", "."}, "cannot read input script '.': Is a directory"},
    };
    for (const auto& [arguments, message] : cases) {
        std::vector<std::string> headless = {"--headless"};
        headless.insert(headless.end(), arguments.begin(), arguments.end());
        const GameRun result = run(headless);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_EQ(result.err, "halcyra: " + message + "\n");
        EXPECT_EQ(result.out, "");
    }
}

// What a play-through met, read from its state log.
struct PlayedGame {
    std::vector<std::string> rooms;  // each time the room changed
    std::vector<int> pages;          // each page as its narration began
    int deaths = 0;
    int falls = 0;
    int pauses = 0;
    std::vector<std::string> menus;  // the credits and the main menu, as they came
};

bool has(const std::string& line, const std::string& text) {
    return line.find(text) != std::string::npos;
}

PlayedGame playedFrom(const std::vector<std::string>& log) {
    const std::regex fields("\"room\":\"Assets/FloorTemplate/FinalRooms/(\\w+)\\.json\".*\"music\":(\\d+)");
    PlayedGame game;
    int music = -1;
    bool falling = false, paused = false;
    for (const std::string& line : log) {
        for (const char* type : {"CreditsScreen", "MainMenuScreen"})
            if (has(line, std::string("[{\"type\":\"") + type) &&
                (game.menus.empty() || game.menus.back() != type))
                game.menus.push_back(type);
        std::smatch match;
        if (!std::regex_search(line, match, fields)) continue;
        if (game.rooms.empty() || game.rooms.back() != match[1]) game.rooms.push_back(match[1]);
        const int now = std::stoi(match[2]);
        // The music of page N's narration is 6 + N; a death plays state 4.
        if (now != music && now >= 7 && now <= 14 && (game.pages.empty() || game.pages.back() != now - 6))
            game.pages.push_back(now - 6);
        if (now != music && now == 4) ++game.deaths;
        music = now;
        if (has(line, "\"falling\":true") && !falling) ++game.falls;
        falling = has(line, "\"falling\":true");
        if (has(line, "PauseScreen") && !paused) ++game.pauses;
        paused = has(line, "PauseScreen");
    }
    return game;
}

// The whole game twice in one process, as the route in tests/playthrough.route
// plays it: from the main menu's "Play" through every room to the credits and
// back to the menu, and again, which the resets of a new game make possible.
TEST_F(EndToEndTest, TheGameCanBeFinishedTwiceInOneRun) {
    const std::string route = readText(HALCYRA_TEST_DATA "/../playthrough.route");
    ASSERT_FALSE(route.empty());
    write("twice.route", route + route + "quit\n");
    GameRun result = run({"--headless", "--no-raster", "--fixed-dt", "0.04", "--frames", "20000", "--seed",
                          "7", "--route", "twice.route", "--state-log", "state.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("warning"), std::string::npos) << "everything a room loads is preloaded";
    const std::vector<std::string> log = lines(readText(path("state.jsonl")));
    const PlayedGame game = playedFrom(log);
    const std::vector<std::string> once = {
        "IntroEnd",      "RoomTutA",     "RoomTutB",   "Gallery", "UpperPassage",
        "EastWingA",     "EastWingB",    "Cellar",     "Gallery", "UpperPassage",
        "MasterBedroom", "UpperPassage", "AtticStair", "Roof",    "End"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(game.rooms, twice);
    EXPECT_EQ(game.pages, std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8}));
    auto count = [&](const std::string& text) {
        return std::count_if(log.begin(), log.end(),
                             [&](const std::string& line) { return has(line, text); });
    };
    EXPECT_GT(count("\"hasJournal\":true"), 0);
    EXPECT_GT(count("\"keys\":[1,2,3]"), 0) << "every key of the house";
    EXPECT_GT(count("\"lastCheckpointId\":10"), 0);
    EXPECT_EQ(game.falls, 0) << "the route dies nowhere";
    EXPECT_EQ(game.deaths, 0);
    EXPECT_EQ(game.menus, std::vector<std::string>({"MainMenuScreen", "CreditsScreen", "MainMenuScreen",
                                                    "CreditsScreen", "MainMenuScreen"}));
}

// The house another way, twice over, at another frame rate: into the box
// room's pit, down to the cellar before the gallery's key, the candle burnt
// out there, a pause, the sitting room. Every page is read once a game, the
// fifth before the second. The route has no "quit": the run ends with its
// second round.
TEST_F(EndToEndTest, TheHousePlayedAnotherWayKeepsEveryPage) {
    write("another-way.route", readText(HALCYRA_TEST_DATA "/../another-way.route"));
    GameRun result =
        run({"--headless", "--no-raster", "--fixed-dt", "0.016667", "--frames", "100000", "--seed", "7",
             "--route", "another-way.route", "--route-repeat", "2", "--state-log", "state.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> log = lines(readText(path("state.jsonl")));
    ASSERT_LT(log.size(), 100000u) << "the run ended with its last round, not at the frame limit";
    const PlayedGame game = playedFrom(log);
    const std::vector<std::string> once = {"IntroEnd",     "RoomTutA",    "RoomTutB",     "Gallery",
                                           "Cellar",       "Gallery",     "UpperPassage", "MasterBedroom",
                                           "UpperPassage", "SittingRoom", "UpperPassage", "EastWingA",
                                           "UpperPassage", "AtticStair",  "Roof",         "End"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(game.rooms, twice);
    EXPECT_EQ(game.pages, std::vector<int>({1, 5, 2, 3, 6, 4, 7, 8, 1, 5, 2, 3, 6, 4, 7, 8}));
    EXPECT_EQ(game.falls, 2) << "the box room's pit, once a round";
    EXPECT_EQ(game.deaths, 2) << "the cellar's burnt-out candle, once a round";
    EXPECT_EQ(game.pauses, 2);
    EXPECT_EQ(game.menus, std::vector<std::string>({"MainMenuScreen", "CreditsScreen", "MainMenuScreen",
                                                    "CreditsScreen", "MainMenuScreen"}));
}

// The play-through finishes at every frame time of the frame-rate test: a
// character pressed against a corner it grazes slides on, and no step of the
// route waits on a frame-sized accident.
class PlayThroughFrameRateTest : public EndToEndTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PlayThroughFrameRateTest, ThePlayThroughFinishes) {
    write("once.route", readText(HALCYRA_TEST_DATA "/../playthrough.route") + "quit\n");
    GameRun result = run({"--headless", "--no-raster", "--fixed-dt", GetParam(), "--frames", "100000",
                          "--seed", "7", "--route", "once.route", "--state-log", "state.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << GetParam() << ": " << result.err;
    EXPECT_EQ(playedFrom(lines(readText(path("state.jsonl")))).pages,
              std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8}));
}

INSTANTIATE_TEST_SUITE_P(AtEveryFrameRate, PlayThroughFrameRateTest,
                         ::testing::Values("0.033333", "0.016667", "0.0069444", "0.0041667"));

// A walk that falls into a pit on the way ends the route with a line saying
// so, rather than walking straight back at the pit after the respawn.
TEST_F(EndToEndTest, AWalkThatFallsIntoAPitEndsTheRouteSayingSo) {
    write("pit.route", "room UpperPassage.json\nwalk 32 5.5\nwalk 20 5.5\nquit\n");
    GameRun result = run({"--headless", "--no-raster", "--fixed-dt", "0.04", "--frames", "20000", "--room",
                          "Assets/FloorTemplate/FinalRooms/UpperPassage.json#20", "--route", "pit.route"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_THAT(result.err, testing::HasSubstr("pit.route:2: 'walk 32 5.5' fell into a pit (room "
                                               "Assets/FloorTemplate/FinalRooms/UpperPassage.json"));
}

// A timed event of a run: what changed, and when, in game seconds from the
// first frame the room stood fully shown.
struct TimedEvent {
    double at;
    std::string what;
};

std::vector<TimedEvent> timedEvents(const std::vector<std::string>& log) {
    const std::regex dtField("\"dt\":([0-9.e+-]+)");
    const std::regex candle("\"candleLife\":([0-9.e+-]+)");
    const std::regex fields[] = {std::regex("\"music\":(\\d+)"), std::regex("\"falling\":(\\w+)"),
                                 std::regex("\"hasControl\":(\\w+)"),
                                 std::regex("\"lastCheckpointId\":(\\w+)")};
    const char* names[] = {"music ", "falling ", "control ", "checkpoint "};
    std::vector<TimedEvent> events;
    std::string last[4];
    double seconds = 0, shown = -1;
    float lastCandle = 0;
    for (const std::string& line : log) {
        std::smatch match;
        if (std::regex_search(line, match, dtField)) seconds += std::stod(match[1]);
        if (shown < 0 && has(line, "\"screens\":[{\"type\":\"PlayScreen\",\"state\":1}]")) shown = seconds;
        if (shown < 0) continue;
        for (int i = 0; i < 4; ++i) {
            if (!std::regex_search(line, match, fields[i]) || match[1] == last[i]) continue;
            last[i] = match[1];
            events.push_back({seconds - shown, names[i] + last[i]});
        }
        if (!std::regex_search(line, match, candle)) continue;
        const float life = std::stof(match[1]);
        // A gust puts the candle out at once: its life jumps to 11.
        if (life == 11.0f && lastCandle < 11.0f) events.push_back({seconds - shown, "gust"});
        lastCandle = life;
    }
    return events;
}

// The text between a field's name and the next field of a state log line.
std::string fieldOf(const std::string& line, const std::string& name, const std::string& next) {
    const size_t from = line.find("\"" + name + "\":");
    const size_t to = line.find(",\"" + next + "\":", from);
    if (from == std::string::npos || to == std::string::npos) return "";
    return line.substr(from, to - from);
}

// Half the house, the game closed, a new process: "Continue" enters the room
// where it stopped with the same keys, pages and candle, the rest of the
// route plays to the credits, and after them there is nothing to continue.
TEST_F(EndToEndTest, AGameClosedHalfWayContinuesWhereItStoppedAndEndsAtTheCreditsWithNothingLeft) {
    const std::string route = readText(HALCYRA_TEST_DATA "/../playthrough.route");
    const std::string cut = "# Back through the gallery to the stair.\nroom Gallery.json\n";
    const size_t at = route.find(cut);
    ASSERT_NE(at, std::string::npos);
    write("first.route", route.substr(0, at + cut.size()) + "quit\n");
    write("rest.route", "screen MainMenuScreen\ntap ENTER\n" + route.substr(at + cut.size()) + "quit\n");
    write("again.route", "screen MainMenuScreen\ntap ENTER\nroom IntroEnd.json\nquit\n");
    auto play = [&](const std::string& routeFile) {
        GameRun result = run({"--headless", "--no-raster", "--fixed-dt", "0.04", "--frames", "20000",
                              "--seed", "7", "--route", routeFile, "--state-log", "state.jsonl"});
        EXPECT_EQ(result.exitCode, 0) << routeFile << ": " << result.err;
        return lines(readText(path("state.jsonl")));
    };
    auto firstLineBackInTheGallery = [](const std::vector<std::string>& log) {
        auto inRoom = [](const char* name) {
            return [name](const std::string& line) {
                return has(line, std::string("\"room\":\"Assets/FloorTemplate/FinalRooms/") + name);
            };
        };
        auto cellar = std::find_if(log.rbegin(), log.rend(), inRoom("Cellar.json"));
        auto gallery = std::find_if(cellar.base(), log.end(), inRoom("Gallery.json"));
        return gallery != log.end() ? *gallery : std::string();
    };
    const std::string left = firstLineBackInTheGallery(play("first.route"));
    ASSERT_FALSE(left.empty());
    ASSERT_TRUE(std::filesystem::exists(path("data/halcyra/save.json")));

    const std::vector<std::string> rest = play("rest.route");
    const std::string continued = firstLineBackInTheGallery(rest);
    ASSERT_FALSE(continued.empty());
    EXPECT_EQ(fieldOf(continued, "progress", "settings"), fieldOf(left, "progress", "settings"));
    EXPECT_EQ(fieldOf(continued, "keys", "blackout"), fieldOf(left, "keys", "blackout"));
    EXPECT_NE(fieldOf(left, "keys", "blackout"), "\"keys\":[]") << "the gallery's and the cellar's keys";
    EXPECT_EQ(fieldOf(continued, "candleLife", "inLight"), fieldOf(left, "candleLife", "inLight"));
    EXPECT_EQ(playedFrom(rest).pages, std::vector<int>({6, 7, 8}));
    EXPECT_NE(rest.back().find("MainMenuScreen"), std::string::npos) << "the credits have played";
    EXPECT_FALSE(std::filesystem::exists(path("data/halcyra/save.json")));
    play("again.route");
}

// The first start asks for the brightness once, before the menu.
TEST_F(EndToEndTest, TheFirstStartAsksForTheBrightnessOnce) {
    std::filesystem::remove(path("config/halcyra/settings.json"));
    write("first.route",
          "screen BrightnessScreen\ntap RIGHT\ntap RIGHT\ntap ENTER\nscreen MainMenuScreen\nquit\n");
    write("later.route", "screen MainMenuScreen\nquit\n");
    for (const char* route : {"first.route", "later.route"}) {
        GameRun result = run({"--headless", "--no-raster", "--fixed-dt", "0.04", "--route", route,
                              "--state-log", "state.jsonl"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string log = readText(path("state.jsonl"));
        EXPECT_EQ(log.find("BrightnessScreen") != std::string::npos, std::string(route) == "first.route");
        EXPECT_THAT(lines(log).back(), testing::HasSubstr("\"brightness\":20"));
    }
    EXPECT_THAT(readText(path("config/halcyra/settings.json")), testing::HasSubstr("\"brightness\": 20"));
}

// The options change what is heard and seen at once, and the next start
// begins with them.
TEST_F(EndToEndTest, OptionsTakeEffectAtOnceAndAreKeptForTheNextStart) {
    write("options.route",
          "screen MainMenuScreen\ntap DOWN\ntap ENTER\nscreen OptionsScreen\ntap LEFT\ntap LEFT\n"
          "tap DOWN\ntap DOWN\ntap DOWN\ntap DOWN\ntap RIGHT\ntap RIGHT\nwait 0.5\nquit\n");
    GameRun result = run({"--headless", "--desktop", "1920x1080", "--fixed-dt", "0.04", "--route",
                          "options.route", "--state-log", "state.jsonl", "--audio-log", "audio.log"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string last = lines(readText(path("state.jsonl"))).back();
    EXPECT_THAT(last, testing::HasSubstr("\"masterVolume\":80"));
    EXPECT_THAT(last, testing::HasSubstr("\"window\":\"1344x756\""));
    EXPECT_THAT(readText(path("audio.log")), testing::ContainsRegex("\tvolume\tmaster\t0.8\n"));
    const std::string kept = readText(path("config/halcyra/settings.json"));
    EXPECT_THAT(kept, testing::HasSubstr("\"masterVolume\": 80"));
    EXPECT_THAT(kept, testing::HasSubstr("\"window\": \"1344x756\""));

    result = run({"--headless", "--desktop", "1920x1080", "--frames", "3", "--screenshot", "2:shot.png",
                  "--state-log", "state.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(lines(readText(path("state.jsonl"))).back(), testing::HasSubstr("\"window\":\"1344x756\""));
    int width = 0, height = 0, channels = 0;
    unsigned char* shot = stbi_load(path("shot.png").c_str(), &width, &height, &channels, 4);
    ASSERT_NE(shot, nullptr);
    stbi_image_free(shot);
    EXPECT_EQ(width, 1344);
    EXPECT_EQ(height, 756);
}

class FrameRateTest : public EndToEndTest, public ::testing::WithParamInterface<const char*> {
protected:
    std::vector<TimedEvent> play(const std::string& frameTime) {
        write("frame-rate.route", readText(HALCYRA_TEST_DATA "/../frame-rate.route"));
        GameRun result = run({"--headless", "--no-raster", "--fixed-dt", frameTime, "--frames", "200000",
                              "--seed", "8", "--room", "Assets/FloorTemplate/FinalRooms/UpperPassage.json",
                              "--route", "frame-rate.route", "--state-log", "state.jsonl"});
        EXPECT_EQ(result.exitCode, 0) << frameTime << ": " << result.err;
        return timedEvents(lines(readText(path("state.jsonl"))));
    }
};

// The same play at 30, 144 and 240 frames a second meets the same events as
// at 60, in the same order: its pages, its fall, the candle going out, the
// gust, the danger, the death and the room entered again. Each comes at the
// same game time within three frames of the slower run, the frames a cause
// takes to show: a key is read, the character moves, the room notices.
TEST_P(FrameRateTest, TheSamePlayMeetsTheSameEventsAtTheSameGameTimes) {
    const std::vector<TimedEvent> reference = play("0.016667");
    std::vector<std::string> kinds;
    for (const TimedEvent& event : reference) kinds.push_back(event.what);
    for (const char* expected : {"music 8", "music 9", "falling true", "music 2", "gust", "music 3",
                                 "music 4", "control false", "control true"})
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), expected), kinds.end()) << expected;

    const std::vector<TimedEvent> events = play(GetParam());
    const double slower = std::max(std::stod(GetParam()), 0.016667);
    ASSERT_EQ(events.size(), reference.size()) << GetParam();
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].what, reference[i].what) << GetParam() << ", event " << i;
        EXPECT_NEAR(events[i].at, reference[i].at, 3 * slower) << GetParam() << ": " << events[i].what;
    }
}

INSTANTIATE_TEST_SUITE_P(AtEveryFrameRate, FrameRateTest,
                         ::testing::Values("0.033333", "0.0069444", "0.0041667"));

}  // namespace
