// The layer's entry points: argument checks, then the classes behind the
// handles (EventSystem.h, LowLevelSystem.h).
#include "Audio/EventAudioInspection.h"

#include "Audio/EventSystem.h"
#include "Audio/LowLevelSystem.h"

#include <exception>
#include <iterator>
#include <new>

namespace {

const char* const ERROR_TEXTS[] = {
    "no error",
    "a handle or argument is null or no longer valid",
    "sound file not found",
    "sound file cannot be read (not WAV, OGG, FLAC or MP3, or more than two channels)",
    "event project is broken",
    "no event project is loaded",
    "event group not found",
    "event not found",
    "event parameter not found",
    "reverb preset not found",
    "event category not found",
    "no audio output, or no voice left to play on",
    "out of memory",
};

// No exception may reach the game; the standard library throws here only
// when memory runs out.
template <typename Operation>
AudioResult guarded(Operation operation) noexcept {
    try {
        return operation();
    } catch (const std::exception&) {
        return AUDIO_ERR_MEMORY;
    }
}

template <typename... Pointers>
bool allGiven(const Pointers*... pointers) {
    return ((pointers != nullptr) && ...);
}

// Failed look-ups leave a null handle, never a stale one.
template <typename Handle>
AudioResult lookUp(Handle** handle, auto operation) {
    *handle = nullptr;
    return guarded([&] { return operation(); });
}

}  // namespace

const char* AudioErrorString(AudioResult result) {
    if (result < 0 || result >= static_cast<AudioResult>(std::size(ERROR_TEXTS)))
        return "unknown audio error";
    return ERROR_TEXTS[result];
}

AudioResult AudioEventSystemCreate(AudioEventSystem** system) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    *system = new (std::nothrow) AudioEventSystem();
    return *system != nullptr ? AUDIO_OK : AUDIO_ERR_MEMORY;
}

AudioResult AudioEventSystemInit(AudioEventSystem* system, int maxVoices) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return system->init(maxVoices); });
}

AudioResult AudioEventSystemSetMediaPath(AudioEventSystem* system, const char* path) {
    if (!allGiven(system, path)) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return system->setMediaPath(path); });
}

AudioResult AudioEventSystemLoad(AudioEventSystem* system, const char* projectFile) {
    if (!allGiven(system, projectFile)) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return system->load(projectFile); });
}

AudioResult AudioEventSystemGetGroup(AudioEventSystem* system, const char* path, AudioEventGroup** group) {
    if (!allGiven(system, path, group)) return AUDIO_ERR_INVALID_HANDLE;
    return lookUp(group, [&] { return system->group(path, group); });
}

AudioResult AudioEventSystemGetCategory(AudioEventSystem* system, const char* name,
                                        AudioEventCategory** category) {
    if (!allGiven(system, name, category)) return AUDIO_ERR_INVALID_HANDLE;
    return lookUp(category, [&] { return system->category(name, category); });
}

AudioResult AudioEventSystemGetReverbPreset(AudioEventSystem* system, const char* name,
                                            AudioReverbProperties* properties, int* index) {
    if (!allGiven(system, name, properties, index)) return AUDIO_ERR_INVALID_HANDLE;
    return system->reverbPreset(name, properties, index);
}

AudioResult AudioEventSystemSetReverbProperties(AudioEventSystem* system,
                                                const AudioReverbProperties* properties) {
    if (!allGiven(system, properties)) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return system->applyReverb(*properties); });
}

AudioResult AudioEventSystemUpdate(AudioEventSystem* system) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return system->update(); });
}

AudioResult AudioEventSystemUnload(AudioEventSystem* system) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return system->unload(); });
}

AudioResult AudioEventSystemRelease(AudioEventSystem* system) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    delete system;
    return AUDIO_OK;
}

AudioResult AudioEventGroupGetEvent(AudioEventGroup* group, const char* name, AudioEvent** event) {
    if (!allGiven(group, name, event)) return AUDIO_ERR_INVALID_HANDLE;
    return lookUp(event, [&] { return group->getEvent(name, event); });
}

AudioResult AudioEventStart(AudioEvent* event) {
    if (event == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return event->start(); });
}

AudioResult AudioEventStop(AudioEvent* event, bool immediate) {
    if (event == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return event->stop(immediate);
}

AudioResult AudioEventGetParameter(AudioEvent* event, const char* name, AudioEventParameter** parameter) {
    if (!allGiven(event, name, parameter)) return AUDIO_ERR_INVALID_HANDLE;
    return lookUp(parameter, [&] { return event->findParameter(name, parameter); });
}

AudioResult AudioEventParameterGetRange(AudioEventParameter* parameter, float* minimum, float* maximum) {
    if (!allGiven(parameter, minimum, maximum)) return AUDIO_ERR_INVALID_HANDLE;
    return parameter->range(minimum, maximum);
}

AudioResult AudioEventParameterSetValue(AudioEventParameter* parameter, float value) {
    if (parameter == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return parameter->setValue(value);
}

AudioResult AudioEventParameterGetValue(AudioEventParameter* parameter, float* value) {
    if (!allGiven(parameter, value)) return AUDIO_ERR_INVALID_HANDLE;
    return parameter->value(value);
}

AudioResult AudioEventCategorySetVolume(AudioEventCategory* category, float volume) {
    if (category == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return category->setVolume(volume);
}

AudioResult AudioEventCategoryGetVolume(AudioEventCategory* category, float* volume) {
    if (!allGiven(category, volume)) return AUDIO_ERR_INVALID_HANDLE;
    return category->getVolume(volume);
}

bool AudioEventIsPlaying(const AudioEvent* event) {
    return event != nullptr && event->playing();
}

const char* AudioEventName(const AudioEvent* event) {
    return event != nullptr ? event->name().c_str() : "";
}

bool AudioEventGetLayerState(const AudioEvent* event, int layer, AudioLayerState* state) {
    return allGiven(event, state) && event->layerState(layer, state);
}

AudioResult AudioSystemCreate(AudioSystem** system) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    *system = new (std::nothrow) AudioSystem();
    return *system != nullptr ? AUDIO_OK : AUDIO_ERR_MEMORY;
}

AudioResult AudioSystemGetVersion(AudioSystem* system, unsigned* version) {
    if (!allGiven(system, version)) return AUDIO_ERR_INVALID_HANDLE;
    *version = AUDIO_VERSION;
    return AUDIO_OK;
}

AudioResult AudioSystemInit(AudioSystem* system, int maxChannels) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return guarded([&] { return system->init(maxChannels); });
}

AudioResult AudioSystemCreateSound(AudioSystem* system, const char* path, unsigned mode, AudioSound** sound) {
    if (!allGiven(system, path, sound)) return AUDIO_ERR_INVALID_HANDLE;
    return lookUp(sound, [&] { return system->createSound(path, mode, sound); });
}

AudioResult AudioSoundSetMode(AudioSound* sound, unsigned mode) {
    if (sound == nullptr || sound->sample == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    sound->setMode(mode);
    return AUDIO_OK;
}

AudioResult AudioSoundSetCategory(AudioSound* sound, AudioEventCategory* category) {
    if (sound == nullptr || sound->sample == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    if (category != nullptr && !category->loaded) return AUDIO_ERR_NOT_LOADED;
    sound->category = category != nullptr ? category->volume : nullptr;
    return AUDIO_OK;
}

AudioResult AudioSystemPlaySound(AudioSystem* system, AudioSound* sound, bool paused,
                                 AudioChannel** channel) {
    if (!allGiven(system, sound, channel)) return AUDIO_ERR_INVALID_HANDLE;
    return lookUp(channel, [&] { return system->play(*sound, paused, channel); });
}

AudioResult AudioSystemUpdate(AudioSystem* system) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return system->update();
}

AudioResult AudioSystemRelease(AudioSystem* system) {
    if (system == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    delete system;
    return AUDIO_OK;
}

AudioResult AudioSoundRelease(AudioSound* sound) {
    if (sound == nullptr) return AUDIO_ERR_INVALID_HANDLE;
    return sound->release();
}

bool AudioChannelIsPlaying(const AudioChannel* channel) {
    return channel != nullptr && channel->playing();
}

float AudioChannelHeardGain(const AudioChannel* channel) {
    return channel != nullptr ? channel->gain() : 0.0f;
}
