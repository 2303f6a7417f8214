// The classes behind the low-level system's handles: plain sound files
// played once (or looping) on a fixed set of channels, each sound in a
// category of the event system if it is given one.
#pragma once

#include "Audio/AudioClock.h"
#include "Audio/AudioOutput.h"
#include "Audio/CategoryVolume.h"
#include "Audio/EventAudio.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AudioSound {
public:
    AudioSound(AudioSystem& owner, std::string givenPath, std::shared_ptr<const Sample> loaded, unsigned mode)
        : system(owner), path(std::move(givenPath)), sample(std::move(loaded)) {
        setMode(mode);
    }

    void setMode(unsigned mode);
    AudioResult release();
    bool released() const { return sample == nullptr; }
    // A released sound of the same file plays again under its old handle.
    void revive(std::shared_ptr<const Sample> loaded, unsigned mode);

    AudioSystem& system;
    const std::string path;                // as the game gave it, for the log
    std::shared_ptr<const Sample> sample;  // null once released
    bool loop = false;
    std::shared_ptr<CategoryVolume> category;  // null: at full volume
};

struct AudioChannel {
public:
    void play(const AudioSound& played, std::unique_ptr<Voice> started, uint64_t playOrder);
    void stop();
    void update(double seconds);
    bool playing() const { return voice != nullptr; }
    float gain() const { return voice != nullptr ? voice->gain() : 0.0f; }

    const AudioSound* sound = nullptr;
    uint64_t order = 0;

private:
    std::unique_ptr<Voice> voice;
};

struct AudioSystem {
public:
    AudioResult init(int maxChannels);
    AudioResult createSound(const char* path, unsigned mode, AudioSound** sound);
    AudioResult play(AudioSound& sound, bool paused, AudioChannel** channel);
    AudioResult update();
    // The sound's channels fall silent.
    void stopChannelsOf(const AudioSound& sound);

private:
    AudioChannel& freeOrOldest();
    AudioSound* releasedSoundOf(const char* path);

    std::shared_ptr<Output> output;
    AudioResult outputResult = AUDIO_ERR_OUTPUT;
    // Released sounds keep their (empty) objects until the system goes, so a
    // second release of one is caught instead of touching freed memory. A new
    // sound of a file takes the object of a released one, so that a file
    // played over and over does not pile them up.
    std::vector<std::unique_ptr<AudioSound>> sounds;
    std::vector<std::unique_ptr<AudioChannel>> channels;
    AudioClock clock;
    uint64_t plays = 0;
};
