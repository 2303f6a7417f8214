// Runs the real game binary headless in a scratch directory.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
    void SetUp() override {
        ASSERT_NE(mkdtemp(directory), nullptr);
        ASSERT_EQ(symlink(HALCYRA_ASSETS, path("Assets").c_str()), 0);
    }

    void TearDown() override {
        std::string command = "rm -rf " + std::string(directory);
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::string path(const std::string& name) const { return std::string(directory) + "/" + name; }

    void write(const std::string& name, const std::string& text) const { std::ofstream(path(name)) << text; }

    GameRun run(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), HALCYRA_BINARY);
        pid_t child = fork();
        if (child == 0) {
            if (chdir(directory) != 0) _exit(127);
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
    GameRun result =
        run({"--headless", "--desktop", "1920x1080", "--frames", "3", "--state-log", "state.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Target Resolution: 896 x 504\nScale: 2.1429\n\n");
    std::vector<std::string> log = lines(readText(path("state.jsonl")));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(std::regex_replace(log[2], std::regex("\"dt\":[0-9.e-]+"), "\"dt\":DT"),
              "{\"frame\":2,\"dt\":DT,\"screens\":[{\"type\":\"LoadingScreen\",\"state\":0}],\"room\":null,"
              "\"character\":null,"
              "\"prompt\":null,\"music\":0,\"ambience\":1,\"lastCheckpointId\":null,\"keys\":null,"
              "\"blackout\":null}");
    EXPECT_EQ(readText(path("Debug.Trace.txt")), "") << "a clean run reports nothing";
}

// The loading screen fades in, loads, completes, fades out and hands over.
TEST_F(EndToEndTest, LoadingScreenHandsOverOnceEverythingIsComplete) {
    GameRun result = run({"--headless", "--fixed-dt", "0.02", "--frames", "260", "--screenshot",
                          "250:shot.png", "--state-log", "state.jsonl"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> log = lines(readText(path("state.jsonl")));
    ASSERT_EQ(log.size(), 260u);
    EXPECT_NE(log[0].find("[{\"type\":\"LoadingScreen\",\"state\":0}]"), std::string::npos);
    EXPECT_NE(log[250].find("[{\"type\":\"StartupScreen\",\"state\":1}]"), std::string::npos) << log[250];
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(path("shot.png").c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 896);
    EXPECT_EQ(height, 504);
    auto brightness = [&](int x, int y) {
        const unsigned char* p = pixels + (y * width + x) * 3;
        return p[0] + p[1] + p[2];
    };
    EXPECT_GT(brightness(448, 280), 300) << "the candle is lit in the middle";
    EXPECT_LT(brightness(5, 5), 30) << "the corners stay dark";
    stbi_image_free(pixels);
}

// Walks from the gallery's spawn east along the hall, past the candle holder,
// and south through the doorway into the conservatory. The walk starts once
// loading has surely handed over to the room, however busy the machine.
TEST_F(EndToEndTest, AScriptedWalkThroughTheGalleryCarriesTheLightAlong) {
    write("walk.txt", "150 down D\n233 up D\n235 down S\n330 up S\n");
    GameRun result = run({"--headless", "--fixed-dt", "0.033333", "--frames", "400", "--seed", "3", "--room",
                          "Assets/FloorTemplate/FinalRooms/Gallery.json", "--input", "walk.txt", "--state-log",
                          "walk.jsonl", "--screenshot", "140:hall.png", "--screenshot", "399:conservatory.png"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> log = lines(readText(path("walk.jsonl")));
    ASSERT_EQ(log.size(), 400u);
    ASSERT_NE(log[140].find("[{\"type\":\"PlayScreen\",\"state\":1}]"), std::string::npos)
        << "the room is up well before the walk";
    const std::regex position("\"character\":\\{\"x\":([0-9.]+),\"y\":([0-9.]+)");
    auto at = [&](size_t frame) {
        std::smatch match;
        EXPECT_TRUE(std::regex_search(log[frame], match, position)) << log[frame];
        return std::pair<float, float>{std::stof(match[1]), std::stof(match[2])};
    };
    const auto [startX, startY] = at(149);
    const auto [hallX, hallY] = at(233);
    const auto [endX, endY] = at(399);
    EXPECT_GT(hallX, startX + 250) << "east along the hall";
    EXPECT_NEAR(hallY, startY, 1.0f);
    EXPECT_GT(endY, 17 * 32) << "through the doorway in the hall's south wall";
    EXPECT_NEAR(endX, hallX, 1.0f) << "straight down";
    EXPECT_NE(log[399].find("\"room\":\"Assets/FloorTemplate/FinalRooms/Gallery.json\""), std::string::npos);
    EXPECT_NE(log[399].find("\"music\":1,"), std::string::npos) << "spooky while the candle burns";
    EXPECT_NE(log[399].find("\"blackout\":0}"), std::string::npos);
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

TEST_F(EndToEndTest, CheckAssetsLoadsAndCompletesThePreloadList) {
    GameRun result = run({"--check-assets"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("preload entries checked"), std::string::npos) << result.out;
}

TEST_F(EndToEndTest, BrokenAssetEndsTheGameWithItsReport) {
    ASSERT_EQ(unlink(path("Assets").c_str()), 0);
    std::filesystem::copy(HALCYRA_ASSETS, path("Assets"), std::filesystem::copy_options::recursive);
    write("Assets/Animations/CandleHolder.json", "{\"FrameCount\": 4, \"FrameWidth\": ");
    GameRun result = run({"--headless", "--fixed-dt", "0.02", "--frames", "200"});
    EXPECT_EQ(result.exitCode, 1);
    std::string trace = readText(path("Debug.Trace.txt"));
    EXPECT_NE(trace.find("Invalid animation file (Assets/Animations/CandleHolder.json)."), std::string::npos)
        << trace;
    EXPECT_NE(result.err.find("Please contact a developer with the debug trace."), std::string::npos);
}

TEST_F(EndToEndTest, ShiftEscapeEndsTheLoopAtTheEndOfTheFollowingFrame) {
    write("quit.txt", "5 down SHIFT\n5 down ESCAPE\n");
    GameRun quit = run({"--headless", "--fixed-dt", "0.02", "--frames", "40", "--input", "quit.txt",
                        "--state-log", "quit.jsonl"});
    ASSERT_EQ(quit.exitCode, 0) << quit.err;
    EXPECT_EQ(lines(readText(path("quit.jsonl"))).size(), 7u);

    write("escape.txt", "5 tap ESCAPE\n8 down ESCAPE\n");
    GameRun escape = run({"--headless", "--fixed-dt", "0.02", "--frames", "12", "--input", "escape.txt",
                          "--state-log", "escape.jsonl"});
    ASSERT_EQ(escape.exitCode, 0) << escape.err;
    EXPECT_EQ(lines(readText(path("escape.jsonl"))).size(), 12u) << "Escape alone does not quit";
}

TEST_F(EndToEndTest, MalformedOptionsAndScriptsEndWithOneLineBeforeAnyWindow) {
    GameRun option = run({"--headless", "--frames", "soon"});
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_EQ(option.err, "halcyra: --frames: expected a whole number of frames above 0, got 'soon'\n");
    EXPECT_EQ(option.out, "");

    write("keys.txt", "3 down W\n4 hold W\n");
    GameRun script = run({"--headless", "--input", "keys.txt"});
    EXPECT_EQ(script.exitCode, 2);
    EXPECT_EQ(script.err, "halcyra: keys.txt:2: unknown action 'hold' (down, up or tap)\n");
    EXPECT_EQ(script.out, "");

    GameRun missing = run({"--headless", "--input", "nowhere.txt"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "halcyra: cannot read input script 'nowhere.txt': No such file or directory\n");
}

}  // namespace
