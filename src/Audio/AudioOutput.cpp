#include "Audio/AudioOutput.h"

#include "Audio/OpenALOutput.h"
#include "Audio/SilentOutput.h"

#include <cstdio>

namespace {

AudioBackend configuredBackend = AudioBackend::OpenAL;

struct SharedOutput {
    std::weak_ptr<Output> output;
    AudioBackend backend = AudioBackend::Silent;
    bool fellBack = false;
};

SharedOutput shared;

std::shared_ptr<Output> openConfigured(bool* fellBack) {
    *fellBack = false;
    if (configuredBackend == AudioBackend::Silent) return SilentOutputOpen();
    std::string problem;
    if (std::shared_ptr<Output> output = OpenALOutputOpen(&problem)) return output;
    std::fprintf(stderr, "halcyra: no audio device (%s); playing without sound\n", problem.c_str());
    *fellBack = true;
    return SilentOutputOpen();
}

}  // namespace

void AudioConfigure(AudioBackend backend) {
    configuredBackend = backend;
}

bool AudioOutputShouldStream(const SoundFormat& format, Streaming streaming) {
    if (streaming != Streaming::Auto) return streaming == Streaming::Always;
    // A length the header does not tell may be long: never decode it whole.
    return !format.lengthKnown() || format.seconds() > STREAM_THRESHOLD_SECONDS;
}

std::shared_ptr<Output> AudioOutputAcquire(AudioResult* result) {
    std::shared_ptr<Output> output = shared.output.lock();
    if (output == nullptr || shared.backend != configuredBackend) {
        bool fellBack = false;
        output = openConfigured(&fellBack);
        shared = {output, configuredBackend, fellBack};
    }
    *result = shared.fellBack ? AUDIO_ERR_OUTPUT : AUDIO_OK;
    return output;
}
