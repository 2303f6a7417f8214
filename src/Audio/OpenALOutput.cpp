#include "Audio/OpenALOutput.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/efx.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Eight buffers of 4096 frames hold 0.74 s at 44.1 kHz, many periods of the
// streaming thread; small buffers keep each decoding step short.
constexpr int STREAM_BUFFERS = 8;
constexpr size_t STREAM_BUFFER_FRAMES = 4096;
constexpr auto STREAM_PERIOD = std::chrono::milliseconds(20);
// Layer gain curves may lift a sound above its file's level.
constexpr float MAX_SOURCE_GAIN = 4.0f;

struct ReverbField {
    ALenum parameter;
    float AudioReverbProperties::*member;
    float minimum;
    float maximum;
};

// clang-format off
constexpr ReverbField REVERB_FIELDS[] = {
    {AL_EAXREVERB_DENSITY, &AudioReverbProperties::density, AL_EAXREVERB_MIN_DENSITY, AL_EAXREVERB_MAX_DENSITY},
    {AL_EAXREVERB_DIFFUSION, &AudioReverbProperties::diffusion, AL_EAXREVERB_MIN_DIFFUSION, AL_EAXREVERB_MAX_DIFFUSION},
    {AL_EAXREVERB_GAIN, &AudioReverbProperties::gain, AL_EAXREVERB_MIN_GAIN, AL_EAXREVERB_MAX_GAIN},
    {AL_EAXREVERB_GAINHF, &AudioReverbProperties::gainHF, AL_EAXREVERB_MIN_GAINHF, AL_EAXREVERB_MAX_GAINHF},
    {AL_EAXREVERB_GAINLF, &AudioReverbProperties::gainLF, AL_EAXREVERB_MIN_GAINLF, AL_EAXREVERB_MAX_GAINLF},
    {AL_EAXREVERB_DECAY_TIME, &AudioReverbProperties::decayTime, AL_EAXREVERB_MIN_DECAY_TIME,
     AL_EAXREVERB_MAX_DECAY_TIME},
    {AL_EAXREVERB_DECAY_HFRATIO, &AudioReverbProperties::decayHFRatio, AL_EAXREVERB_MIN_DECAY_HFRATIO,
     AL_EAXREVERB_MAX_DECAY_HFRATIO},
    {AL_EAXREVERB_DECAY_LFRATIO, &AudioReverbProperties::decayLFRatio, AL_EAXREVERB_MIN_DECAY_LFRATIO,
     AL_EAXREVERB_MAX_DECAY_LFRATIO},
    {AL_EAXREVERB_REFLECTIONS_GAIN, &AudioReverbProperties::reflectionsGain, AL_EAXREVERB_MIN_REFLECTIONS_GAIN,
     AL_EAXREVERB_MAX_REFLECTIONS_GAIN},
    {AL_EAXREVERB_REFLECTIONS_DELAY, &AudioReverbProperties::reflectionsDelay, AL_EAXREVERB_MIN_REFLECTIONS_DELAY,
     AL_EAXREVERB_MAX_REFLECTIONS_DELAY},
    {AL_EAXREVERB_LATE_REVERB_GAIN, &AudioReverbProperties::lateReverbGain, AL_EAXREVERB_MIN_LATE_REVERB_GAIN,
     AL_EAXREVERB_MAX_LATE_REVERB_GAIN},
    {AL_EAXREVERB_LATE_REVERB_DELAY, &AudioReverbProperties::lateReverbDelay, AL_EAXREVERB_MIN_LATE_REVERB_DELAY,
     AL_EAXREVERB_MAX_LATE_REVERB_DELAY},
    {AL_EAXREVERB_ECHO_TIME, &AudioReverbProperties::echoTime, AL_EAXREVERB_MIN_ECHO_TIME, AL_EAXREVERB_MAX_ECHO_TIME},
    {AL_EAXREVERB_ECHO_DEPTH, &AudioReverbProperties::echoDepth, AL_EAXREVERB_MIN_ECHO_DEPTH,
     AL_EAXREVERB_MAX_ECHO_DEPTH},
    {AL_EAXREVERB_MODULATION_TIME, &AudioReverbProperties::modulationTime, AL_EAXREVERB_MIN_MODULATION_TIME,
     AL_EAXREVERB_MAX_MODULATION_TIME},
    {AL_EAXREVERB_MODULATION_DEPTH, &AudioReverbProperties::modulationDepth, AL_EAXREVERB_MIN_MODULATION_DEPTH,
     AL_EAXREVERB_MAX_MODULATION_DEPTH},
    {AL_EAXREVERB_AIR_ABSORPTION_GAINHF, &AudioReverbProperties::airAbsorptionGainHF,
     AL_EAXREVERB_MIN_AIR_ABSORPTION_GAINHF, AL_EAXREVERB_MAX_AIR_ABSORPTION_GAINHF},
    {AL_EAXREVERB_HFREFERENCE, &AudioReverbProperties::hfReference, AL_EAXREVERB_MIN_HFREFERENCE,
     AL_EAXREVERB_MAX_HFREFERENCE},
    {AL_EAXREVERB_LFREFERENCE, &AudioReverbProperties::lfReference, AL_EAXREVERB_MIN_LFREFERENCE,
     AL_EAXREVERB_MAX_LFREFERENCE},
    {AL_EAXREVERB_ROOM_ROLLOFF_FACTOR, &AudioReverbProperties::roomRolloffFactor,
     AL_EAXREVERB_MIN_ROOM_ROLLOFF_FACTOR, AL_EAXREVERB_MAX_ROOM_ROLLOFF_FACTOR},
};
// clang-format on

// NaN becomes the minimum.
float clampToField(float value, const ReverbField& field) {
    return value >= field.minimum ? std::min(value, field.maximum) : field.minimum;
}

ALenum bufferFormat(int channels) {
    return channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

ALsizei byteCount(size_t samples) {
    return static_cast<ALsizei>(samples * sizeof(int16_t));
}

// While OpenAL probes its drivers, it and ALSA complain on standard error
// about every device that is missing; the caller sums the outcome up in one
// line. Whoever sets ALSOFT_LOGLEVEL sees it all.
class QuietStandardError {
public:
    QuietStandardError() {
        if (std::getenv("ALSOFT_LOGLEVEL") != nullptr) return;
        std::fflush(stderr);
        int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (sink < 0) return;
        saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (saved >= 0) dup2(sink, STDERR_FILENO);
        close(sink);
    }
    ~QuietStandardError() {
        if (saved < 0) return;
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

class StreamVoice;

class OpenALOutput final : public Output, public std::enable_shared_from_this<OpenALOutput> {
public:
    OpenALOutput(ALCdevice* openDevice, ALCcontext* openContext);
    ~OpenALOutput() override;
    OpenALOutput(const OpenALOutput&) = delete;
    OpenALOutput& operator=(const OpenALOutput&) = delete;

    // Throws std::system_error when no thread can be had.
    void startStreaming() { streamer = std::thread(&OpenALOutput::streamLoop, this); }
    void stopStreaming();

    AudioResult load(const std::string& path, Streaming streaming,
                     std::shared_ptr<const Sample>* sample) override;
    std::unique_ptr<Voice> play(const std::shared_ptr<const Sample>& sample,
                                const VoiceSettings& settings) override;
    void setReverb(const AudioReverbProperties& properties) override;

    // Every OpenAL call of the output, its samples and voices, and the list of
    // streams, go under this lock: OpenAL's error state is shared by threads.
    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex); }
    // The rest with the lock held.
    std::optional<ALuint> newSource(const VoiceSettings& settings);
    void addStream(StreamVoice* stream);
    // Waits while the streaming thread is decoding into the stream.
    void removeStream(StreamVoice* stream, std::unique_lock<std::mutex>& guard);

private:
    bool createReverb();
    void streamLoop();
    void service(StreamVoice* stream, std::unique_lock<std::mutex>& guard);

    ALCdevice* device;
    ALCcontext* context;
    ALuint reverbEffect = 0;
    ALuint reverbSlot = 0;
    bool reverbReady = false;

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable decodingDone;
    std::vector<StreamVoice*> streams;
    StreamVoice* decoding = nullptr;
    bool stopping = false;
    std::thread streamer;
};

// The open output, for the exit handler.
OpenALOutput* openOutput = nullptr;

// A system nobody released must not leave the streaming thread running into
// OpenAL's own teardown at exit.
void stopStreamingAtExit() {
    if (openOutput != nullptr) openOutput->stopStreaming();
}

class DecodedSample final : public Sample {
public:
    DecodedSample(std::shared_ptr<OpenALOutput> owner, const std::string& path, const SoundFormat& format,
                  const std::vector<int16_t>& samples)
        : Sample(path, format, false), output(std::move(owner)) {
        auto guard = output->lock();
        alGetError();
        alGenBuffers(1, &alBuffer);
        if (alGetError() != AL_NO_ERROR) return;
        alBufferData(alBuffer, bufferFormat(format.channels), samples.data(), byteCount(samples.size()),
                     format.sampleRate);
        uploaded = alGetError() == AL_NO_ERROR;
    }
    ~DecodedSample() override {
        auto guard = output->lock();
        alDeleteBuffers(1, &alBuffer);
    }

    bool ready() const { return uploaded; }
    ALuint buffer() const { return alBuffer; }

private:
    std::shared_ptr<OpenALOutput> output;
    ALuint alBuffer = 0;
    bool uploaded = false;
};

// A source of the output, made with the voice and deleted with it.
class SourceVoice : public Voice {
public:
    SourceVoice(std::shared_ptr<OpenALOutput> owner, std::shared_ptr<const Sample> played,
                const VoiceSettings& settings)
        : output(std::move(owner)), sample(std::move(played)) {
        auto guard = output->lock();
        source = output->newSource(settings);
    }
    ~SourceVoice() override {
        if (!source) return;
        auto guard = output->lock();
        alSourceStop(*source);
        alSourcei(*source, AL_BUFFER, 0);
        alDeleteSources(1, &*source);
    }

    void setGain(float gain) override {
        auto guard = output->lock();
        if (source) alSourcef(*source, AL_GAIN, gain);
    }
    void setPitch(float pitch) override {
        auto guard = output->lock();
        if (source) alSourcef(*source, AL_PITCH, pitch);
    }
    float gain() const override {
        auto guard = output->lock();
        ALfloat gain = 0.0f;
        if (source) alGetSourcef(*source, AL_GAIN, &gain);
        return gain;
    }
    void advance(double) override {}
    virtual bool sounding() const { return source.has_value(); }

protected:
    std::shared_ptr<OpenALOutput> output;
    std::optional<ALuint> source;

private:
    // Its buffer outlives the source's use of it.
    std::shared_ptr<const Sample> sample;
};

class BufferVoice final : public SourceVoice {
public:
    BufferVoice(std::shared_ptr<OpenALOutput> owner, const std::shared_ptr<const DecodedSample>& played,
                const VoiceSettings& settings)
        : SourceVoice(std::move(owner), played, settings) {
        if (!source) return;
        auto guard = output->lock();
        alSourcei(*source, AL_BUFFER, static_cast<ALint>(played->buffer()));
        alSourcei(*source, AL_LOOPING, settings.loop ? AL_TRUE : AL_FALSE);
        alSourcePlay(*source);
    }

    bool finished() const override {
        auto guard = output->lock();
        ALint state = AL_STOPPED;
        if (source) alGetSourcei(*source, AL_SOURCE_STATE, &state);
        return state == AL_STOPPED;
    }
};

// A long file played from a few buffers that the streaming thread decodes
// and queues; the voice opens its own copy of the file there.
class StreamVoice final : public SourceVoice {
public:
    StreamVoice(std::shared_ptr<OpenALOutput> owner, const std::shared_ptr<const Sample>& played,
                const VoiceSettings& settings)
        : SourceVoice(std::move(owner), played, settings),
          path(played->path()),
          channels(played->format().channels),
          sampleRate(played->format().sampleRate),
          loop(settings.loop),
          block(STREAM_BUFFER_FRAMES * static_cast<size_t>(channels)) {
        if (!source) return;
        auto guard = output->lock();
        alGetError();
        alGenBuffers(STREAM_BUFFERS, buffers.data());
        if (alGetError() != AL_NO_ERROR) return;
        idle = buffers;
        idleCount = STREAM_BUFFERS;
        buffersMade = true;
        output->addStream(this);
    }
    ~StreamVoice() override {
        if (!buffersMade) return;
        auto guard = output->lock();
        output->removeStream(this, guard);
        alSourceStop(*source);
        alSourcei(*source, AL_BUFFER, 0);
        alDeleteBuffers(STREAM_BUFFERS, buffers.data());
    }

    bool sounding() const override { return buffersMade; }
    bool finished() const override {
        auto guard = output->lock();
        return ended;
    }

    // On the streaming thread: decode() without the output's lock (it touches
    // nothing the main thread does), the others with it.
    void reclaimProcessed() {
        ALint processed = 0;
        alGetSourcei(*source, AL_BUFFERS_PROCESSED, &processed);
        for (; processed > 0 && idleCount < STREAM_BUFFERS; --processed)
            alSourceUnqueueBuffers(*source, 1, &idle[static_cast<size_t>(idleCount++)]);
    }

    std::optional<ALuint> idleBuffer() const {
        if (retired || atEnd || idleCount <= 0) return std::nullopt;
        return idle[static_cast<size_t>(idleCount - 1)];
    }

    size_t decode() {
        if (file == nullptr && !openFile()) {
            atEnd = true;
            return 0;
        }
        const size_t capacity = block.size() / static_cast<size_t>(channels);
        size_t filled = 0;
        bool rewound = false;
        while (filled < capacity) {
            size_t frames = file->read(std::span(block).subspan(filled * static_cast<size_t>(channels)));
            filled += frames;
            if (frames > 0) {
                rewound = false;
                continue;
            }
            // Looping: the start follows the end inside the same buffer, so
            // there is no seam. A file that gives nothing even from its start
            // ends here.
            if (!loop || rewound || !file->rewind()) {
                atEnd = true;
                break;
            }
            rewound = true;
        }
        return filled;
    }

    void queue(ALuint buffer, size_t frames) {
        alBufferData(buffer, bufferFormat(channels), block.data(),
                     byteCount(frames * static_cast<size_t>(channels)), sampleRate);
        alSourceQueueBuffers(*source, 1, &buffer);
        --idleCount;
    }

    // Starts the source once buffers are queued, and again when it ran dry
    // (the thread was held up); a source that played its last buffer has ended.
    void keepPlaying() {
        ALint state = AL_STOPPED;
        ALint queued = 0;
        alGetSourcei(*source, AL_SOURCE_STATE, &state);
        alGetSourcei(*source, AL_BUFFERS_QUEUED, &queued);
        if (state == AL_PLAYING) return;
        if (queued > 0) alSourcePlay(*source);
        else if (atEnd) ended = true;
    }

    bool retired = false;

private:
    bool openFile() {
        std::unique_ptr<SoundFile> opened;
        if (SoundFile::open(path, &opened) != AUDIO_OK) return false;
        // The file changed since it was loaded: its buffers no longer fit.
        if (opened->format().channels != channels) return false;
        file = std::move(opened);
        return true;
    }

    std::string path;
    int channels;
    int sampleRate;
    bool loop;
    std::vector<int16_t> block;
    std::unique_ptr<SoundFile> file;
    std::array<ALuint, STREAM_BUFFERS> buffers{};
    std::array<ALuint, STREAM_BUFFERS> idle{};
    int idleCount = 0;
    bool buffersMade = false;
    bool atEnd = false;
    bool ended = false;
};

OpenALOutput::OpenALOutput(ALCdevice* openDevice, ALCcontext* openContext)
    : device(openDevice), context(openContext) {
    static const bool exitHandlerRegistered = std::atexit(stopStreamingAtExit) == 0;
    (void)exitHandlerRegistered;
    openOutput = this;
    reverbReady = createReverb();
}

OpenALOutput::~OpenALOutput() {
    stopStreaming();
    if (reverbReady) {
        alDeleteAuxiliaryEffectSlots(1, &reverbSlot);
        alDeleteEffects(1, &reverbEffect);
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    openOutput = nullptr;
}

// Until a preset is applied the slot holds no effect: sources play dry.
bool OpenALOutput::createReverb() {
    if (alcIsExtensionPresent(device, "ALC_EXT_EFX") != ALC_TRUE) return false;
    alGetError();
    alGenEffects(1, &reverbEffect);
    alEffecti(reverbEffect, AL_EFFECT_TYPE, AL_EFFECT_EAXREVERB);
    alGenAuxiliaryEffectSlots(1, &reverbSlot);
    return alGetError() == AL_NO_ERROR;
}

void OpenALOutput::stopStreaming() {
    {
        auto guard = lock();
        stopping = true;
    }
    wake.notify_all();
    if (streamer.joinable()) streamer.join();
}

AudioResult OpenALOutput::load(const std::string& path, Streaming streaming,
                               std::shared_ptr<const Sample>* sample) {
    std::unique_ptr<SoundFile> file;
    AudioResult result = SoundFile::open(path, &file);
    if (result != AUDIO_OK) return result;
    SoundFormat format = file->format();
    if (AudioOutputShouldStream(format, streaming)) {
        *sample = std::make_shared<Sample>(path, format, true);
        return AUDIO_OK;
    }
    std::vector<int16_t> samples;
    format.frames = file->readAll(&samples);
    // An empty file still gets a buffer: one silent frame.
    if (samples.empty()) samples.assign(static_cast<size_t>(format.channels), 0);
    auto decoded = std::make_shared<DecodedSample>(shared_from_this(), path, format, samples);
    if (!decoded->ready()) return AUDIO_ERR_MEMORY;
    *sample = std::move(decoded);
    return AUDIO_OK;
}

std::unique_ptr<Voice> OpenALOutput::play(const std::shared_ptr<const Sample>& sample,
                                          const VoiceSettings& settings) {
    std::unique_ptr<SourceVoice> voice;
    if (sample->streamed()) voice = std::make_unique<StreamVoice>(shared_from_this(), sample, settings);
    else if (auto decoded = std::dynamic_pointer_cast<const DecodedSample>(sample))
        voice = std::make_unique<BufferVoice>(shared_from_this(), decoded, settings);
    if (voice == nullptr || !voice->sounding()) return nullptr;
    return voice;
}

void OpenALOutput::setReverb(const AudioReverbProperties& properties) {
    auto guard = lock();
    if (!reverbReady) return;
    for (const ReverbField& field : REVERB_FIELDS)
        alEffectf(reverbEffect, field.parameter, clampToField(properties.*field.member, field));
    alEffecti(reverbEffect, AL_EAXREVERB_DECAY_HFLIMIT, properties.decayHFLimit != 0 ? AL_TRUE : AL_FALSE);
    // The slot keeps a copy of the effect: load the changed one again.
    alAuxiliaryEffectSloti(reverbSlot, AL_EFFECTSLOT_EFFECT, static_cast<ALint>(reverbEffect));
}

std::optional<ALuint> OpenALOutput::newSource(const VoiceSettings& settings) {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) return std::nullopt;
    // Flat, unattenuated sound: the game places nothing in space.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcef(source, AL_MAX_GAIN, MAX_SOURCE_GAIN);
    alSourcef(source, AL_GAIN, settings.gain);
    alSourcef(source, AL_PITCH, settings.pitch);
    if (reverbReady)
        alSource3i(source, AL_AUXILIARY_SEND_FILTER, static_cast<ALint>(reverbSlot), 0, AL_FILTER_NULL);
    return source;
}

void OpenALOutput::addStream(StreamVoice* stream) {
    streams.push_back(stream);
    wake.notify_one();
}

void OpenALOutput::removeStream(StreamVoice* stream, std::unique_lock<std::mutex>& guard) {
    stream->retired = true;
    decodingDone.wait(guard, [&] { return decoding != stream; });
    std::erase(streams, stream);
}

void OpenALOutput::streamLoop() {
    auto guard = lock();
    while (!stopping) {
        // By index: the list may change while a stream decodes unlocked.
        for (size_t i = 0; i < streams.size(); ++i) service(streams[i], guard);
        wake.wait_for(guard, STREAM_PERIOD);
    }
}

void OpenALOutput::service(StreamVoice* stream, std::unique_lock<std::mutex>& guard) {
    stream->reclaimProcessed();
    while (std::optional<ALuint> buffer = stream->idleBuffer()) {
        decoding = stream;
        guard.unlock();
        size_t frames = stream->decode();
        guard.lock();
        decoding = nullptr;
        decodingDone.notify_all();
        if (stream->retired) return;
        if (frames == 0) break;
        stream->queue(*buffer, frames);
    }
    stream->keepPlaying();
}

}  // namespace

std::shared_ptr<Output> OpenALOutputOpen(std::string* problem) {
    if (openOutput != nullptr) return openOutput->shared_from_this();
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    {
        QuietStandardError quiet;
        device = alcOpenDevice(nullptr);
        const ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 1, 0};
        if (device != nullptr) context = alcCreateContext(device, attributes);
    }
    if (device == nullptr) {
        *problem = "OpenAL Soft found no output device";
        return nullptr;
    }
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr) alcDestroyContext(context);
        alcCloseDevice(device);
        *problem = "OpenAL Soft could not make a context";
        return nullptr;
    }
    auto output = std::make_shared<OpenALOutput>(device, context);
    try {
        output->startStreaming();
    } catch (const std::system_error&) {
        *problem = "no thread left to stream with";
        return nullptr;
    }
    return output;
}
