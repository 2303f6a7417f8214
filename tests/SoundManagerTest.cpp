#include "Audio/EventAudio.h"
#include "Audio/SoundManager.h"
#include "TestSupport.h"
#include "Util/Random.h"
#include "World/Narration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using LogLine = AudioLogLine;

// Each volume and the category of the project it turns.
const std::pair<SoundVolume, const char*> VOLUMES[] = {{SoundVolume::Master, "master"},
                                                       {SoundVolume::Music, "music"},
                                                       {SoundVolume::Effects, "effects"},
                                                       {SoundVolume::Narration, "narration"}};

// Runs the sound manager on the silent backend over the game's own event
// project, reading back what it did from the audio log.
class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(files.path("Assets"));
        std::filesystem::create_directory_symlink(std::filesystem::absolute(HALCYRA_ASSETS "/Sounds"),
                                                  files.path("Assets/Sounds"));
        AudioConfigure(AudioBackend::Silent);
        ASSERT_TRUE(AudioLogOpen(files.path("audio.log").c_str()));
        SoundManagerInit();
    }

    // The volumes outlive the sound system: the next test starts at full.
    void TearDown() override {
        for (auto [which, category] : VOLUMES) SoundManagerSetVolume(which, 1.0f);
        SoundManagerShutdown();
    }

    void frames(int count, float dt = 1.0f / 60.0f) {
        for (int i = 0; i < count; ++i) {
            AudioLogSetFrame(++frame);
            SoundManagerUpdate(dt);
        }
    }

    std::vector<LogLine> log(const std::string& action = "", const std::string& name = "") const {
        return readAudioLog(files.path("audio.log"), action, name);
    }

    ScratchDirectory files;
    ScopedDirectory inFiles{files.root};
    long frame = 0;
};

TEST_F(SoundManagerTest, SelectingTheCurrentStateDoesNotRestartIt) {
    frames(3);
    SoundManagerSetState(MS_CALM);
    frames(3);
    EXPECT_EQ(log("start", "mus_level_calm").size(), 1u);
    EXPECT_EQ(log("param", "mus_level_calm:Intensity").front().value, "0.5");
}

TEST_F(SoundManagerTest, LevelMusicFollowsTheCandle) {
    SoundCharacter character{5.0f, false};
    SoundManagerFollowCharacter(&character);
    SoundManagerSetState(MS_DANGER);
    frames(51);
    std::vector<LogLine> danger = log("param", "mus_danger:intensity");
    ASSERT_EQ(danger.size(), 51u);
    EXPECT_NEAR(std::stof(danger.back().value), 0.5f, 1e-4f) << "up 0.01 a frame towards 1 - 5 / 10";

    character.candleLife = 130.0f;
    SoundManagerFollowCharacter(&character);
    SoundManagerSetState(MS_SPOOKY);
    frames(20);
    EXPECT_EQ(log("param", "mus_level_spooky1:Intensity").size(), 1u) << "above 120 s the level stays";
    EXPECT_EQ(log("stop", "mus_danger").size(), 1u);
    character.candleLife = 50.0f;
    SoundManagerFollowCharacter(&character);
    frames(10);
    EXPECT_EQ(log("param", "mus_level_spooky1:Intensity").size(), 11u);
    EXPECT_EQ(log("start", "mus_level_spooky4").size(), 1u) << "the deep layer joins below 60 s";
}

// The score keeps time in seconds: the death music gives way after 25 s, the
// danger rises 0.6 a second towards what the candle calls for, the tension
// creeps up 0.006 a second, at 30, 60, 144 and 240 frames a second alike.
TEST_F(SoundManagerTest, TheScoreKeepsTimeInSecondsAtAnyFrameRate) {
    for (float dt : {1 / 30.0f, 1 / 60.0f, 1 / 144.0f, 1 / 240.0f}) {
        SCOPED_TRACE(testing::Message() << 1 / dt << " fps");
        const SoundCharacter dying{5.0f, false};
        SoundManagerFollowCharacter(&dying);
        SoundManagerStopAll();
        SoundManagerSetState(MS_DEATH);
        frames(1, dt);
        double seconds = 0;
        for (; SoundManagerMusicState() == MS_DEATH && seconds < 60; seconds += dt) frames(1, dt);
        EXPECT_NEAR(seconds, 25.0 + dt / 2, dt / 2 + 1e-3) << "in the frame the 25 s are up";

        SoundManagerSetState(MS_DANGER);
        frames(1, dt);
        for (seconds = 0; std::stof(log("param", "mus_danger:intensity").back().value) < 0.4999f;
             seconds += dt)
            frames(1, dt);
        EXPECT_NEAR(seconds, 0.5 / 0.6, dt + 1e-3) << "from 0 to 1 - 5 / 10";

        const SoundCharacter burning{100.0f, false};
        SoundManagerFollowCharacter(&burning);
        SoundManagerStopAll();
        SoundManagerSetState(MS_SPOOKY);
        frames(1, dt);
        frames(static_cast<int>(std::lround(10 / dt)), dt);
        EXPECT_NEAR(std::stof(log("param", "mus_level_spooky1:Intensity").back().value), 0.06f, 0.0005f);
        SoundManagerSetState(MS_CALM);
    }
}

TEST_F(SoundManagerTest, TheStormSoundsOnlyOutInTheStorm) {
    const SoundCharacter onTheRoof{100.0f, true};
    SoundManagerFollowCharacter(&onTheRoof);
    SoundManagerSetAmbience(AS_STORM);
    frames(3);
    EXPECT_EQ(log("start", "sfx_rain").size(), 1u);
    EXPECT_TRUE(log("stop", "sfx_rain").empty());
    const SoundCharacter indoors{100.0f, false};
    SoundManagerFollowCharacter(&indoors);
    frames(1);
    EXPECT_EQ(log("stop", "sfx_rain").size(), 1u);
}

TEST_F(SoundManagerTest, ThunderRollsEvery20To29Seconds) {
    for (unsigned seed = 0; seed < 20; ++seed) {
        RandomSeed(seed);
        long stormStart = frame + 1;
        SoundManagerSetAmbience(AS_STORM);
        frames(40, 1.0f);
        SoundManagerSetAmbience(AS_QUIET);
        long firstPeal = 0;
        for (const LogLine& line : log("", "sfx_thunder")) {
            if (line.frame < stormStart) continue;
            if (line.action == "start" && firstPeal == 0) firstPeal = line.frame;
            if (line.action != "stop" || firstPeal == 0) continue;
            EXPECT_GE(line.frame - firstPeal, 20) << "seed " << seed;
            EXPECT_LE(line.frame - firstPeal, 29) << "seed " << seed;
            break;
        }
        EXPECT_EQ(firstPeal, stormStart);
    }
}

// The world keeps the pages' reading time (World/Narration.h): a line runs
// its length from the frame after it starts, then the calm music returns;
// the first holds the character still and turns the room strange near its
// end; the final line plays once a game.
TEST_F(SoundManagerTest, ALineIsReadForItsLengthAndTheFinalOnceAGame) {
    // A frame of the game, as it runs the narration and the sound.
    auto second = [&] {
        NarrationUpdate(1.0f);
        SoundManagerFollowNarration(NarrationSecondsLeft());
        frames(1, 1.0f);
    };
    auto readUntilCalm = [&](int32_t page) {
        NarrationStart(page);
        int seconds = 0;
        for (; SoundManagerMusicState() != MS_CALM && seconds < 100; ++seconds) {
            second();
            if (page == 1 && SoundManagerMusicState() != MS_CALM) {
                EXPECT_TRUE(NarrationHoldsCharacterStill());
            }
        }
        return seconds;
    };
    EXPECT_EQ(readUntilCalm(1), 72) << "the frame it starts in, then 70 s run out";
    EXPECT_FALSE(log("reverb", "Insane").empty()) << "its last seconds turn strange";
    EXPECT_EQ(log("stop", "dial_1").size(), 1u);
    second();
    EXPECT_FALSE(NarrationHoldsCharacterStill()) << "once it is over";
    for (int time = 0; time < 2; ++time) EXPECT_EQ(readUntilCalm(8), 63);
    EXPECT_EQ(log("start", "dial_8").size(), 1u);
    SoundProgress newGame;
    SoundManagerUseProgress(&newGame);
    NarrationStart(8);
    second();
    EXPECT_EQ(log("start", "dial_8").size(), 2u) << "a new game reads it again";
    SoundManagerUseProgress(nullptr);
    NarrationReset();
}

TEST_F(SoundManagerTest, FootstepsChooseMaterialAndRoom) {
    const std::tuple<int, const char*, const char*> steps[] = {
        {0, "0", "hall_large"}, {1, "0.5", "room_harsh"}, {5, "0.9", "Insane"}};
    for (const auto& [which, material, reverb] : steps) {
        AudioLogSetFrame(++frame);
        SoundManagerPlayFootstep(which, which);
        EXPECT_EQ(log("param", "sfx_footsteps:material").back().value, material);
        EXPECT_EQ(log("reverb").back().name, reverb);
    }
    EXPECT_EQ(log("start", "sfx_footsteps").size(), 3u);
}

TEST_F(SoundManagerTest, ShotsFollowTheScreamThenTheIntroMusic) {
    SoundManagerSetState(MS_SHOTS);
    frames(120, 0.1f);
    std::vector<LogLine> plays = log("play-file");
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].name, "Assets/Sounds/Scream.wav");
    EXPECT_EQ(plays[1].name, "Assets/Sounds/Gun.mp3");
    EXPECT_EQ(plays[1].frame - plays[0].frame, 10) << "the shot a second after the scream";
    std::vector<LogLine> intro = log("start", "mus_intro");
    ASSERT_EQ(intro.size(), 1u);
    EXPECT_EQ(intro[0].frame - plays[1].frame, 56) << "once less than 4.5 s of the ten remain";
    EXPECT_EQ(SoundManagerMusicState(), MS_INTRO);
}

TEST_F(SoundManagerTest, StopAllClearsTheSlotsSoAStateStartsAfresh) {
    SoundManagerSetState(MS_MENU);
    frames(2);
    SoundManagerStopAll();
    EXPECT_EQ(log("stop", "mus_menu").size(), 1u);
    frames(1);
    EXPECT_EQ(log("start", "mus_menu").size(), 2u);
}

TEST_F(SoundManagerTest, VolumesSetBeforeStartUpApplyThereAndLaterOnesAtOnce) {
    SoundManagerShutdown();
    const std::pair<float, const char*> shares[] = {
        {0.2f, "0.2"}, {0.4f, "0.4"}, {0.6f, "0.6"}, {0.8f, "0.8"}};
    for (size_t i = 0; i < std::size(VOLUMES); ++i) SoundManagerSetVolume(VOLUMES[i].first, shares[i].first);
    EXPECT_TRUE(log("volume").empty()) << "nothing to turn before start-up";
    AudioLogSetFrame(1);
    SoundManagerInit();
    for (size_t i = 0; i < std::size(VOLUMES); ++i) {
        const char* category = VOLUMES[i].second;
        EXPECT_EQ(log("volume", category), (std::vector<LogLine>{{1, "volume", category, shares[i].second}}));
        EXPECT_EQ(SoundManagerVolume(VOLUMES[i].first), shares[i].first);
    }

    AudioLogSetFrame(5);
    const std::tuple<SoundVolume, float, float> settings[] = {{SoundVolume::Music, 2.0f, 1.0f},
                                                              {SoundVolume::Narration, NAN, 0.0f},
                                                              {SoundVolume::Master, 0.5f, 0.5f}};
    for (auto [which, given, kept] : settings) {
        SoundManagerSetVolume(which, given);
        EXPECT_EQ(SoundManagerVolume(which), kept) << given;
        EXPECT_EQ(std::stof(log("volume").back().value), kept) << given;
    }
    EXPECT_EQ(log("volume").back().frame, 5);
}

TEST(SoundManagerWithoutProjectTest, MissingSoundsLeaveSilenceButStatesStillHandOver) {
    const ScratchDirectory empty;
    const ScopedDirectory inEmpty(empty.root);
    AudioConfigure(AudioBackend::Silent);
    SoundManagerInit();
    SoundManagerSetState(MS_DOOR);
    for (int i = 0; i < 200; ++i) SoundManagerUpdate(0.02f);
    EXPECT_EQ(SoundManagerMusicState(), MS_SPOOKY) << "the door cue ends after its two seconds";
    SoundManagerSetState(MS_SHOTS);
    for (int i = 0; i < 200; ++i) SoundManagerUpdate(0.1f);
    EXPECT_EQ(SoundManagerMusicState(), MS_INTRO);
    SoundManagerPlayFootstep(0, 0);
    SoundManagerPlayInterface(7);
    SoundManagerShutdown();
}

}  // namespace
