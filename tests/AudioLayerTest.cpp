#include "Audio/AudioOutput.h"
#include "Audio/EventAudioInspection.h"
#include "Audio/EventProject.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <thread>

extern char** environ;

namespace {

constexpr double STEP = 0.01;
constexpr int RATE = 44100;

// A sine tone as a WAV file, or nothing but bytes that libsndfile refuses.
void writeTone(const std::string& path, double seconds, int channels = 1) {
    SF_INFO info{};
    info.samplerate = RATE;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples(static_cast<size_t>(seconds * RATE) * static_cast<size_t>(channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * static_cast<float>(i / channels) / RATE);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
    sf_close(file);
}

const char PROJECT[] = R"({
  "project": "test", "categories": ["master", "music", "effects"],
  "reverbPresets": { "hall_large": { "base": "HALL", "decayTime": 3.2, "gain": 0.4 },
                     "Insane": { "base": "PSYCHOTIC" } },
  "groups": {
    "test/Music": { "calm": {
      "category": "music", "volume": 0.8, "loop": true, "fadeOut": 0.5, "maxInstances": 1,
      "parameters": { "Intensity": { "min": 0, "max": 1, "default": 0.5 } },
      "layers": [
        { "file": "Music\\pad.wav", "gain": { "parameter": "Intensity", "curve": [[0, 0.5], [1, 1.0]] } },
        { "file": "Music/pad.wav", "delay": 0.2,
          "pitch": { "parameter": "Intensity", "curve": [[0.2, 1], [0.6, 2]] } } ] } },
    "test/SFX": {
      "step": { "category": "effects", "maxInstances": 2,
                "parameters": { "material": { "min": 0, "max": 1 } },
                "layers": [ { "variants": [
                  { "file": "wood.wav", "parameter": "material", "from": 0, "to": 0.3 },
                  { "file": "stone.wav", "parameter": "material", "from": 0.7, "to": 1 } ] } ] },
      "missing": { "layers": [ { "file": "nothere.wav" } ] },
      "broken": { "layers": [ { "file": "broken.wav" } ] },
      "partly": { "layers": [ { "file": "wood.wav" }, { "file": "nothere.wav" } ] } } }
})";

using LogLine = AudioLogLine;

// The test project on the silent backend, with audio time advancing a fixed
// step per update.
class AudioLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(files.path("Sounds/Music"));
        writeTone(files.path("Sounds/Music/pad.wav"), 1.0, 2);
        writeTone(files.path("Sounds/wood.wav"), 0.25);
        writeTone(files.path("Sounds/stone.wav"), 0.5);
        files.write("Sounds/broken.wav", "RIFF, but nothing a sound file holds");
        files.write("Sounds/test.fev", PROJECT);
        AudioConfigure(AudioBackend::Silent);
        AudioConfigureTimeStep(STEP);
        ASSERT_TRUE(AudioLogOpen(files.path("audio.log").c_str()));
        AudioLogSetFrame(0);
        ASSERT_EQ(AudioEventSystemCreate(&system), AUDIO_OK);
        ASSERT_EQ(AudioEventSystemInit(system, 100), AUDIO_OK);
        ASSERT_EQ(AudioEventSystemSetMediaPath(system, (files.root + "\\Sounds").c_str()), AUDIO_OK);
        ASSERT_EQ(AudioEventSystemLoad(system, "test.fev"), AUDIO_OK);
        ASSERT_EQ(AudioEventSystemGetGroup(system, "test/Music", &music), AUDIO_OK);
        ASSERT_EQ(AudioEventSystemGetGroup(system, "test/SFX", &effects), AUDIO_OK);
    }

    void TearDown() override {
        EXPECT_EQ(AudioEventSystemRelease(system), AUDIO_OK);
        AudioLogClose();
        AudioConfigureTimeStep(0.0);
    }

    AudioEvent* event(AudioEventGroup* group, const char* name) {
        AudioEvent* instance = nullptr;
        EXPECT_EQ(AudioEventGroupGetEvent(group, name, &instance), AUDIO_OK) << name;
        return instance;
    }

    AudioEventCategory* category(const char* name) {
        AudioEventCategory* found = nullptr;
        EXPECT_EQ(AudioEventSystemGetCategory(system, name, &found), AUDIO_OK) << name;
        return found;
    }

    AudioEventParameter* parameter(AudioEvent* instance, const char* name) {
        AudioEventParameter* found = nullptr;
        EXPECT_EQ(AudioEventGetParameter(instance, name, &found), AUDIO_OK) << name;
        return found;
    }

    static AudioLayerState layer(const AudioEvent* instance, int index) {
        AudioLayerState state{};
        EXPECT_TRUE(AudioEventGetLayerState(instance, index, &state));
        return state;
    }

    void advance(double seconds) {
        for (int i = 0; i < static_cast<int>(std::lround(seconds / STEP)); ++i)
            AudioEventSystemUpdate(system);
    }

    std::vector<LogLine> log() const { return readAudioLog(files.path("audio.log")); }

    ScratchDirectory files;
    AudioEventSystem* system = nullptr;
    AudioEventGroup* music = nullptr;
    AudioEventGroup* effects = nullptr;
};

TEST_F(AudioLayerTest, LookUpsFindWhatTheProjectNamesAndNothingElse) {
    AudioEventGroup* group = music;
    EXPECT_EQ(AudioEventSystemGetGroup(system, "test/music", &group), AUDIO_ERR_GROUP_NOT_FOUND);
    EXPECT_EQ(group, nullptr) << "a failed look-up leaves no stale handle";
    AudioEvent* instance = nullptr;
    EXPECT_EQ(AudioEventGroupGetEvent(music, "step", &instance), AUDIO_ERR_EVENT_NOT_FOUND)
        << "in another group";

    AudioEventCategory* category = nullptr;
    for (const char* name : {"master", "music", "effects"})
        EXPECT_EQ(AudioEventSystemGetCategory(system, name, &category), AUDIO_OK) << name;
    EXPECT_EQ(AudioEventSystemGetCategory(system, "sfx", &category), AUDIO_ERR_CATEGORY_NOT_FOUND);

    AudioReverbProperties reverb{};
    int index = -1;
    EXPECT_EQ(AudioEventSystemGetReverbPreset(system, "Insane", &reverb, &index), AUDIO_OK);
    EXPECT_EQ(index, 1);
    EXPECT_STREQ(reverb.name, "Insane");
    EXPECT_EQ(AudioEventSystemGetReverbPreset(system, "hall_large", &reverb, &index), AUDIO_OK);
    EXPECT_FLOAT_EQ(reverb.decayTime, 3.2f) << "overrides the base";
    EXPECT_FLOAT_EQ(reverb.diffusion, 1.0f) << "the rest comes from the concert hall";
    EXPECT_EQ(AudioEventSystemGetReverbPreset(system, "insane", &reverb, &index), AUDIO_ERR_PRESET_NOT_FOUND);

    AudioEvent* calm = event(music, "calm");
    EXPECT_STREQ(AudioEventName(calm), "calm");
    AudioEventParameter* found = nullptr;
    EXPECT_EQ(AudioEventGetParameter(calm, "intensity", &found), AUDIO_ERR_PARAMETER_NOT_FOUND);
    std::array<float, 3> rangeAndDefault{-1, -1, -1};
    AudioEventParameter* intensity = parameter(calm, "Intensity");
    EXPECT_EQ(AudioEventParameterGetRange(intensity, &rangeAndDefault[0], &rangeAndDefault[1]), AUDIO_OK);
    EXPECT_EQ(AudioEventParameterGetValue(intensity, &rangeAndDefault[2]), AUDIO_OK);
    EXPECT_EQ(rangeAndDefault, (std::array<float, 3>{0, 1, 0.5f}));
}

TEST_F(AudioLayerTest, NullHandlesAndArgumentsAreRefused) {
    AudioEvent* calm = event(music, "calm");
    EXPECT_EQ(AudioEventSystemInit(nullptr, 10), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventSystemGetGroup(system, nullptr, &music), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventSystemGetGroup(system, "test/Music", nullptr), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventSystemSetReverbProperties(system, nullptr), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventGroupGetEvent(nullptr, "calm", &calm), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventStart(nullptr), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventStop(nullptr, true), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventParameterSetValue(nullptr, 1.0f), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventParameterGetValue(parameter(calm, "Intensity"), nullptr), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventCategorySetVolume(nullptr, 1.0f), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioEventCategoryGetVolume(category("music"), nullptr), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioSoundSetCategory(nullptr, category("music")), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioSoundRelease(nullptr), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_FALSE(AudioEventIsPlaying(nullptr));
    EXPECT_FALSE(AudioEventGetLayerState(calm, 2, nullptr));
    AudioLayerState state{};
    EXPECT_FALSE(AudioEventGetLayerState(calm, 2, &state)) << "calm has two layers";
    EXPECT_FALSE(AudioEventGetLayerState(calm, -1, &state));
    EXPECT_STREQ(AudioErrorString(AUDIO_ERR_FILE_NOT_FOUND), "sound file not found");
    EXPECT_STREQ(AudioErrorString(99), "unknown audio error");
}

TEST_F(AudioLayerTest, ParametersClampAndTheirCurvesSteerTheLayersWhilePlaying) {
    AudioEvent* calm = event(music, "calm");
    AudioEventParameter* intensity = parameter(calm, "Intensity");
    ASSERT_EQ(AudioEventStart(calm), AUDIO_OK);
    EXPECT_STREQ(layer(calm, 0).file, "Music\\pad.wav");
    EXPECT_FLOAT_EQ(layer(calm, 0).gain, 0.8f * 0.75f) << "volume times the curve at 0.5";
    EXPECT_EQ(layer(calm, 1).file, nullptr) << "the second layer waits for its delay";
    advance(0.21);
    EXPECT_STREQ(layer(calm, 1).file, "Music/pad.wav");
    EXPECT_FLOAT_EQ(layer(calm, 1).pitch, 1.75f);

    float value = 0.0f;
    const std::pair<float, float> settings[] = {
        {5.0f, 1.0f}, {-3.0f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f}, {0.4f, 0.4f}};
    for (auto [given, kept] : settings) {
        EXPECT_EQ(AudioEventParameterSetValue(intensity, given), AUDIO_OK);
        EXPECT_EQ(AudioEventParameterGetValue(intensity, &value), AUDIO_OK);
        EXPECT_EQ(value, kept) << given;
    }
    EXPECT_FLOAT_EQ(layer(calm, 0).gain, 0.8f * 0.7f);
    // Halfway along [0.2, 1] to [0.6, 2], and flat before the first point and after the last.
    for (auto [setting, pitch] : {std::pair{0.4f, 1.5f}, {0.0f, 1.0f}, {1.0f, 2.0f}}) {
        AudioEventParameterSetValue(intensity, setting);
        EXPECT_FLOAT_EQ(layer(calm, 1).pitch, pitch) << setting;
    }
}

TEST_F(AudioLayerTest, VariantsAreChosenWhenTheEventStarts) {
    const std::pair<float, const char*> choices[] = {
        {0.0f, "wood.wav"}, {0.9f, "stone.wav"}, {0.5f, "wood.wav"}};  // nothing holds 0.5: the first
    for (auto [material, file] : choices) {
        AudioEvent* step = event(effects, "step");
        AudioEventParameterSetValue(parameter(step, "material"), material);
        ASSERT_EQ(AudioEventStart(step), AUDIO_OK);
        EXPECT_STREQ(layer(step, 0).file, file) << material;
        AudioEventParameterSetValue(parameter(step, "material"), 1.0f - material);
        EXPECT_STREQ(layer(step, 0).file, file) << "a playing event keeps its variant";
        AudioEventStop(step, true);
    }
}

TEST_F(AudioLayerTest, OneShotsEndAfterTheirFileWhileLoopsGoOn) {
    AudioEvent* step = event(effects, "step");
    AudioEvent* calm = event(music, "calm");
    AudioEventStart(step);
    AudioEventStart(calm);
    advance(0.24);
    EXPECT_TRUE(AudioEventIsPlaying(step));
    advance(0.02);
    EXPECT_FALSE(AudioEventIsPlaying(step)) << "wood.wav lasts a quarter of a second";
    EXPECT_EQ(layer(step, 0).file, nullptr);
    advance(5.0);
    EXPECT_TRUE(AudioEventIsPlaying(calm));
    EXPECT_STREQ(layer(calm, 1).file, "Music/pad.wav");
}

TEST_F(AudioLayerTest, StopFadesOverTheFadeOutOrCutsAtOnce) {
    AudioEvent* calm = event(music, "calm");
    AudioEventStart(calm);
    ASSERT_EQ(AudioEventStop(calm, false), AUDIO_OK);
    advance(0.25);
    EXPECT_TRUE(AudioEventIsPlaying(calm));
    EXPECT_NEAR(layer(calm, 0).gain, 0.6f * 0.5f, 1e-4f) << "half way through its half-second fade";
    EXPECT_STREQ(layer(calm, 1).file, "Music/pad.wav") << "a delayed layer still comes in, faded";
    advance(0.26);
    EXPECT_FALSE(AudioEventIsPlaying(calm));

    AudioEventStart(calm);
    ASSERT_EQ(AudioEventStop(calm, true), AUDIO_OK);
    EXPECT_FALSE(AudioEventIsPlaying(calm));

    AudioEvent* step = event(effects, "step");
    AudioEventStart(step);
    AudioEventStop(step, false);
    EXPECT_FALSE(AudioEventIsPlaying(step)) << "no fadeOut: a fading stop is at once";
}

TEST_F(AudioLayerTest, FetchingBeyondMaxInstancesStealsTheOldest) {
    AudioEvent* first = event(effects, "step");
    AudioEventStart(first);
    AudioEvent* second = event(effects, "step");
    EXPECT_NE(second, first) << "an idle instance first";
    AudioEventStart(second);
    AudioEventParameterSetValue(parameter(first, "material"), 0.9f);
    AudioEvent* third = event(effects, "step");
    EXPECT_EQ(third, first);
    EXPECT_FALSE(AudioEventIsPlaying(first)) << "stolen and stopped";
    EXPECT_TRUE(AudioEventIsPlaying(second));
    float material = -1.0f;
    AudioEventParameterGetValue(parameter(third, "material"), &material);
    EXPECT_EQ(material, 0.0f) << "handed out with its defaults again";
    EXPECT_EQ(log().back(), (LogLine{0, "stop", "step", "immediate"}));
}

TEST_F(AudioLayerTest, MissingAndUnreadableFilesGiveErrorsAndStaySilent) {
    AudioEvent* missing = event(effects, "missing");
    EXPECT_EQ(AudioEventStart(missing), AUDIO_ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(AudioEventIsPlaying(missing));
    AudioEvent* broken = event(effects, "broken");
    EXPECT_EQ(AudioEventStart(broken), AUDIO_ERR_FILE_BAD);
    EXPECT_FALSE(AudioEventIsPlaying(broken));
    AudioEvent* partly = event(effects, "partly");
    EXPECT_EQ(AudioEventStart(partly), AUDIO_ERR_FILE_NOT_FOUND);
    EXPECT_TRUE(AudioEventIsPlaying(partly)) << "the layer that has its file plays";
}

TEST_F(AudioLayerTest, UnloadingStopsEverythingAndOldHandlesAnswerNotLoaded) {
    AudioEvent* calm = event(music, "calm");
    AudioEventParameter* intensity = parameter(calm, "Intensity");
    AudioEventCategory* master = category("master");
    AudioEventStart(calm);
    ASSERT_EQ(AudioEventSystemUnload(system), AUDIO_OK);
    EXPECT_FALSE(AudioEventIsPlaying(calm));
    EXPECT_EQ(AudioEventStart(calm), AUDIO_ERR_NOT_LOADED);
    EXPECT_EQ(AudioEventParameterSetValue(intensity, 1.0f), AUDIO_ERR_NOT_LOADED);
    AudioEvent* instance = nullptr;
    EXPECT_EQ(AudioEventGroupGetEvent(music, "calm", &instance), AUDIO_ERR_NOT_LOADED);
    EXPECT_EQ(AudioEventSystemGetGroup(system, "test/Music", &music), AUDIO_ERR_NOT_LOADED);
    EXPECT_EQ(AudioEventCategorySetVolume(master, 0.5f), AUDIO_ERR_NOT_LOADED);

    ASSERT_EQ(AudioEventSystemLoad(system, "test.fev"), AUDIO_OK);
    ASSERT_EQ(AudioEventSystemGetGroup(system, "test/Music", &music), AUDIO_OK);
    EXPECT_EQ(AudioEventStart(event(music, "calm")), AUDIO_OK);
}

TEST_F(AudioLayerTest, TheLogHasOneLinePerActionWithItsFrame) {
    AudioEvent* calm = event(music, "calm");
    AudioEventParameter* intensity = parameter(calm, "Intensity");
    AudioEventParameterSetValue(intensity, 0.5f);
    AudioEventStart(calm);
    AudioLogSetFrame(3);
    AudioEventParameterSetValue(intensity, 0.5f);
    AudioEventParameterSetValue(intensity, 0.25f);
    AudioReverbProperties reverb{};
    int index = 0;
    AudioEventSystemGetReverbPreset(system, "Insane", &reverb, &index);
    AudioEventSystemSetReverbProperties(system, &reverb);
    AudioEventSystemSetReverbProperties(system, &reverb);
    AudioLogSetFrame(4);
    AudioEventStop(calm, false);

    std::vector<LogLine> expected = {
        {0, "param", "calm:Intensity", "0.5"},  // the first setting, though it is the default
        {0, "start", "calm", "-"},
        {3, "param", "calm:Intensity", "0.25"},  // only changes after that
        {3, "reverb", "Insane", "-"},
        {4, "stop", "calm", "fade"},
    };
    EXPECT_EQ(log(), expected);
}

// Each row turns one category's volume on top of the rows before it, and
// gives what each sound then plays at against its own gain: calm is in
// music, step in effects, partly in master alone, and the plain sound in
// effects. Every change is heard at once, with no update between.
TEST_F(AudioLayerTest, CategoryVolumesScaleWhatPlaysAtOnceUnderMaster) {
    AudioSystem* plain = nullptr;
    AudioSound* sting = nullptr;
    AudioChannel* channel = nullptr;
    ASSERT_EQ(AudioSystemCreate(&plain), AUDIO_OK);
    ASSERT_EQ(AudioSystemInit(plain, 2), AUDIO_OK);
    ASSERT_EQ(AudioSystemCreateSound(plain, files.path("Sounds/stone.wav").c_str(), 0, &sting), AUDIO_OK);
    ASSERT_EQ(AudioSoundSetCategory(sting, category("effects")), AUDIO_OK);
    ASSERT_EQ(AudioSystemPlaySound(plain, sting, false, &channel), AUDIO_OK);
    AudioEvent* calm = event(music, "calm");
    AudioEvent* step = event(effects, "step");
    AudioEvent* partly = event(effects, "partly");
    for (AudioEvent* instance : {calm, step, partly}) AudioEventStart(instance);

    const struct {
        const char* category;
        float volume;
        float calm, step, partly, sting;
    } mixes[] = {
        // clang-format off
        {"music",   0.5f,  0.5f,  1.0f,   1.0f, 1.0f},
        {"effects", 0.25f, 0.5f,  0.25f,  1.0f, 0.25f},
        {"master",  0.5f,  0.25f, 0.125f, 0.5f, 0.125f},
        {"music",   1.0f,  0.5f,  0.125f, 0.5f, 0.125f},
        {"master",  0.0f,  0.0f,  0.0f,   0.0f, 0.0f},
        {"master",  1.0f,  1.0f,  0.25f,  1.0f, 0.25f},
        // clang-format on
    };
    for (const auto& mix : mixes) {
        SCOPED_TRACE(testing::Message() << mix.category << " at " << mix.volume);
        ASSERT_EQ(AudioEventCategorySetVolume(category(mix.category), mix.volume), AUDIO_OK);
        EXPECT_FLOAT_EQ(layer(calm, 0).heard, mix.calm * layer(calm, 0).gain);
        EXPECT_FLOAT_EQ(layer(step, 0).heard, mix.step * layer(step, 0).gain);
        EXPECT_FLOAT_EQ(layer(partly, 0).heard, mix.partly * layer(partly, 0).gain);
        EXPECT_FLOAT_EQ(AudioChannelHeardGain(channel), mix.sting);
    }
    AudioEvent* later = event(effects, "step");
    AudioEventStart(later);
    EXPECT_FLOAT_EQ(layer(later, 0).heard, 0.25f * layer(later, 0).gain) << "a new start too";
    EXPECT_EQ(layer(calm, 1).heard, 0.0f) << "silent until its delay";
    EXPECT_EQ(AudioSystemRelease(plain), AUDIO_OK);
}

TEST_F(AudioLayerTest, VolumesClampAndEachChangeIsLogged) {
    AudioEventCategory* effectsCategory = category("effects");
    AudioLogSetFrame(7);
    const std::pair<float, float> settings[] = {{0.25f, 0.25f},
                                                {0.25f, 0.25f},
                                                {1.5f, 1.0f},
                                                {-0.5f, 0.0f},
                                                {std::numeric_limits<float>::quiet_NaN(), 0.0f},
                                                {0.5f, 0.5f}};
    for (auto [given, kept] : settings) {
        float volume = -1.0f;
        EXPECT_EQ(AudioEventCategorySetVolume(effectsCategory, given), AUDIO_OK);
        EXPECT_EQ(AudioEventCategoryGetVolume(effectsCategory, &volume), AUDIO_OK);
        EXPECT_EQ(volume, kept) << given;
    }
    std::vector<LogLine> expected = {
        {7, "volume", "effects", "0.25"},  // a setting that changes nothing writes nothing
        {7, "volume", "effects", "1"},
        {7, "volume", "effects", "0"},
        {7, "volume", "effects", "0.5"},
    };
    EXPECT_EQ(log(), expected);
}

TEST_F(AudioLayerTest, PlainSoundsPlayOnceOrLoopAndReleaseStopsThem) {
    AudioSystem* plain = nullptr;
    AudioSound* once = nullptr;
    AudioSound* looping = nullptr;
    AudioChannel* first = nullptr;
    AudioChannel* second = nullptr;
    ASSERT_EQ(AudioSystemCreate(&plain), AUDIO_OK);
    ASSERT_EQ(AudioSystemInit(plain, 2), AUDIO_OK);
    const std::pair<const char*, AudioResult> unplayable[] = {
        {"Sounds/nothere.wav", AUDIO_ERR_FILE_NOT_FOUND},
        {"Sounds", AUDIO_ERR_FILE_NOT_FOUND},
        {"Sounds/test.fev", AUDIO_ERR_FILE_BAD}};
    for (auto [name, error] : unplayable) {
        EXPECT_EQ(AudioSystemCreateSound(plain, files.path(name).c_str(), 0, &once), error) << name;
        EXPECT_EQ(once, nullptr);
    }
    ASSERT_EQ(AudioSystemCreateSound(plain, files.path("Sounds/stone.wav").c_str(), 0x20, &once), AUDIO_OK);
    ASSERT_EQ(AudioSoundSetMode(once, AUDIO_LOOP_OFF), AUDIO_OK);
    ASSERT_EQ(
        AudioSystemCreateSound(plain, files.path("Sounds/wood.wav").c_str(), AUDIO_LOOP_NORMAL, &looping),
        AUDIO_OK);
    ASSERT_EQ(AudioSystemPlaySound(plain, once, false, &first), AUDIO_OK);
    ASSERT_EQ(AudioSystemPlaySound(plain, looping, false, &second), AUDIO_OK);
    for (int i = 0; i < 49; ++i) AudioSystemUpdate(plain);
    EXPECT_TRUE(AudioChannelIsPlaying(first));
    for (int i = 0; i < 2; ++i) AudioSystemUpdate(plain);
    EXPECT_FALSE(AudioChannelIsPlaying(first)) << "stone.wav lasts half a second";
    EXPECT_TRUE(AudioChannelIsPlaying(second));

    ASSERT_EQ(AudioSystemPlaySound(plain, once, false, &first), AUDIO_OK);
    AudioChannel* third = nullptr;
    ASSERT_EQ(AudioSystemPlaySound(plain, once, false, &third), AUDIO_OK);
    EXPECT_EQ(third, second) << "two channels: the oldest gives way";
    AudioLogSetFrame(4);
    EXPECT_EQ(AudioSoundRelease(once), AUDIO_OK);
    EXPECT_FALSE(AudioChannelIsPlaying(first));
    EXPECT_FALSE(AudioChannelIsPlaying(third));
    EXPECT_EQ(AudioSoundRelease(once), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioSystemPlaySound(plain, once, false, &first), AUDIO_ERR_INVALID_HANDLE);
    AudioSound* again = nullptr;
    ASSERT_EQ(AudioSystemCreateSound(plain, files.path("Sounds/stone.wav").c_str(), 0, &again), AUDIO_OK);
    EXPECT_EQ(again, once) << "a file played again takes its released sound's place";
    EXPECT_EQ(AudioSystemRelease(plain), AUDIO_OK);
    const std::string stone = files.path("Sounds/stone.wav");
    EXPECT_EQ(log().back(), (LogLine{4, "release", stone, "-"}));
    EXPECT_EQ(readAudioLog(files.path("audio.log"), "play-file").size(), 4u) << "one line a play";
}

TEST(AudioStreamingTest, FilesStreamWhenLongOrOfUnknownLengthUnlessTheLayerSays) {
    const SoundFormat shorter{2, 44100, 441000 - 1};
    const SoundFormat longer{2, 44100, 441000 + 1};
    const SoundFormat unknown{2, 44100, -1};
    EXPECT_FALSE(AudioOutputShouldStream(shorter, Streaming::Auto));
    EXPECT_TRUE(AudioOutputShouldStream(longer, Streaming::Auto));
    EXPECT_TRUE(AudioOutputShouldStream(unknown, Streaming::Auto));
    EXPECT_TRUE(AudioOutputShouldStream(shorter, Streaming::Always));
    EXPECT_FALSE(AudioOutputShouldStream(longer, Streaming::Never));
}

TEST(AudioProjectTest, EveryShippedEventIsInTheCategoryOfItsGroup) {
    std::ifstream file(HALCYRA_ASSETS "/Sounds/mire-fell.fev");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string problem;
    std::optional<EventProject> project = EventProjectRead(text, &problem);
    ASSERT_TRUE(project) << problem;
    const std::map<std::string, std::string> categoryOfGroup = {
        {"mire-fell/Music", "music"},
        {"mire-fell/SFX/sfx_nature", "music"},
        {"mire-fell/SFX/sfx_static", "effects"},
        {"mire-fell/SFX/sfx_oneshots", "effects"},
        {"mire-fell/SFX/sfx_ui", "effects"},
        {"mire-fell/dialogue", "narration"},
    };
    ASSERT_EQ(project->groups.size(), categoryOfGroup.size());
    for (const GroupDefinition& group : project->groups)
        for (const EventDefinition& event : group.events)
            EXPECT_EQ(project->categories[event.category], categoryOfGroup.at(group.path)) << event.name;
}

TEST(AudioProjectTest, BrokenProjectsAreRefusedWithTheirFirstFault) {
    ScratchDirectory files;
    AudioEventSystem* system = nullptr;
    AudioConfigure(AudioBackend::Silent);
    ASSERT_EQ(AudioEventSystemCreate(&system), AUDIO_OK);
    ASSERT_EQ(AudioEventSystemInit(system, 10), AUDIO_OK);
    AudioEventSystemSetMediaPath(system, files.root.c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(AudioEventSystemLoad(system, "none.fev"), AUDIO_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "halcyra: audio project " + files.path("none.fev") +
                                                          ": was not found; playing without event audio\n");
    AudioEventGroup* group = nullptr;
    EXPECT_EQ(AudioEventSystemGetGroup(system, "test/Music", &group), AUDIO_ERR_NOT_LOADED);

    // The project text with one thing broken, and what the message names.
    const struct {
        std::string from, to, named;
    } broken[] = {
        {"\"project\": \"test\",", "\"project\": \"test\"", "not valid JSON"},
        {"\"volume\": 0.8", "\"volume\": 1.8",
         "event \"test/Music/calm\": \"volume\" is 1.8, outside 0 to 1"},
        {"\"volume\": 0.8", "\"volum\": 0.8", "unknown key \"volum\""},
        {"\"maxInstances\": 1", "\"maxInstances\": 1.5", "not a whole number"},
        {"\"curve\": [[0, 0.5], [1, 1.0]]", "\"curve\": [[1, 0.5], [0, 1.0]]", "x goes down"},
        {"\"curve\": [[0, 0.5], [1, 1.0]]", "\"curve\": [[0, 0.5], [1]]", "not [x, y]"},
        {"\"parameter\": \"Intensity\"", "\"parameter\": \"Tension\"", "parameter \"Tension\""},
        {"\"file\": \"nothere.wav\"", "\"file\": \"a.wav\", \"variants\": []",
         "either \"file\" or \"variants\""},
        {"\"parameter\": \"material\", \"from\": 0,", "", "a range but no \"parameter\""},
        {"\"base\": \"PSYCHOTIC\"", "\"base\": \"ASYLUM\"", "unknown base \"ASYLUM\""},
        {"\"broken\": {", "\"missing\": {", "names \"missing\" twice"},
        {"\"layers\": [ { \"file\": \"broken.wav\" } ]", "\"layers\": []", "has no layers"},
        {"\"max\": 1, \"default\": 0.5", "\"max\": 1, \"default\": 2", "\"default\" is 2"},
        {"\"groups\": {", "\"groupz\": {", "unknown key \"groupz\""},
        {"\"category\": \"effects\"", "\"category\": \"sfx\"", "names the category \"sfx\""},
    };
    for (const auto& fault : broken) {
        std::string text = PROJECT;
        size_t at = text.find(fault.from);
        ASSERT_NE(at, std::string::npos) << fault.from;
        files.write("broken.fev", text.replace(at, fault.from.size(), fault.to));
        testing::internal::CaptureStderr();
        EXPECT_EQ(AudioEventSystemLoad(system, "broken.fev"), AUDIO_ERR_PROJECT_BAD) << fault.to;
        EXPECT_NE(testing::internal::GetCapturedStderr().find(fault.named), std::string::npos) << fault.named;
        EXPECT_EQ(AudioEventSystemGetGroup(system, "test/Music", &group), AUDIO_ERR_NOT_LOADED);
    }
    EXPECT_EQ(AudioEventSystemRelease(system), AUDIO_OK);
}

// OpenAL Soft renders into a wave file through its own "wave" driver. OpenAL reads its configuration once per
// process, so each rendering runs in a child process: this test binary again, running this test alone with
// HALCYRA_AUDIO_RENDER set to "<folder> <scene>".

struct Rendered {
    std::vector<float> samples;  // mono mix
    int rate = 0;
};

Rendered readWave(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Rendered rendered;
    if (file == nullptr) return rendered;
    std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    rendered.rate = info.samplerate;
    for (size_t i = 0; i < interleaved.size(); i += static_cast<size_t>(info.channels))
        rendered.samples.push_back(interleaved[i]);
    return rendered;
}

// Seconds from the first audible sample to the last, and the longest stretch
// of silence between them.
std::pair<double, double> audible(const Rendered& rendered, float threshold = 1e-3f) {
    auto loud = [threshold](float sample) { return std::fabs(sample) > threshold; };
    auto first = std::find_if(rendered.samples.begin(), rendered.samples.end(), loud);
    auto last = std::find_if(rendered.samples.rbegin(), rendered.samples.rend(), loud).base();
    size_t run = 0, longest = 0;
    for (auto sample = first; sample < last; ++sample) {
        run = loud(*sample) ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    const double rate = rendered.rate;
    return {first < last ? static_cast<double>(last - first) / rate : 0.0,
            static_cast<double>(longest) / rate};
}

// The loudest sample from one time to another after the first audible one.
float peakBetween(const Rendered& rendered, double from, double to) {
    auto first = std::find_if(rendered.samples.begin(), rendered.samples.end(),
                              [](float sample) { return std::fabs(sample) > 1e-3f; });
    auto at = [&](double seconds) {
        return first +
               std::min(static_cast<std::ptrdiff_t>(seconds * rendered.rate), rendered.samples.end() - first);
    };
    float peak = 0.0f;
    for (auto sample = at(from); sample < at(to); ++sample) peak = std::max(peak, std::fabs(*sample));
    return peak;
}

const char RENDER_PROJECT[] = R"({
  "reverbPresets": { "cave": { "base": "CAVE", "decayTime": 3.0 } },
  "groups": { "render": {
    "burst": { "layers": [ { "file": "burst.wav" } ] },
    "hum": { "loop": true, "layers": [ { "file": "burst.wav", "stream": true } ] }
  } }
})";

// Plays the scene on OpenAL and records the outcome in <folder>/outcome.
void renderScene(const std::string& folder, const std::string& scene) {
    std::ofstream outcome(folder + "/outcome");
    AudioConfigure(AudioBackend::OpenAL);
    AudioEventSystem* system = nullptr;
    AudioEventGroup* group = nullptr;
    AudioEvent* event = nullptr;
    AudioEventSystemCreate(&system);
    testing::internal::CaptureStderr();
    if (AudioEventSystemInit(system, 16) != AUDIO_OK) {
        outcome << testing::internal::GetCapturedStderr();
        AudioEventSystemRelease(system);
        return;
    }
    testing::internal::GetCapturedStderr();
    AudioEventSystemSetMediaPath(system, folder.c_str());
    AudioEventSystemLoad(system, "render.fev");
    AudioEventSystemGetGroup(system, "render", &group);
    if (scene == "wet") {
        AudioReverbProperties cave{};
        int index = 0;
        AudioEventSystemGetReverbPreset(system, "cave", &cave, &index);
        AudioEventSystemSetReverbProperties(system, &cave);
    }
    AudioEventGroupGetEvent(group, scene == "loop" || scene == "softer" ? "hum" : "burst", &event);
    AudioResult started = AudioEventStart(event);
    // No updates: the streaming thread alone keeps the loop going.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    if (scene == "softer") {
        AudioEventCategory* master = nullptr;
        AudioEventSystemGetCategory(system, "master", &master);
        AudioEventCategorySetVolume(master, 0.25f);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    AudioEventStop(event, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    AudioEventSystemRelease(system);
    outcome << (started == AUDIO_OK ? "rendered" : AudioErrorString(started));
}

// Runs the scene in a child process; "rendered", or why not.
std::string renderInChild(const ScratchDirectory& files, const std::string& scene) {
    std::string folder = files.path(scene);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(files.path("burst.wav"), folder + "/burst.wav");
    std::filesystem::copy_file(files.path("render.fev"), folder + "/render.fev");
    files.write(scene + "/alsoft.conf", "drivers = wave\n[wave]\nfile = " + folder + "/out.wav\n");
    std::vector<std::string> variables = {"ALSOFT_CONF=" + folder + "/alsoft.conf",
                                          "HALCYRA_AUDIO_RENDER=" + folder + " " + scene};
    for (char** variable = environ; *variable != nullptr; ++variable) variables.emplace_back(*variable);
    std::vector<char*> environment;
    for (std::string& variable : variables) environment.push_back(variable.data());
    environment.push_back(nullptr);
    std::string filter = "--gtest_filter=AudioOpenALTest.RendersSoundAReverbTailAndAVolumeChange";
    char* arguments[] = {const_cast<char*>("/proc/self/exe"), filter.data(), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int spawned = posix_spawn(&child, "/proc/self/exe", &quiet, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) return "cannot start a child process";
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream outcome(folder + "/outcome");
    std::string text((std::istreambuf_iterator<char>(outcome)), std::istreambuf_iterator<char>());
    return text.empty() ? "the child process ended without an outcome" : text;
}

TEST(AudioOpenALTest, RendersSoundAReverbTailAndAVolumeChange) {
    if (const char* render = std::getenv("HALCYRA_AUDIO_RENDER")) {
        std::string task = render;
        renderScene(task.substr(0, task.rfind(' ')), task.substr(task.rfind(' ') + 1));
        return;
    }
    ScratchDirectory files;
    writeTone(files.path("burst.wav"), 0.2);
    files.write("render.fev", RENDER_PROJECT);
    std::string dry = renderInChild(files, "dry");
    if (dry.find("no audio device") != std::string::npos)
        GTEST_SKIP() << "OpenAL Soft is unavailable: " << dry;
    ASSERT_EQ(dry, "rendered");
    ASSERT_EQ(renderInChild(files, "wet"), "rendered");
    ASSERT_EQ(renderInChild(files, "loop"), "rendered");
    ASSERT_EQ(renderInChild(files, "softer"), "rendered");

    Rendered plain = readWave(files.path("dry/out.wav"));
    Rendered reverberant = readWave(files.path("wet/out.wav"));
    Rendered looped = readWave(files.path("loop/out.wav"));
    ASSERT_GT(plain.rate, 0);
    float peak = 0.0f;
    for (float sample : plain.samples) peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.1f) << "the burst is heard";
    EXPECT_NEAR(audible(plain).first, 0.2, 0.05) << "dry, it ends with its file";
    EXPECT_GT(audible(reverberant).first, 0.6) << "the cave rings on after it";
    EXPECT_GT(audible(looped).first, 1.0) << "the 0.2 s file looped from its stream";
    EXPECT_LT(audible(looped).second, 0.002) << "without gaps at the seams";
    Rendered softer = readWave(files.path("softer/out.wav"));
    EXPECT_NEAR(peakBetween(softer, 0.75, 1.05) / peakBetween(softer, 0.1, 0.45), 0.25f, 0.03f)
        << "master turned to a quarter 0.6 s in, heard on the stream already playing";
}

}  // namespace
