// The classes behind the event system's handles. A loaded project gives each
// event a fixed pool of instances; an instance chooses its variants when it
// starts, keeps one voice per sounding layer, and mixes volume, the layers'
// gain and pitch curves and its fade into those voices, which sound through
// the event's category.
#pragma once

#include "Audio/AudioClock.h"
#include "Audio/AudioOutput.h"
#include "Audio/CategoryVolume.h"
#include "Audio/EventAudioInspection.h"
#include "Audio/EventProject.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct AudioEventCategory {
public:
    AudioEventCategory(std::string categoryName, std::shared_ptr<CategoryVolume> categoryVolume)
        : name(std::move(categoryName)), volume(std::move(categoryVolume)) {}

    AudioResult setVolume(float value);
    AudioResult getVolume(float* value) const;

    const std::string name;
    // Shared with the voices and the plain sounds that play in the category.
    const std::shared_ptr<CategoryVolume> volume;
    bool loaded = true;
};

struct AudioEventParameter {
public:
    AudioEventParameter(AudioEvent& owner, size_t position) : event(owner), index(position) {}

    AudioResult range(float* minimum, float* maximum) const;
    AudioResult setValue(float value);
    AudioResult value(float* value) const;
    // A new use of the event logs its first setting whatever the value.
    void forgetLogged() { logged.reset(); }

private:
    AudioEvent& event;
    size_t index;
    std::optional<float> logged;
};

struct AudioEvent {
public:
    AudioEvent(AudioEventGroup& owner, const EventDefinition& eventDefinition,
               std::shared_ptr<CategoryVolume> inCategory);
    AudioEvent(const AudioEvent&) = delete;
    AudioEvent& operator=(const AudioEvent&) = delete;

    AudioResult start();
    AudioResult stop(bool immediate);
    AudioResult findParameter(const char* name, AudioEventParameter** parameter);
    // Steps of the game's calls that need the project still loaded.
    bool loaded() const;

    // Hands the instance out anew: parameters at their defaults.
    void prepare();
    // Taken by a new fetch while it plays.
    void steal();
    void update(double seconds);
    // Silence without a log line: the project is unloading.
    void end();

    const ParameterDefinition& parameterDefinition(size_t index) const {
        return definition.parameters[index];
    }
    float parameterValue(size_t index) const { return values[index]; }
    void setParameterValue(size_t index, float value);

    bool playing() const { return state != State::Idle; }
    const std::string& name() const { return definition.name; }
    uint64_t startOrder() const { return order; }
    int voiceCount() const;
    bool layerState(int layer, AudioLayerState* layerState) const;

private:
    enum class State { Idle, Playing, Stopping };

    struct LayerSlot {
        const VariantDefinition* variant = nullptr;
        std::shared_ptr<const Sample> sample;
        std::unique_ptr<Voice> voice;
        bool waiting = false;  // for its delay
    };

    AudioResult prepareLayer(size_t index);
    AudioResult soundLayer(size_t index);
    void advanceLayer(size_t index, double seconds);
    // Sounding, or waiting for its delay.
    bool anyLayerAlive() const;
    float gainOf(size_t index) const;
    float pitchOf(size_t index) const;
    void applyMix();

    AudioEventGroup& group;
    const EventDefinition& definition;
    std::shared_ptr<CategoryVolume> category;
    std::vector<float> values;
    std::vector<AudioEventParameter> parameters;
    std::vector<LayerSlot> layers;
    State state = State::Idle;
    double elapsed = 0.0;
    float fade = 1.0f;
    uint64_t order = 0;
};

struct AudioEventGroup {
public:
    // categories: the project's, as its events name them.
    AudioEventGroup(AudioEventSystem& owner, const GroupDefinition& groupDefinition,
                    std::span<const std::unique_ptr<AudioEventCategory>> categories);

    AudioResult getEvent(const char* name, AudioEvent** event);
    void update(double seconds);
    void end();
    int voiceCount() const;

    AudioEventSystem& system;
    const std::string& path() const { return definition.path; }
    bool loaded = true;

private:
    struct Pool {
        const EventDefinition* definition;
        std::vector<std::unique_ptr<AudioEvent>> instances;
    };

    AudioEvent* idleOrOldest(Pool& pool);

    const GroupDefinition& definition;
    std::vector<Pool> pools;
};

// A project and everything made from it; kept after an unload until the
// system is released, so that old handles stay safe to call.
struct LoadedProject {
    LoadedProject(EventProject read, AudioEventSystem& system);

    EventProject definitions;
    std::vector<std::unique_ptr<AudioEventCategory>> categories;  // master first
    std::vector<std::unique_ptr<AudioEventGroup>> groups;
};

struct AudioEventSystem {
public:
    AudioResult init(int maxVoices);
    AudioResult setMediaPath(const char* path);
    AudioResult load(const char* projectFile);
    AudioResult group(const char* path, AudioEventGroup** group);
    AudioResult category(const char* name, AudioEventCategory** category);
    AudioResult reverbPreset(const char* name, AudioReverbProperties* properties, int* index);
    AudioResult applyReverb(const AudioReverbProperties& properties);
    AudioResult update();
    AudioResult unload();

    // For the events: the file (relative to the media path), decoded or
    // opened once and shared by every event that plays it.
    AudioResult sample(const std::string& file, Streaming streaming, std::shared_ptr<const Sample>* sample);
    // Null when the output or the voices have run out.
    std::unique_ptr<Voice> play(const std::shared_ptr<const Sample>& sample, const VoiceSettings& settings,
                                const std::shared_ptr<CategoryVolume>& category);
    uint64_t nextStartOrder() { return ++starts; }

private:
    int voiceCount() const;

    std::shared_ptr<Output> output;
    AudioResult outputResult = AUDIO_ERR_OUTPUT;
    int maxVoices = 0;
    std::string mediaPath;
    std::map<std::pair<std::string, Streaming>, std::shared_ptr<const Sample>> samples;
    std::unique_ptr<LoadedProject> project;
    std::vector<std::unique_ptr<LoadedProject>> retired;
    std::optional<AudioReverbProperties> appliedReverb;
    AudioClock clock;
    uint64_t starts = 0;
};
