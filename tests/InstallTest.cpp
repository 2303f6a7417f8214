// Installs the game into a scratch prefix, as `make install` does, and plays
// the installed program from a directory of its own, as a player would.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct GameRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string readText(const fs::path& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/halcyra-install-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directory(play());
        const fs::path log = root / "install.log";
        ASSERT_EQ(shell(quoted(HALCYRA_CMAKE) + " --install " + quoted(HALCYRA_BUILD_DIR) + " --prefix " +
                        quoted(root / "usr") + " > " + quoted(log)),
                  0)
            << readText(log);
    }

    void TearDown() override { fs::remove_all(root); }

    // Runs the installed program in the play directory, with the crash trace
    // kept under stateHome and the settings and the save in the scratch root.
    GameRun run(const std::string& arguments, const fs::path& stateHome) const {
        const std::string homes = "XDG_STATE_HOME=" + quoted(stateHome) + " XDG_CONFIG_HOME=" +
                                  quoted(root / "config") + " XDG_DATA_HOME=" + quoted(root / "data") + " ";
        const int exitCode = shell("cd " + quoted(play()) + " && " + homes +
                                   quoted(root / "usr/bin/halcyra") + " " + arguments + " > " +
                                   quoted(root / "out.txt") + " 2> " + quoted(root / "err.txt"));
        return {exitCode, readText(root / "out.txt"), readText(root / "err.txt")};
    }

    // Where the player starts the game: nothing of the game's is there.
    fs::path play() const { return root / "play"; }

    fs::path root;
};

TEST_F(InstallTest, TheInstalledGameFindsItsDataAndWritesThePlayersFilesWhereItIsStarted) {
    const fs::path state = root / "state";
    GameRun check = run("--check-assets", state);
    ASSERT_EQ(check.exitCode, 0) << check.err;
    EXPECT_NE(check.out.find("preload entries checked"), std::string::npos) << check.out;

    std::ofstream(play() / "keys.txt") << "# no keys, read from where the game was started\n";
    GameRun game =
        run("--headless --frames 60 --fixed-dt 0.04 --seed 1 --input keys.txt --state-log state.jsonl "
            "--screenshot 30:shot.png",
            state);
    ASSERT_EQ(game.exitCode, 0) << game.err;
    EXPECT_EQ(game.err, "");
    EXPECT_GT(fs::file_size(play() / "shot.png"), 0u);
    std::istringstream log(readText(play() / "state.jsonl"));
    int lines = 0;
    for (std::string line; std::getline(log, line);) ++lines;
    EXPECT_EQ(lines, 60);
    EXPECT_FALSE(fs::exists(play() / "Debug.Trace.txt")) << "the trace is kept with the player's state";
    EXPECT_EQ(readText(state / "halcyra/Debug.Trace.txt"), "") << "a clean run reports nothing";
}

TEST_F(InstallTest, TheInstalledGameKeepsItsCrashTraceWithThePlayersStateOrPlaysWithout) {
    const std::string missingRoom = "--headless --fixed-dt 0.02 --frames 20000 --room Assets/Nowhere.json";
    const std::string report = "Unable to load file (Assets/Nowhere.json).";

    // The state directory and its missing parents are made private.
    const fs::path state = root / "new/state";
    GameRun crash = run(missingRoom, state);
    EXPECT_EQ(crash.exitCode, 1);
    const fs::path trace = state / "halcyra/Debug.Trace.txt";
    EXPECT_NE(readText(trace).find(report), std::string::npos) << crash.err;
    EXPECT_TRUE(
        crash.err.ends_with("Please contact a developer with the debug trace.\n\n" + trace.string() + "\n"))
        << crash.err;
    for (const fs::path& directory : {root / "new", state, state / "halcyra"}) {
        struct stat info {};
        ASSERT_EQ(stat(directory.c_str(), &info), 0) << directory;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << directory;
    }

    // A state directory that cannot be made leaves the report on standard error.
    std::ofstream(root / "file") << "not a directory";
    GameRun untraced = run(missingRoom, root / "file");
    EXPECT_EQ(untraced.exitCode, 1);
    EXPECT_EQ(untraced.err.rfind("halcyra: warning: cannot make the directory '" +
                                     (root / "file/halcyra").string() +
                                     "' for the crash trace: Not a directory; playing on without one\n",
                                 0),
              0u)
        << untraced.err;
    EXPECT_NE(untraced.err.find(report), std::string::npos);
    EXPECT_TRUE(untraced.err.ends_with("Please contact a developer with the debug trace.\n")) << untraced.err;
}

}  // namespace
