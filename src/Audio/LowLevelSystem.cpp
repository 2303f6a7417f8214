#include "Audio/LowLevelSystem.h"

#include "Audio/AudioLog.h"

#include <algorithm>

namespace {

constexpr int MAX_CHANNELS = 4096;

}  // namespace

void AudioSound::setMode(unsigned mode) {
    if (mode & AUDIO_LOOP_NORMAL) loop = true;
    if (mode & AUDIO_LOOP_OFF) loop = false;
}

void AudioSound::revive(std::shared_ptr<const Sample> loaded, unsigned mode) {
    sample = std::move(loaded);
    loop = false;
    category = nullptr;
    setMode(mode);
}

AudioResult AudioSound::release() {
    if (sample == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    AudioLogAction("release", path.c_str(), nullptr);
    system.stopChannelsOf(*this);
    sample.reset();
    return AUDIO_OK;
}

void AudioChannel::play(const AudioSound& played, std::unique_ptr<Voice> started, uint64_t playOrder) {
    sound = &played;
    voice = std::move(started);
    order = playOrder;
}

void AudioChannel::stop() {
    voice.reset();
    sound = nullptr;
}

void AudioChannel::update(double seconds) {
    if (voice == nullptr) return;
    voice->advance(seconds);
    if (voice->finished()) stop();
}

AudioResult AudioSystem::init(int maxChannels) {
    if (output == nullptr) output = AudioOutputAcquire(&outputResult);
    size_t count = static_cast<size_t>(std::clamp(maxChannels, 1, MAX_CHANNELS));
    while (channels.size() < count) channels.push_back(std::make_unique<AudioChannel>());
    return outputResult;
}

AudioResult AudioSystem::createSound(const char* path, unsigned mode, AudioSound** sound) {
    if (output == nullptr) return AUDIO_ERR_OUTPUT;
    std::string file(path);
    std::replace(file.begin(), file.end(), '\\', '/');
    std::shared_ptr<const Sample> sample;
    AudioResult result = output->load(file, Streaming::Auto, &sample);
    if (result != AUDIO_OK) return result;
    if (AudioSound* released = releasedSoundOf(path)) {
        released->revive(std::move(sample), mode);
        *sound = released;
        return AUDIO_OK;
    }
    sounds.push_back(std::make_unique<AudioSound>(*this, path, std::move(sample), mode));
    *sound = sounds.back().get();
    return AUDIO_OK;
}

AudioSound* AudioSystem::releasedSoundOf(const char* path) {
    auto found = std::find_if(sounds.begin(), sounds.end(),
                              [&](const auto& each) { return each->released() && each->path == path; });
    return found != sounds.end() ? found->get() : nullptr;
}

AudioResult AudioSystem::play(AudioSound& sound, bool paused, AudioChannel** channel) {
    if (sound.sample == nullptr || &sound.system != this) return AUDIO_ERR_INVALID_HANDLE;
    AudioLogAction("play-file", sound.path.c_str(), nullptr);
    AudioChannel& chosen = freeOrOldest();
    chosen.stop();
    *channel = &chosen;
    if (paused) return AUDIO_OK;
    std::unique_ptr<Voice> voice =
        playInCategory(*output, sound.sample, {sound.loop, 1.0f, 1.0f}, sound.category);
    if (voice == nullptr) return AUDIO_ERR_OUTPUT;
    chosen.play(sound, std::move(voice), ++plays);
    return AUDIO_OK;
}

AudioChannel& AudioSystem::freeOrOldest() {
    auto free =
        std::find_if(channels.begin(), channels.end(), [](const auto& each) { return !each->playing(); });
    if (free != channels.end()) return **free;
    return **std::min_element(channels.begin(), channels.end(),
                              [](const auto& a, const auto& b) { return a->order < b->order; });
}

AudioResult AudioSystem::update() {
    double seconds = clock.tick();
    for (const auto& channel : channels) channel->update(seconds);
    return AUDIO_OK;
}

void AudioSystem::stopChannelsOf(const AudioSound& sound) {
    for (const auto& channel : channels)
        if (channel->sound == &sound) channel->stop();
}
