#include "Audio/SilentOutput.h"

namespace {

constexpr double UNKNOWN_LENGTH_SECONDS = 1.0;

class SilentVoice final : public Voice {
public:
    SilentVoice(const SoundFormat& format, const VoiceSettings& settings)
        : length(format.lengthKnown() ? format.seconds() : UNKNOWN_LENGTH_SECONDS),
          loop(settings.loop),
          currentGain(settings.gain),
          pitch(settings.pitch) {}

    void setGain(float gain) override { currentGain = gain; }
    float gain() const override { return currentGain; }
    void setPitch(float newPitch) override { pitch = newPitch; }
    void advance(double seconds) override { position += seconds * pitch; }
    bool finished() const override { return !loop && position >= length; }

private:
    double length;
    bool loop;
    float currentGain;
    float pitch;
    double position = 0.0;
};

class SilentOutput final : public Output {
public:
    // Only the header is read: the length is all this backend needs.
    AudioResult load(const std::string& path, Streaming streaming,
                     std::shared_ptr<const Sample>* sample) override {
        std::unique_ptr<SoundFile> file;
        AudioResult result = SoundFile::open(path, &file);
        if (result == AUDIO_OK)
            *sample = std::make_shared<Sample>(path, file->format(),
                                               AudioOutputShouldStream(file->format(), streaming));
        return result;
    }

    std::unique_ptr<Voice> play(const std::shared_ptr<const Sample>& sample,
                                const VoiceSettings& settings) override {
        return std::make_unique<SilentVoice>(sample->format(), settings);
    }

    void setReverb(const AudioReverbProperties&) override {}
};

}  // namespace

std::shared_ptr<Output> SilentOutputOpen() {
    return std::make_shared<SilentOutput>();
}
