// The settings and the save: kept between runs, never fatal when broken,
// never half written.
#include "Content/PlayerFiles.h"
#include "Content/Settings.h"
#include "Engine/KeyCodes.h"
#include "World/GameProgress.h"

#include "TestSupport.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

// The player's directories pointed into a scratch directory for one test.
class PlayerFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", scratch.path("config").c_str(), 1);
        setenv("XDG_DATA_HOME", scratch.path("data").c_str(), 1);
    }
    // Read again from the scratch directory, so that nothing is saved
    // after the test.
    void TearDown() override {
        setenv("XDG_CONFIG_HOME", scratch.path("config").c_str(), 1);
        setenv("XDG_DATA_HOME", scratch.path("data").c_str(), 1);
        SettingsInit();
        GameProgressInitSave();
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        GameProgressReset();
    }

    std::string settingsPath() const { return scratch.path("config/halcyra/settings.json"); }
    std::string savePath() const { return scratch.path("data/halcyra/save.json"); }
    bool exists(const std::string& path) const { return std::filesystem::exists(path); }

    ScratchDirectory scratch;
};

// What goes wrong with a file, made in its place.
struct Breakage {
    const char* name;
    std::function<void(const std::string& path)> make;
};

std::vector<Breakage> breakages() {
    auto text = [](std::string bytes) {
        return [bytes](const std::string& path) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            std::ofstream(path, std::ios::binary) << bytes;
        };
    };
    return {
        {"empty", text("")},
        {"truncated", text("{\"masterVolume\": 40, \"window\": \"full scr")},
        {"not JSON", text("volume=11\n")},
        {"JSON of the wrong kind", text("[1, 2, 3]")},
        {"100 MB",
         [](const std::string& path) {
             std::filesystem::create_directories(std::filesystem::path(path).parent_path());
             std::ofstream file(path, std::ios::binary);
             file << "{\"x\":\"";
             const std::string block(1 << 20, 'a');
             for (int i = 0; i < 100; ++i) file << block;
             file << "\"}";
         }},
        {"a directory", [](const std::string& path) { std::filesystem::create_directories(path); }},
        {"a FIFO",
         [](const std::string& path) {
             std::filesystem::create_directories(std::filesystem::path(path).parent_path());
             mkfifo(path.c_str(), 0600);
         }},
        {"unreadable",
         [text](const std::string& path) {
             text("{}")(path);
             chmod(path.c_str(), 0);
         }},
    };
}

TEST_F(PlayerFilesTest, SettingsComeBackAsTheyWereLeftWithWhatANewerVersionWroteKept) {
    scratch.write("config/halcyra/settings.json",
                  R"({"musicVolume": 30, "subtitles": {"size": [1, 2.5]}, "brightness": 0})");
    SettingsInit();
    EXPECT_EQ(SettingsCurrent().musicVolume, 30);
    EXPECT_TRUE(SettingsCurrent().brightnessChosen);
    Settings changed = SettingsCurrent();
    changed.masterVolume = 70;
    changed.fullScreen = false;
    changed.windowWidth = 1344;
    changed.windowHeight = 756;
    changed.brightness = 40;
    changed.smoothLight = true;
    changed.reduceFlashing = true;
    EXPECT_EQ(bindKey(&changed.keys, Action::Interact, 1, KEY_F1), "");
    SettingsChange(changed);
    SettingsInit();
    EXPECT_EQ(SettingsCurrent(), changed);
    std::ifstream file(settingsPath());
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_THAT(text, testing::HasSubstr(R"("subtitles": {"size":[1,2.5]})"));
    EXPECT_FALSE(exists(settingsPath() + ".bad"));
    struct stat status {};
    ASSERT_EQ(stat(settingsPath().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "the player's own";
}

// Each broken file: the defaults, one warning naming the file, the file kept
// aside, and a game that starts.
TEST_F(PlayerFilesTest, ABrokenSettingsFileOrSaveStartsTheGameWithTheDefaultsAndIsKeptAside) {
    for (const Breakage& breakage : breakages()) {
        if (std::string(breakage.name) == "unreadable" && geteuid() == 0) continue;
        for (const bool isSave : {false, true}) {
            SCOPED_TRACE(std::string(breakage.name) + (isSave ? " save" : " settings"));
            // A home of its own: a warning already given is not given again.
            const std::string home = scratch.path(std::string(breakage.name) + (isSave ? "-save" : ""));
            setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
            setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
            const std::string path =
                isSave ? home + "/data/halcyra/save.json" : home + "/config/halcyra/settings.json";
            breakage.make(path);
            testing::internal::CaptureStderr();
            if (isSave) GameProgressInitSave();
            else SettingsInit();
            const std::string warning = testing::internal::GetCapturedStderr();
            EXPECT_THAT(warning, testing::HasSubstr(path));
            EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
            EXPECT_EQ(isSave ? GameProgressHasSave() : !(SettingsCurrent() == Settings{}), false);
            chmod(path.c_str(), 0600);
            EXPECT_TRUE(exists(path + ".bad"));
        }
    }
}

TEST_F(PlayerFilesTest, AValueOfTheWrongKindOrOutOfRangeFallsBackAloneAndIsNamed) {
    struct Case {
        const char* member;
        const char* why;
    };
    const Case cases[] = {
        {R"("masterVolume": "loud")", "masterVolume"},
        {R"("effectsVolume": 101)", "effectsVolume"},
        {R"("window": "99999x2")", "window"},
        {R"("window": "+896x504 ")", "window"},
        {R"("brightness": -10)", "brightness"},
        {R"("light": "candles")", "light"},
        {R"("reduceFlashing": 1)", "reduceFlashing"},
        {R"("keys": {"walkUp": ["Space"]})", "keys"},  // Interact's key already
        {R"("keys": {"pause": ["Enter"]})", "keys"},
        {R"("keys": {"walkUp": ["W", "Up", "Q"]})", "keys"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        const std::string home = scratch.path(std::to_string(&c - cases));
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        const std::string path = scratch.write(std::to_string(&c - cases) + "/halcyra/settings.json",
                                               std::string("{\"musicVolume\": 20, ") + c.member + "}");
        testing::internal::CaptureStderr();
        SettingsInit();
        const std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_THAT(warning, testing::HasSubstr(std::string("\"") + c.why + "\""));
        EXPECT_EQ(SettingsCurrent().musicVolume, 20) << "what is right in the file stays";
        EXPECT_EQ(SettingsCurrent().keys, Settings::defaultKeyBindings());
        EXPECT_TRUE(exists(path)) << "the file itself stays for its good values";
        EXPECT_TRUE(exists(path + ".bad"));
    }
}

TEST_F(PlayerFilesTest, AKeyAnotherActionHoldsIsRefusedSayingWhich) {
    struct Case {
        Action action;
        size_t slot;
        int key;
        const char* answer;
    };
    const Case cases[] = {
        {Action::Interact, 0, KEY_W, "W is taken by Walk up"},
        {Action::Pause, 1, KEY_ENTER, "Enter is kept for the menus"},
        {Action::ClosePage, 1, KEY_GRAVE, "` is kept for the menus"},
        {Action::WalkUp, 0, KEY_0 + 8, ""},
        {Action::WalkUp, 1, KEY_W, ""},  // its own other key: the two change places
    };
    for (const Case& c : cases) {
        KeyBindings keys = Settings::defaultKeyBindings();
        EXPECT_EQ(bindKey(&keys, c.action, c.slot, c.key), c.answer);
    }
    KeyBindings keys = Settings::defaultKeyBindings();
    bindKey(&keys, Action::WalkUp, 0, KEY_UP);
    EXPECT_EQ(keys[static_cast<size_t>(Action::WalkUp)], (std::array<int, 2>{KEY_UP, KEY_W}));
    for (int key = 1; key < KEY_CODE_COUNT; ++key) {
        if (keyName(key)[0] == '\0') continue;
        EXPECT_EQ(keyFromName(keyName(key)), key) << key;
    }
}

TEST_F(PlayerFilesTest, ASaveBringsBackTheRoomTheKeysThePagesAndTheCandle) {
    PlayState entry;
    entry.entryDoor = {"Assets/FloorTemplate/FinalRooms/Cellar.json", "", true, 2, 7, 3, true};
    entry.carriedCandleLife = 43.25f;
    entry.carriedRotation = 1.5f;
    gameProgress.collectedKeyIds[0] = 3;
    gameProgress.journalTaken = true;
    gameProgress.reachedCheckpoints = {1, 5, 2};
    gameProgress.lastCheckpointId = 5;
    gameProgress.lastCheckpointRoom = "Assets/FloorTemplate/FinalRooms/Cellar.json";
    gameProgress.finalScene.reading = true;
    gameProgress.sound.introMusicPlayed = true;
    const GameProgress saved = gameProgress;
    const ScopedDirectory inTheData(HALCYRA_ASSETS "/..");
    GameProgressInitSave();
    GameProgressStartSaving();
    GameProgressSave(entry);
    GameProgressReset();
    GameProgressInitSave();
    ASSERT_TRUE(GameProgressHasSave());
    PlayState continued;
    ASSERT_TRUE(GameProgressContinue(&continued));
    EXPECT_EQ(gameProgress, saved);
    EXPECT_EQ(continued.entryDoor.target, entry.entryDoor.target);
    EXPECT_EQ(continued.entryDoor.id, 7);
    EXPECT_TRUE(continued.entryDoor.locked && continued.entryDoor.isHole);
    EXPECT_EQ(continued.carriedCandleLife, 43.25f);
    GameProgressForgetSave();
    EXPECT_FALSE(exists(savePath()));

    // A save whose room is gone is not offered.
    entry.entryDoor.target = "Assets/FloorTemplate/FinalRooms/Demolished.json";
    GameProgressStartSaving();
    GameProgressSave(entry);
    testing::internal::CaptureStderr();
    GameProgressInitSave();
    EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::HasSubstr("Demolished.json"));
    EXPECT_FALSE(GameProgressHasSave());
    EXPECT_TRUE(exists(savePath() + ".bad"));
}

// Killed while it writes, or written by two games at once, the file always
// parses and holds one whole version.
TEST_F(PlayerFilesTest, AKilledOrConcurrentWriterNeverLeavesHalfAFile) {
    const std::string path = savePath();
    const std::string versions[] = {"{\"v\":\"" + std::string(200000, 'a') + "\"}",
                                    "{\"v\":\"" + std::string(300000, 'b') + "\"}"};
    auto writeForever = [&](int first) {
        std::string problem;
        for (int i = first;; ++i)
            if (!PlayerFilesWrite(path, versions[i % 2], &problem)) _exit(1);
    };
    auto holdsOneVersion = [&] {
        const PlayerFileRead read = PlayerFilesRead(path);
        if (read.status != PlayerFileStatus::Read) return false;
        std::string text;
        JsonWrite(read.document.get(), &text);
        return text == versions[0] || text == versions[1];
    };
    std::string problem;
    ASSERT_TRUE(PlayerFilesWrite(path, versions[0], &problem)) << problem;
    std::mt19937 chance(7);
    int kills = 0;
    for (; kills < 100; ++kills) {
        const pid_t writer = fork();
        if (writer == 0) writeForever(kills);
        usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(chance));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        ASSERT_TRUE(holdsOneVersion()) << "after kill " << kills;
    }
    EXPECT_EQ(kills, 100);
    const pid_t first = fork();
    if (first == 0) writeForever(0);
    const pid_t second = fork();
    if (second == 0) writeForever(1);
    for (int check = 0; check < 50; ++check) {
        usleep(1000);
        EXPECT_TRUE(holdsOneVersion());
    }
    for (const pid_t writer : {first, second}) {
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
    }
}

// A directory that cannot be made: the game plays on and says so once.
TEST_F(PlayerFilesTest, WithoutAWritableDirectoryTheGamePlaysOnSayingSoOnce) {
    setenv("XDG_CONFIG_HOME", "/dev/null/config", 1);
    SettingsInit();
    testing::internal::CaptureStderr();
    for (int32_t volume : {10, 20, 30}) {
        Settings next = SettingsCurrent();
        next.masterVolume = volume;
        SettingsChange(next);
        EXPECT_EQ(SettingsCurrent().masterVolume, volume);
    }
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    EXPECT_THAT(warning, testing::HasSubstr("/dev/null/config/halcyra"));
}

}  // namespace
