// The game's event audio layer. An event project names events in groups;
// each event has float parameters that steer its layers (gain, pitch, which
// variant plays) and belongs to a category whose volume scales it, and the
// project names reverb presets applied to everything at once. A separate
// low-level system plays plain sound files, in those categories too.
//
// Every call returns a result code and none ends the game: on a failure the
// sound in question stays silent. Handles are opaque pointers that stay valid
// until their system is released (a released sound's handle excepted); a
// null handle gives AUDIO_ERR_INVALID_HANDLE. Main thread only.
#pragma once

using AudioResult = int;
enum : AudioResult {
    AUDIO_OK = 0,
    AUDIO_ERR_INVALID_HANDLE,
    AUDIO_ERR_FILE_NOT_FOUND,
    AUDIO_ERR_FILE_BAD,
    AUDIO_ERR_PROJECT_BAD,
    AUDIO_ERR_NOT_LOADED,
    AUDIO_ERR_GROUP_NOT_FOUND,
    AUDIO_ERR_EVENT_NOT_FOUND,
    AUDIO_ERR_PARAMETER_NOT_FOUND,
    AUDIO_ERR_PRESET_NOT_FOUND,
    AUDIO_ERR_CATEGORY_NOT_FOUND,
    AUDIO_ERR_OUTPUT,
    AUDIO_ERR_MEMORY
};
const char* AudioErrorString(AudioResult result);

struct AudioEventSystem;
struct AudioEventGroup;
struct AudioEvent;
struct AudioEventParameter;
struct AudioEventCategory;
struct AudioSystem;
struct AudioSound;
struct AudioChannel;

// An EFX reverb with the name of the preset it came from (for the audio log).
// Values outside the EFX ranges are clamped when applied.
struct AudioReverbProperties {
    char name[48];
    float density, diffusion, gain, gainHF, gainLF;
    float decayTime, decayHFRatio, decayLFRatio;
    float reflectionsGain, reflectionsDelay, lateReverbGain, lateReverbDelay;
    float echoTime, echoDepth, modulationTime, modulationDepth;
    float airAbsorptionGainHF, hfReference, lfReference, roomRolloffFactor;
    int decayHFLimit;

    bool operator==(const AudioReverbProperties&) const = default;
};

// Sound modes; other bits are accepted and ignored.
constexpr unsigned AUDIO_LOOP_OFF = 1;
constexpr unsigned AUDIO_LOOP_NORMAL = 2;

// What AudioSystemGetVersion reports: 0xMMmmpppp.
constexpr unsigned AUDIO_VERSION = 0x00010000;

enum class AudioBackend { Silent, OpenAL };
// Chosen before the systems are initialised: headless runs and unit tests use
// Silent. Both systems share one output.
void AudioConfigure(AudioBackend backend);
// Audio time per update: 0 (the default) measures real time; a positive step
// makes every update of either system advance its fades, delays and one-shots
// by exactly that many seconds (fixed-step runs and tests).
void AudioConfigureTimeStep(double seconds);

// --audio-log: "<frame>\t<action>\t<name>\t<value>\n", flushed per line; value
// "-" when there is none. start and stop name the event (stop's value is
// "fade" or "immediate", also for an instance stolen by a new fetch); param
// names "<event>:<parameter>" with the value as %g, written on the first
// setting after the event is fetched and then only when the value changes;
// volume names the category with its new volume as %g, written when it
// changes; reverb names the preset, written when the applied reverb changes;
// play-file and release name the file as the game gave it.
bool AudioLogOpen(const char* path);
void AudioLogClose();
void AudioLogSetFrame(long frame);

AudioResult AudioEventSystemCreate(AudioEventSystem** system);
// Opens the configured output. Without an audio device: one line on standard
// error, then the silent backend, and AUDIO_ERR_OUTPUT. maxVoices caps the
// layers sounding at once.
AudioResult AudioEventSystemInit(AudioEventSystem* system, int maxVoices);
AudioResult AudioEventSystemSetMediaPath(AudioEventSystem* system, const char* path);
// The project file, relative to the media path. Reads the project only: sound
// files are opened when an event first starts.
AudioResult AudioEventSystemLoad(AudioEventSystem* system, const char* projectFile);
AudioResult AudioEventSystemGetGroup(AudioEventSystem* system, const char* path, AudioEventGroup** group);
// "master" always exists and is the parent of every category the project
// names; an event is in the one it names, or in master alone.
AudioResult AudioEventSystemGetCategory(AudioEventSystem* system, const char* name,
                                        AudioEventCategory** category);
AudioResult AudioEventSystemGetReverbPreset(AudioEventSystem* system, const char* name,
                                            AudioReverbProperties* properties, int* index);
AudioResult AudioEventSystemSetReverbProperties(AudioEventSystem* system,
                                                const AudioReverbProperties* properties);
// Once a frame: delays, fades, parameters' effects and ended one-shots.
AudioResult AudioEventSystemUpdate(AudioEventSystem* system);
// Stops every event; handles from the project then give AUDIO_ERR_NOT_LOADED.
AudioResult AudioEventSystemUnload(AudioEventSystem* system);
AudioResult AudioEventSystemRelease(AudioEventSystem* system);

// An instance of the named event with its parameters at their defaults: an
// idle one of the event's pool, or else the oldest playing one, stopped.
AudioResult AudioEventGroupGetEvent(AudioEventGroup* group, const char* name, AudioEvent** event);
// Starting a playing event starts it again from the beginning.
AudioResult AudioEventStart(AudioEvent* event);
// Not immediate: fades over the event's fadeOut, then stops.
AudioResult AudioEventStop(AudioEvent* event, bool immediate);
AudioResult AudioEventGetParameter(AudioEvent* event, const char* name, AudioEventParameter** parameter);
AudioResult AudioEventParameterGetRange(AudioEventParameter* parameter, float* minimum, float* maximum);
// Clamped to the range (NaN counts as the minimum).
AudioResult AudioEventParameterSetValue(AudioEventParameter* parameter, float value);
AudioResult AudioEventParameterGetValue(AudioEventParameter* parameter, float* value);
// A category's volume starts at 1 and is clamped to [0, 1] (NaN counts as
// 0). What plays in it sounds at its own gain x this volume x master's, and
// a change is heard at once, on what already plays too.
AudioResult AudioEventCategorySetVolume(AudioEventCategory* category, float volume);
AudioResult AudioEventCategoryGetVolume(AudioEventCategory* category, float* volume);

AudioResult AudioSystemCreate(AudioSystem** system);
AudioResult AudioSystemGetVersion(AudioSystem* system, unsigned* version);
// maxChannels: the channels sounding at once; playing beyond takes the oldest.
AudioResult AudioSystemInit(AudioSystem* system, int maxChannels);
// path relative to the working directory; a missing file gives
// AUDIO_ERR_FILE_NOT_FOUND, one libsndfile cannot read AUDIO_ERR_FILE_BAD.
AudioResult AudioSystemCreateSound(AudioSystem* system, const char* path, unsigned mode, AudioSound** sound);
// Applies to later plays of the sound.
AudioResult AudioSoundSetMode(AudioSound* sound, unsigned mode);
// Later plays of the sound sound in an event category (its volume and
// master's); null plays them at full volume, as a new sound does. The
// category's project must be loaded.
AudioResult AudioSoundSetCategory(AudioSound* sound, AudioEventCategory* category);
// A channel played paused stays silent: nothing resumes it.
AudioResult AudioSystemPlaySound(AudioSystem* system, AudioSound* sound, bool paused, AudioChannel** channel);
AudioResult AudioSystemUpdate(AudioSystem* system);
AudioResult AudioSystemRelease(AudioSystem* system);
// Stops the sound's channels; releasing it again gives AUDIO_ERR_INVALID_HANDLE
// until a sound of the same file is created, which may take the handle back.
AudioResult AudioSoundRelease(AudioSound* sound);
