// Where sound goes: OpenAL Soft, or the silent backend that keeps the same
// state without a device. The event system and the low-level system share
// the process's one output.
#pragma once

#include "Audio/EventAudio.h"
#include "Audio/SoundFile.h"

#include <memory>
#include <string>

// Files longer than this stream unless a layer says otherwise.
constexpr double STREAM_THRESHOLD_SECONDS = 10.0;

enum class Streaming { Auto, Always, Never };

// A sound file ready to play: decoded whole, or opened by each voice that
// streams it.
class Sample {
public:
    Sample(std::string path, const SoundFormat& format, bool streamed)
        : filePath(std::move(path)), soundFormat(format), isStreamed(streamed) {}
    virtual ~Sample() = default;
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;

    const std::string& path() const { return filePath; }
    const SoundFormat& format() const { return soundFormat; }
    bool streamed() const { return isStreamed; }

private:
    std::string filePath;
    SoundFormat soundFormat;
    bool isStreamed;
};

struct VoiceSettings {
    bool loop = false;
    float gain = 1.0f;
    float pitch = 1.0f;
};

// One sample sounding; it starts when made and stops when destroyed.
class Voice {
public:
    virtual ~Voice() = default;
    virtual void setGain(float gain) = 0;
    virtual void setPitch(float pitch) = 0;
    // The gain the output plays it at, as the tests read it back.
    virtual float gain() const = 0;
    // The owner's audio time moved on (the silent backend's clock).
    virtual void advance(double seconds) = 0;
    // A one-shot that has played to its end.
    virtual bool finished() const = 0;
};

class Output {
public:
    virtual ~Output() = default;
    virtual AudioResult load(const std::string& path, Streaming streaming,
                             std::shared_ptr<const Sample>* sample) = 0;
    // Null when the output has no voice left.
    virtual std::unique_ptr<Voice> play(const std::shared_ptr<const Sample>& sample,
                                        const VoiceSettings& settings) = 0;
    virtual void setReverb(const AudioReverbProperties& properties) = 0;
};

bool AudioOutputShouldStream(const SoundFormat& format, Streaming streaming);

// The shared output of the configured backend, opened on first use. When
// OpenAL finds no device: one line on standard error, the silent backend,
// and *result AUDIO_ERR_OUTPUT (for every system that shares it).
std::shared_ptr<Output> AudioOutputAcquire(AudioResult* result);
