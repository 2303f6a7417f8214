#include "Audio/EventSystem.h"

#include "Audio/AudioLog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr int MAX_VOICES = 4096;
constexpr std::uintmax_t MAX_PROJECT_BYTES = 16u << 20;

std::string withForwardSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The text of the project, NUL-terminated as the JSON parser needs it.
AudioResult readProjectFile(const std::string& path, std::string* text, std::string* problem) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        *problem = "was not found";
        return AUDIO_ERR_FILE_NOT_FOUND;
    }
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > MAX_PROJECT_BYTES) {
        *problem = "is not a project: it is larger than 16 MB or cannot be read";
        return AUDIO_ERR_PROJECT_BAD;
    }
    std::ifstream file(path, std::ios::binary);
    text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return AUDIO_OK;
}

// Designers learn here why the game is silent: the game only turns the
// result into a warning nobody sees.
void reportProject(const std::string& path, const std::string& problem) {
    std::fprintf(stderr, "halcyra: audio project %s: %s; playing without event audio\n", path.c_str(),
                 problem.c_str());
}

}  // namespace

AudioResult AudioEventParameter::range(float* minimum, float* maximum) const {
    if (!event.loaded()) return AUDIO_ERR_NOT_LOADED;
    *minimum = event.parameterDefinition(index).minimum;
    *maximum = event.parameterDefinition(index).maximum;
    return AUDIO_OK;
}

AudioResult AudioEventParameter::setValue(float value) {
    if (!event.loaded()) return AUDIO_ERR_NOT_LOADED;
    const ParameterDefinition& definition = event.parameterDefinition(index);
    float clamped = value >= definition.minimum ? std::min(value, definition.maximum) : definition.minimum;
    if (logged != clamped) AudioLogParameter(event.name().c_str(), definition.name.c_str(), clamped);
    logged = clamped;
    event.setParameterValue(index, clamped);
    return AUDIO_OK;
}

AudioResult AudioEventParameter::value(float* value) const {
    if (!event.loaded()) return AUDIO_ERR_NOT_LOADED;
    *value = event.parameterValue(index);
    return AUDIO_OK;
}

AudioResult AudioEventCategory::setVolume(float value) {
    if (!loaded) return AUDIO_ERR_NOT_LOADED;
    if (volume->setVolume(value)) AudioLogVolume(name.c_str(), volume->volume());
    return AUDIO_OK;
}

AudioResult AudioEventCategory::getVolume(float* value) const {
    if (!loaded) return AUDIO_ERR_NOT_LOADED;
    *value = volume->volume();
    return AUDIO_OK;
}

AudioEvent::AudioEvent(AudioEventGroup& owner, const EventDefinition& eventDefinition,
                       std::shared_ptr<CategoryVolume> inCategory)
    : group(owner),
      definition(eventDefinition),
      category(std::move(inCategory)),
      layers(eventDefinition.layers.size()) {
    parameters.reserve(definition.parameters.size());
    for (size_t i = 0; i < definition.parameters.size(); ++i) parameters.emplace_back(*this, i);
    prepare();
}

bool AudioEvent::loaded() const {
    return group.loaded;
}

void AudioEvent::prepare() {
    values.clear();
    for (const ParameterDefinition& parameter : definition.parameters) values.push_back(parameter.initial);
    for (AudioEventParameter& parameter : parameters) parameter.forgetLogged();
}

AudioResult AudioEvent::start() {
    if (!loaded()) return AUDIO_ERR_NOT_LOADED;
    AudioLogAction("start", name().c_str(), nullptr);
    end();
    state = State::Playing;
    elapsed = 0.0;
    fade = 1.0f;
    order = group.system.nextStartOrder();
    AudioResult result = AUDIO_OK;
    for (size_t i = 0; i < layers.size(); ++i) {
        AudioResult layerResult = prepareLayer(i);
        if (layerResult == AUDIO_OK && definition.layers[i].delay <= 0.0f) layerResult = soundLayer(i);
        if (result == AUDIO_OK) result = layerResult;
    }
    if (!anyLayerAlive()) end();
    return result;
}

AudioResult AudioEvent::stop(bool immediate) {
    if (!loaded()) return AUDIO_ERR_NOT_LOADED;
    AudioLogAction("stop", name().c_str(), immediate ? "immediate" : "fade");
    if (immediate || definition.fadeOut <= 0.0f) end();
    else if (state == State::Playing) state = State::Stopping;
    return AUDIO_OK;
}

AudioResult AudioEvent::findParameter(const char* name, AudioEventParameter** parameter) {
    if (!loaded()) return AUDIO_ERR_NOT_LOADED;
    for (size_t i = 0; i < parameters.size(); ++i) {
        if (definition.parameters[i].name != name) continue;
        *parameter = &parameters[i];
        return AUDIO_OK;
    }
    return AUDIO_ERR_PARAMETER_NOT_FOUND;
}

void AudioEvent::steal() {
    AudioLogAction("stop", name().c_str(), "immediate");
    end();
}

void AudioEvent::end() {
    for (LayerSlot& slot : layers) slot = LayerSlot{};
    state = State::Idle;
}

void AudioEvent::setParameterValue(size_t index, float value) {
    values[index] = value;
    applyMix();
}

// Variants are chosen here, once per start; files load (or come from the
// cache) now even for delayed layers, so that a missing one is reported.
AudioResult AudioEvent::prepareLayer(size_t index) {
    LayerSlot& slot = layers[index];
    const LayerDefinition& layer = definition.layers[index];
    slot.variant = &layer.choose(values);
    AudioResult result = group.system.sample(slot.variant->file, layer.streaming, &slot.sample);
    slot.waiting = result == AUDIO_OK;
    return result;
}

AudioResult AudioEvent::soundLayer(size_t index) {
    LayerSlot& slot = layers[index];
    slot.waiting = false;
    slot.voice = group.system.play(slot.sample, {definition.loop, gainOf(index), pitchOf(index)}, category);
    return slot.voice != nullptr ? AUDIO_OK : AUDIO_ERR_OUTPUT;
}

void AudioEvent::update(double seconds) {
    if (state == State::Idle) return;
    elapsed += seconds;
    if (state == State::Stopping) {
        fade -= static_cast<float>(seconds / definition.fadeOut);
        if (fade <= 0.0f) {
            end();
            return;
        }
        applyMix();
    }
    for (size_t i = 0; i < layers.size(); ++i) advanceLayer(i, seconds);
    if (!anyLayerAlive()) end();
}

void AudioEvent::advanceLayer(size_t index, double seconds) {
    LayerSlot& slot = layers[index];
    double delay = definition.layers[index].delay;
    // A failure here has no caller to go to: the layer stays silent.
    if (slot.waiting && elapsed >= delay) {
        soundLayer(index);
        seconds = elapsed - delay;
    }
    if (slot.voice == nullptr) return;
    slot.voice->advance(seconds);
    if (slot.voice->finished()) slot.voice.reset();
}

float AudioEvent::gainOf(size_t index) const {
    return definition.volume * definition.layers[index].gain.valueAt(values) * std::max(fade, 0.0f);
}

float AudioEvent::pitchOf(size_t index) const {
    return definition.layers[index].pitch.valueAt(values);
}

void AudioEvent::applyMix() {
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layers[i].voice == nullptr) continue;
        layers[i].voice->setGain(gainOf(i));
        layers[i].voice->setPitch(pitchOf(i));
    }
}

bool AudioEvent::anyLayerAlive() const {
    return std::any_of(layers.begin(), layers.end(),
                       [](const LayerSlot& slot) { return slot.voice != nullptr || slot.waiting; });
}

int AudioEvent::voiceCount() const {
    return static_cast<int>(std::count_if(layers.begin(), layers.end(),
                                          [](const LayerSlot& slot) { return slot.voice != nullptr; }));
}

bool AudioEvent::layerState(int layer, AudioLayerState* layerState) const {
    if (layer < 0 || static_cast<size_t>(layer) >= layers.size()) return false;
    const LayerSlot& slot = layers[static_cast<size_t>(layer)];
    layerState->file = slot.voice != nullptr ? slot.variant->file.c_str() : nullptr;
    layerState->gain = gainOf(static_cast<size_t>(layer));
    layerState->heard = slot.voice != nullptr ? slot.voice->gain() : 0.0f;
    layerState->pitch = pitchOf(static_cast<size_t>(layer));
    return true;
}

AudioEventGroup::AudioEventGroup(AudioEventSystem& owner, const GroupDefinition& groupDefinition,
                                 std::span<const std::unique_ptr<AudioEventCategory>> categories)
    : system(owner), definition(groupDefinition) {
    for (const EventDefinition& event : definition.events) {
        Pool pool{&event, {}};
        for (int i = 0; i < event.maxInstances; ++i)
            pool.instances.push_back(
                std::make_unique<AudioEvent>(*this, event, categories[event.category]->volume));
        pools.push_back(std::move(pool));
    }
}

AudioResult AudioEventGroup::getEvent(const char* name, AudioEvent** event) {
    if (!loaded) return AUDIO_ERR_NOT_LOADED;
    auto pool = std::find_if(pools.begin(), pools.end(),
                             [name](const Pool& each) { return each.definition->name == name; });
    if (pool == pools.end()) return AUDIO_ERR_EVENT_NOT_FOUND;
    AudioEvent* instance = idleOrOldest(*pool);
    if (instance->playing()) instance->steal();
    instance->prepare();
    *event = instance;
    return AUDIO_OK;
}

AudioEvent* AudioEventGroup::idleOrOldest(Pool& pool) {
    auto& instances = pool.instances;
    auto idle =
        std::find_if(instances.begin(), instances.end(), [](const auto& each) { return !each->playing(); });
    if (idle != instances.end()) return idle->get();
    return std::min_element(instances.begin(), instances.end(),
                            [](const auto& a, const auto& b) { return a->startOrder() < b->startOrder(); })
        ->get();
}

void AudioEventGroup::update(double seconds) {
    for (Pool& pool : pools)
        for (auto& instance : pool.instances) instance->update(seconds);
}

void AudioEventGroup::end() {
    for (Pool& pool : pools)
        for (auto& instance : pool.instances) instance->end();
}

int AudioEventGroup::voiceCount() const {
    int count = 0;
    for (const Pool& pool : pools)
        for (const auto& instance : pool.instances) count += instance->voiceCount();
    return count;
}

LoadedProject::LoadedProject(EventProject read, AudioEventSystem& system) : definitions(std::move(read)) {
    auto master = std::make_shared<CategoryVolume>();
    categories.push_back(std::make_unique<AudioEventCategory>(definitions.categories.front(), master));
    for (size_t i = 1; i < definitions.categories.size(); ++i)
        categories.push_back(std::make_unique<AudioEventCategory>(definitions.categories[i],
                                                                  std::make_shared<CategoryVolume>(master)));
    for (const GroupDefinition& group : definitions.groups)
        groups.push_back(std::make_unique<AudioEventGroup>(system, group, categories));
}

AudioResult AudioEventSystem::init(int voices) {
    if (output == nullptr) output = AudioOutputAcquire(&outputResult);
    maxVoices = std::clamp(voices, 1, MAX_VOICES);
    return outputResult;
}

AudioResult AudioEventSystem::setMediaPath(const char* path) {
    mediaPath = withForwardSlashes(path);
    if (!mediaPath.empty() && mediaPath.back() != '/') mediaPath += '/';
    return AUDIO_OK;
}

AudioResult AudioEventSystem::load(const char* projectFile) {
    unload();
    std::string path = mediaPath + withForwardSlashes(projectFile);
    std::string text;
    std::string problem;
    AudioResult result = readProjectFile(path, &text, &problem);
    std::optional<EventProject> read;
    if (result == AUDIO_OK) read = EventProjectRead(text, &problem);
    if (result == AUDIO_OK && !read) result = AUDIO_ERR_PROJECT_BAD;
    if (result != AUDIO_OK) {
        reportProject(path, problem);
        return result;
    }
    project = std::make_unique<LoadedProject>(std::move(*read), *this);
    return AUDIO_OK;
}

AudioResult AudioEventSystem::group(const char* path, AudioEventGroup** group) {
    if (project == nullptr) return AUDIO_ERR_NOT_LOADED;
    for (const auto& each : project->groups) {
        if (each->path() != path) continue;
        *group = each.get();
        return AUDIO_OK;
    }
    return AUDIO_ERR_GROUP_NOT_FOUND;
}

AudioResult AudioEventSystem::category(const char* name, AudioEventCategory** category) {
    if (project == nullptr) return AUDIO_ERR_NOT_LOADED;
    for (const auto& each : project->categories) {
        if (each->name != name) continue;
        *category = each.get();
        return AUDIO_OK;
    }
    return AUDIO_ERR_CATEGORY_NOT_FOUND;
}

AudioResult AudioEventSystem::reverbPreset(const char* name, AudioReverbProperties* properties, int* index) {
    if (project == nullptr) return AUDIO_ERR_NOT_LOADED;
    const auto& presets = project->definitions.reverbPresets;
    for (size_t i = 0; i < presets.size(); ++i) {
        if (std::strcmp(presets[i].name, name) != 0) continue;
        *properties = presets[i];
        *index = static_cast<int>(i);
        return AUDIO_OK;
    }
    return AUDIO_ERR_PRESET_NOT_FOUND;
}

AudioResult AudioEventSystem::applyReverb(const AudioReverbProperties& properties) {
    if (output == nullptr) return AUDIO_ERR_OUTPUT;
    AudioReverbProperties applied = properties;
    applied.name[sizeof applied.name - 1] = '\0';
    // The game applies the same preset on every footstep: only a change counts.
    if (appliedReverb == applied) return AUDIO_OK;
    AudioLogAction("reverb", applied.name[0] != '\0' ? applied.name : "-", nullptr);
    appliedReverb = applied;
    output->setReverb(applied);
    return AUDIO_OK;
}

AudioResult AudioEventSystem::update() {
    double seconds = clock.tick();
    if (project == nullptr) return AUDIO_OK;
    for (const auto& each : project->groups) each->update(seconds);
    return AUDIO_OK;
}

AudioResult AudioEventSystem::unload() {
    if (project == nullptr) return AUDIO_OK;
    for (const auto& each : project->groups) {
        each->end();
        each->loaded = false;
    }
    for (const auto& each : project->categories) each->loaded = false;
    retired.push_back(std::move(project));
    samples.clear();
    return AUDIO_OK;
}

AudioResult AudioEventSystem::sample(const std::string& file, Streaming streaming,
                                     std::shared_ptr<const Sample>* sample) {
    if (output == nullptr) return AUDIO_ERR_OUTPUT;
    auto key = std::make_pair(mediaPath + withForwardSlashes(file), streaming);
    if (auto cached = samples.find(key); cached != samples.end()) {
        *sample = cached->second;
        return AUDIO_OK;
    }
    AudioResult result = output->load(key.first, streaming, sample);
    if (result == AUDIO_OK) samples.emplace(std::move(key), *sample);
    return result;
}

std::unique_ptr<Voice> AudioEventSystem::play(const std::shared_ptr<const Sample>& sample,
                                              const VoiceSettings& settings,
                                              const std::shared_ptr<CategoryVolume>& category) {
    if (voiceCount() >= maxVoices) return nullptr;
    return playInCategory(*output, sample, settings, category);
}

int AudioEventSystem::voiceCount() const {
    int count = 0;
    if (project == nullptr) return count;
    for (const auto& each : project->groups) count += each->voiceCount();
    return count;
}
