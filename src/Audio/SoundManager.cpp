#include "Audio/SoundManager.h"

#include "Audio/EventAudio.h"
#include "Debug/Debug.h"
#include "Util/LinkedList.h"
#include "Util/Random.h"

#include <algorithm>
#include <cmath>

namespace {

using CueFunction = void (*)(float dt);

// An event a cue started. `taken` stays set after a failed fetch, so that a
// cue whose sound is missing still runs its timers and hands over instead of
// trying again every frame.
struct EventSlot {
    AudioEvent* event = nullptr;
    bool taken = false;
};

struct SoundSlot {
    AudioSound* sound = nullptr;
    bool taken = false;
};

struct ParameterSlot {
    AudioEventParameter* parameter = nullptr;
    float minimum = 0.0f;
    float maximum = 0.0f;
};

constexpr int DIALOGUE_LINES = 8;
constexpr const char* DIALOGUE_EVENTS[DIALOGUE_LINES] = {"dial_1", "dial_2", "dial_3", "dial_4",
                                                         "dial_5", "dial_6", "dial_7", "dial_8"};
constexpr const char* INTERFACE_EVENTS[4] = {"sfx_ui_move", "sfx_ui_yes", "sfx_ui_no", "sfx_ui_start"};
constexpr int MUSIC_STATE_COUNT = 20;
// Rates per second of what the score steers over time.
constexpr float SPOOKY_RISE_PER_SECOND = 0.006f;  // the tension creeps up as the candle burns
constexpr float SPOOKY_HIGHEST = 0.3f;
constexpr float DANGER_STEP_PER_SECOND = 0.6f;  // up by a step, down by two
constexpr float DEATH_MUSIC_SECONDS = 25.0f;
constexpr int VOLUME_COUNT = 4;
// The project's category of each SoundVolume.
constexpr const char* VOLUME_CATEGORIES[VOLUME_COUNT] = {"master", "music", "effects", "narration"};

struct SoundState {
    AudioEventSystem* eventSystem = nullptr;
    AudioSystem* lowLevelSystem = nullptr;
    AudioResult lastResult = AUDIO_OK;
    AudioEventGroup* staticGroup = nullptr;
    AudioEventGroup* natureGroup = nullptr;
    AudioEventGroup* oneShotGroup = nullptr;
    AudioEventGroup* interfaceGroup = nullptr;
    AudioEventGroup* musicGroup = nullptr;
    AudioEventGroup* dialogueGroup = nullptr;
    AudioEventCategory* categories[VOLUME_COUNT] = {};
    std::unique_ptr<List<AudioEvent>> activeEvents;  // the events belong to the event system
    int32_t musicState = MS_CALM;
    CueFunction musicCue = nullptr;
    int32_t ambienceState = AS_QUIET;
    CueFunction ambienceCue = nullptr;

    EventSlot calm, spooky, spookyDeep, danger, death, menu, gasp, door, introMusic;
    EventSlot dialogue[DIALOGUE_LINES];
    EventSlot rain, thunder, footstep, relief, pickup;
    EventSlot interfaceSounds[4];
    ParameterSlot calmIntensity, spookyIntensity, dangerIntensity, doorOpenClose;
    ParameterSlot rainIntensity, thunderIntensity, footstepMaterial;
    SoundSlot credits, scream, gunshot, doorBreak;

    float cueTimer = 0.0f;
    float shotTimer = 0.0f;  // the ten seconds after the shot
    float thunderTimer = 0.0f;
    float spookyLevel = 0.0f;
    float dangerStep = 0.0f;  // a second's step

    // The character being played and the line being read, as the game told
    // them before this update.
    bool followsCharacter = false;
    float candleLife = 0.0f;
    bool inTheStorm = false;
    float lineSecondsLeft = 0.0f;
};

SoundState sound;
// The player's shares outlive the sound system, which takes them at start-up.
float volumes[VOLUME_COUNT] = {1.0f, 1.0f, 1.0f, 1.0f};
SoundProgress ownProgress;
SoundProgress* progress = &ownProgress;

void ErrorCheck() {
    if (sound.lastResult != AUDIO_OK)
        WARNING("Audio error!\n (%d) %s\n", sound.lastResult, AudioErrorString(sound.lastResult));
}

void check(AudioResult result) {
    sound.lastResult = result;
    ErrorCheck();
}

// Without an audio device the output has said so in its one line and plays
// on in silence: a start-up that found none is not an error to report again.
void checkStartUp(AudioResult result) {
    check(result == AUDIO_ERR_OUTPUT ? AUDIO_OK : result);
}

void fetch(AudioEventGroup* group, const char* name, EventSlot& slot) {
    AudioEvent* event = nullptr;
    check(AudioEventGroupGetEvent(group, name, &event));
    slot = {sound.lastResult == AUDIO_OK ? event : nullptr, true};
}

void start(const EventSlot& slot, bool listed = true) {
    check(AudioEventStart(slot.event));
    if (listed && slot.event != nullptr) sound.activeEvents->pushBack(slot.event);
}

void fetchParameter(const EventSlot& slot, const char* name, ParameterSlot& parameter) {
    parameter.parameter = nullptr;
    check(AudioEventGetParameter(slot.event, name, &parameter.parameter));
}

void readRange(ParameterSlot& parameter) {
    check(AudioEventParameterGetRange(parameter.parameter, &parameter.minimum, &parameter.maximum));
}

void setParameter(const ParameterSlot& parameter, float value) {
    check(AudioEventParameterSetValue(parameter.parameter, value));
}

void applyReverb(const char* preset) {
    AudioReverbProperties properties{};
    int index = 0;
    check(AudioEventSystemGetReverbPreset(sound.eventSystem, preset, &properties, &index));
    check(AudioEventSystemSetReverbProperties(sound.eventSystem, &properties));
}

void stopEvent(EventSlot& slot) {
    if (!slot.taken) return;
    if (slot.event != nullptr) {
        check(AudioEventStop(slot.event, false));
        sound.activeEvents->remove(slot.event);
    }
    slot = {};
}

void createSound(const char* path, SoundVolume volume, SoundSlot& slot) {
    AudioSound* created = nullptr;
    check(AudioSystemCreateSound(sound.lowLevelSystem, path, 0, &created));
    slot = {sound.lastResult == AUDIO_OK ? created : nullptr, true};
    check(AudioSoundSetMode(slot.sound, AUDIO_LOOP_OFF));
    check(AudioSoundSetCategory(slot.sound, sound.categories[static_cast<int>(volume)]));
}

void playSound(const SoundSlot& slot) {
    AudioChannel* channel = nullptr;  // plain sounds play to their end untouched
    check(AudioSystemPlaySound(sound.lowLevelSystem, slot.sound, false, &channel));
}

void playFile(const char* path, SoundVolume volume, SoundSlot& slot) {
    createSound(path, volume, slot);
    playSound(slot);
}

void release(SoundSlot& slot) {
    if (!slot.taken) return;
    if (slot.sound != nullptr) check(AudioSoundRelease(slot.sound));
    slot = {};
}

// A sound fetched anew on every call: the previous one plays on but leaves
// the list, which would otherwise grow with every footstep.
void refetchListed(AudioEventGroup* group, const char* name, EventSlot& slot) {
    if (slot.event != nullptr) sound.activeEvents->remove(slot.event);
    fetch(group, name, slot);
}

// Starts an event with one parameter set first, to a value chosen from the
// parameter's range.
template <typename ChooseValue>
void startWithParameter(AudioEventGroup* group, const char* name, EventSlot& slot, const char* parameterName,
                        ParameterSlot& parameter, ChooseValue chooseValue) {
    fetch(group, name, slot);
    fetchParameter(slot, parameterName, parameter);
    readRange(parameter);
    setParameter(parameter, chooseValue(parameter));
    start(slot);
}

float minimumOf(const ParameterSlot& parameter) {
    return parameter.minimum;
}

CueFunction cueOf(int32_t state);

void selectMusic(int32_t state) {
    sound.musicState = state;
    sound.musicCue = cueOf(state);
}

void calmCue(float) {
    if (sound.calm.taken) return;
    fetch(sound.musicGroup, "mus_level_calm", sound.calm);
    fetchParameter(sound.calm, "Intensity", sound.calmIntensity);
    setParameter(sound.calmIntensity, 0.5f);
    start(sound.calm);
}

void spookyCue(float dt) {
    if (!sound.spooky.taken) {
        startWithParameter(sound.musicGroup, "mus_level_spooky1", sound.spooky, "Intensity",
                           sound.spookyIntensity, minimumOf);
        sound.spookyLevel = 0.0f;
    } else if (sound.followsCharacter && sound.candleLife < 120.0f) {
        sound.spookyLevel = std::min(sound.spookyLevel + SPOOKY_RISE_PER_SECOND * dt, SPOOKY_HIGHEST);
        sound.lastResult = AudioEventParameterSetValue(sound.spookyIntensity.parameter, sound.spookyLevel);
        if (sound.candleLife < 60.0f && !sound.spookyDeep.taken) {
            fetch(sound.musicGroup, "mus_level_spooky4", sound.spookyDeep);
            start(sound.spookyDeep);
        }
    }
    stopEvent(sound.danger);
    stopEvent(sound.calm);
    stopEvent(sound.introMusic);
}

// Timers of the cues run out in the frame their time is up.
void gaspCue(float dt) {
    if (!sound.gasp.taken) {
        fetch(sound.oneShotGroup, "sfx_gasp", sound.gasp);
        start(sound.gasp);
        sound.cueTimer = 0.75f;
        return;
    }
    if (sound.gasp.event == nullptr) return;
    sound.cueTimer -= dt;
    if (sound.cueTimer >= 0.0f) return;
    // Cut once; the slot stays taken so the gasp is not heard again.
    check(AudioEventStop(sound.gasp.event, true));
    sound.activeEvents->remove(sound.gasp.event);
    sound.gasp.event = nullptr;
}

void dangerCue(float dt) {
    if (!sound.danger.taken) {
        startWithParameter(sound.musicGroup, "mus_danger", sound.danger, "intensity", sound.dangerIntensity,
                           minimumOf);
        sound.dangerStep = DANGER_STEP_PER_SECOND;
        return;
    }
    if (!sound.followsCharacter) return;
    // The music follows the dying candle: up by a step, down by two.
    float goal = 1.0f - sound.candleLife / 10.0f;
    float current = 0.0f;
    check(AudioEventParameterGetValue(sound.dangerIntensity.parameter, &current));
    const float step = sound.dangerStep * dt;
    float next = std::fabs(current - goal) < 0.00001f ? goal
                 : goal > current                     ? current + step
                                                      : current - 2.0f * step;
    setParameter(sound.dangerIntensity, next);
}

void deathCue(float dt) {
    if (!sound.death.taken) {
        fetch(sound.musicGroup, "mus_death", sound.death);
        start(sound.death);
        sound.cueTimer = DEATH_MUSIC_SECONDS;
        return;
    }
    sound.cueTimer -= dt;
    if (sound.cueTimer < 0.0f) SoundManagerSetState(MS_SPOOKY);
}

void menuCue(float) {
    if (!sound.menu.taken) {
        fetch(sound.musicGroup, "mus_menu", sound.menu);
        start(sound.menu);
    }
    stopEvent(sound.calm);
    stopEvent(sound.introMusic);
    release(sound.credits);
}

// A door opening, then the given state once it has sounded for two seconds.
void doorThen(float dt, int32_t next) {
    if (!sound.door.taken) {
        fetch(sound.oneShotGroup, "sfx_door_action", sound.door);
        fetchParameter(sound.door, "Open Vs. Close", sound.doorOpenClose);
        readRange(sound.doorOpenClose);
        setParameter(sound.doorOpenClose, sound.doorOpenClose.maximum);
        applyReverb("room_harsh");
        start(sound.door);
        sound.cueTimer = 2.0f;
        return;
    }
    if (sound.cueTimer > 0.0f) sound.cueTimer -= dt;
    if (sound.cueTimer <= 0.0f) {
        stopEvent(sound.door);
        SoundManagerSetState(next);
    }
}

void doorCue(float dt) {
    doorThen(dt, MS_SPOOKY);
    release(sound.doorBreak);
}

void doorThenShotsCue(float dt) {
    doorThen(dt, MS_SHOTS);
}

void stopLevelMusic() {
    stopEvent(sound.spooky);
    stopEvent(sound.danger);
    stopEvent(sound.spookyDeep);
}

void startLine(int line) {
    fetch(sound.dialogueGroup, DIALOGUE_EVENTS[line], sound.dialogue[line]);
    start(sound.dialogue[line]);
}

// A journal line: the level music stops while it is read. How long it is
// read the world keeps, and stops it.
void dialogueLine(int line) {
    if (!sound.dialogue[line].taken) startLine(line);
    stopLevelMusic();
}

// The first line turns the room strange in its last seconds and clears away
// what the intro left playing.
void firstDialogueCue(float) {
    dialogueLine(0);
    if (sound.lineSecondsLeft > 0.0f && sound.lineSecondsLeft < 6.5f) applyReverb("Insane");
    release(sound.gunshot);
    release(sound.scream);
    release(sound.doorBreak);
    stopEvent(sound.introMusic);
}

template <int Line>
void dialogueCue(float) {
    dialogueLine(Line);
}

// The final line plays once a game.
void finalDialogueCue(float) {
    constexpr int finalLine = DIALOGUE_LINES - 1;
    if (!sound.dialogue[finalLine].taken && !progress->finalDialoguePlayed) {
        startLine(finalLine);
        progress->finalDialoguePlayed = true;
        stopEvent(sound.door);
    }
    stopLevelMusic();
}

// The scream at once, the shot a second later, the intro music once less
// than 4.5 s of the ten after the shot remain.
void shotsCue(float dt) {
    if (sound.cueTimer > 0.0f) sound.cueTimer -= dt;
    if (sound.shotTimer > 0.0f) sound.shotTimer -= dt;
    if (!sound.scream.taken) {
        stopEvent(sound.menu);
        playFile("Assets/Sounds/Scream.wav", SoundVolume::Effects, sound.scream);
    }
    if (!sound.gunshot.taken) {
        createSound("Assets/Sounds/Gun.mp3", SoundVolume::Effects, sound.gunshot);
        sound.cueTimer = 1.0f;
        sound.shotTimer = 0.0f;
    } else if (sound.cueTimer <= 0.0f && sound.shotTimer <= 0.0f) {
        playSound(sound.gunshot);
        sound.shotTimer = 10.0f;
    } else if (sound.shotTimer > 2.0f && sound.shotTimer < 4.5f) {
        release(sound.gunshot);
        release(sound.scream);
        SoundManagerSetState(MS_INTRO);
    }
}

void introCue(float) {
    if (sound.introMusic.taken || progress->introMusicPlayed) return;
    SoundManagerForgetAll();
    fetch(sound.musicGroup, "mus_intro", sound.introMusic);
    start(sound.introMusic);
    progress->introMusicPlayed = true;
}

void creditsCue(float) {
    if (!sound.credits.taken) playFile("Assets/Sounds/credits.wav", SoundVolume::Music, sound.credits);
    stopEvent(sound.calm);
}

void startNatureEvent(const char* name, EventSlot& slot, ParameterSlot& intensity) {
    startWithParameter(sound.natureGroup, name, slot, "intensity", intensity,
                       [](const ParameterSlot&) { return 0.7f; });
}

// Rain all along, and a peal of thunder every 20 to 29 seconds.
void stormCue(float dt) {
    if (!sound.rain.taken) {
        startNatureEvent("sfx_rain", sound.rain, sound.rainIntensity);
        sound.thunderTimer = 0.0f;
    }
    if (!sound.thunder.taken) {
        startNatureEvent("sfx_thunder", sound.thunder, sound.thunderIntensity);
        sound.thunderTimer = static_cast<float>(20 + RandomEffect() % 10);
        return;
    }
    if (sound.thunderTimer > 0.0f) sound.thunderTimer -= dt;
    if (sound.thunderTimer <= 0.0f) stopEvent(sound.thunder);
}

void quietCue(float) {
    stopEvent(sound.rain);
    stopEvent(sound.thunder);
}

CueFunction cueOf(int32_t state) {
    static constexpr CueFunction cues[MUSIC_STATE_COUNT] = {
        calmCue,        spookyCue,        gaspCue,          dangerCue,      deathCue,
        menuCue,        doorCue,          firstDialogueCue, dialogueCue<1>, dialogueCue<2>,
        dialogueCue<3>, dialogueCue<4>,   dialogueCue<5>,   dialogueCue<6>, finalDialogueCue,
        shotsCue,       doorThenShotsCue, introCue,         stormCue,       creditsCue,
    };
    return cues[state];
}

void fetchGroups() {
    const std::pair<const char*, AudioEventGroup**> groups[] = {
        {"mire-fell/SFX/sfx_static", &sound.staticGroup},
        {"mire-fell/SFX/sfx_nature", &sound.natureGroup},
        {"mire-fell/SFX/sfx_oneshots", &sound.oneShotGroup},
        {"mire-fell/SFX/sfx_ui", &sound.interfaceGroup},
        {"mire-fell/Music", &sound.musicGroup},
        {"mire-fell/dialogue", &sound.dialogueGroup},
    };
    for (const auto& [path, group] : groups) check(AudioEventSystemGetGroup(sound.eventSystem, path, group));
}

// The categories the volumes steer, set to the player's shares.
void fetchCategories() {
    for (int i = 0; i < VOLUME_COUNT; ++i) {
        check(AudioEventSystemGetCategory(sound.eventSystem, VOLUME_CATEGORIES[i], &sound.categories[i]));
        if (sound.categories[i] != nullptr)
            check(AudioEventCategorySetVolume(sound.categories[i], volumes[i]));
    }
}

}  // namespace

void SoundManagerInit() {
    sound = SoundState{};
    sound.activeEvents = new_List<AudioEvent>();
    selectMusic(MS_CALM);
    sound.ambienceCue = quietCue;
    check(AudioEventSystemCreate(&sound.eventSystem));
    checkStartUp(AudioEventSystemInit(sound.eventSystem, 100));
    check(AudioEventSystemSetMediaPath(sound.eventSystem, "Assets\\Sounds\\"));
    check(AudioEventSystemLoad(sound.eventSystem, "mire-fell.fev"));
    fetchGroups();
    fetchCategories();
    check(AudioSystemCreate(&sound.lowLevelSystem));
    unsigned version = 0;
    check(AudioSystemGetVersion(sound.lowLevelSystem, &version));
    checkStartUp(AudioSystemInit(sound.lowLevelSystem, 100));
    SoundManagerForgetAll();
}

void SoundManagerFollowCharacter(const SoundCharacter* character) {
    sound.followsCharacter = character != nullptr;
    sound.candleLife = character != nullptr ? character->candleLife : 0.0f;
    sound.inTheStorm = character != nullptr && character->inTheStorm;
}

void SoundManagerFollowNarration(float lineSecondsLeft) {
    sound.lineSecondsLeft = lineSecondsLeft;
}

void SoundManagerUpdate(float dt) {
    sound.musicCue(dt);
    sound.ambienceCue(dt);
    // Rain and thunder only ever sound out in the storm.
    if (sound.followsCharacter && !sound.inTheStorm) {
        stopEvent(sound.rain);
        stopEvent(sound.thunder);
    }
    check(AudioSystemUpdate(sound.lowLevelSystem));
    check(AudioEventSystemUpdate(sound.eventSystem));
}

void SoundManagerShutdown() {
    sound.activeEvents.reset();
    check(AudioEventSystemUnload(sound.eventSystem));
    check(AudioEventSystemRelease(sound.eventSystem));
    check(AudioSystemRelease(sound.lowLevelSystem));
    sound.eventSystem = nullptr;
    sound.lowLevelSystem = nullptr;
    for (AudioEventCategory*& category : sound.categories) category = nullptr;
}

void SoundManagerSetVolume(SoundVolume which, float share) {
    const int index = static_cast<int>(which);
    volumes[index] = share >= 0.0f ? std::min(share, 1.0f) : 0.0f;
    if (sound.categories[index] != nullptr)
        check(AudioEventCategorySetVolume(sound.categories[index], share));
}

float SoundManagerVolume(SoundVolume which) {
    return volumes[static_cast<int>(which)];
}

void SoundManagerSetState(int32_t state) {
    if (state == sound.musicState || state < 0 || state >= MUSIC_STATE_COUNT) return;
    // The next door action starts afresh.
    if (state == MS_DOOR) stopEvent(sound.door);
    selectMusic(state);
}

void SoundManagerSetAmbience(int32_t state) {
    if (state == AS_QUIET && sound.ambienceState != AS_QUIET) {
        sound.ambienceState = AS_QUIET;
        stopEvent(sound.rain);
        stopEvent(sound.thunder);
        sound.ambienceCue = quietCue;
    } else if (state == AS_STORM && sound.ambienceState != AS_STORM) {
        sound.ambienceState = AS_STORM;
        sound.ambienceCue = stormCue;
    }
}

int32_t SoundManagerMusicState() {
    return sound.musicState;
}

int32_t SoundManagerAmbienceState() {
    return sound.ambienceState;
}

void SoundManagerCharacterDied() {
    if (sound.musicState == MS_DEATH) return;
    SoundManagerStopAll();
    SoundManagerSetState(MS_DEATH);
}

void SoundManagerStopAll() {
    for (AudioEvent* event : *sound.activeEvents) check(AudioEventStop(event, false));
    SoundManagerForgetAll();
}

void SoundManagerUseProgress(SoundProgress* kept) {
    progress = kept != nullptr ? kept : &ownProgress;
}

void SoundManagerForgetAll() {
    while (sound.activeEvents->popBack() != nullptr) {
    }
    for (EventSlot* slot : {&sound.calm, &sound.spooky, &sound.spookyDeep, &sound.danger, &sound.death,
                            &sound.menu, &sound.gasp, &sound.door, &sound.introMusic, &sound.rain,
                            &sound.thunder, &sound.footstep, &sound.relief, &sound.pickup})
        *slot = {};
    for (EventSlot& slot : sound.dialogue) slot = {};
    for (EventSlot& slot : sound.interfaceSounds) slot = {};
}

void SoundManagerStopDialogue() {
    for (EventSlot& slot : sound.dialogue) stopEvent(slot);
    if (sound.musicState != MS_CALM) selectMusic(MS_CALM);
}

void SoundManagerStopStorm() {
    stopEvent(sound.rain);
    stopEvent(sound.thunder);
    if (sound.ambienceState != AS_QUIET) {
        sound.ambienceState = AS_QUIET;
        sound.ambienceCue = quietCue;
    }
}

void SoundManagerPlayFootstep(int material, int acoustics) {
    refetchListed(sound.staticGroup, "sfx_footsteps", sound.footstep);
    fetchParameter(sound.footstep, "material", sound.footstepMaterial);
    readRange(sound.footstepMaterial);
    setParameter(sound.footstepMaterial, material == 0 ? 0.0f : material == 1 ? 0.5f : 0.9f);
    applyReverb(acoustics == 0   ? "hall_large"
                : acoustics == 1 ? "room_harsh"
                : acoustics == 2 ? "room_avg"
                                 : "Insane");
    start(sound.footstep);
}

void SoundManagerPlayDoorBreak() {
    playFile("Assets/Sounds/DoorBreak.mp3", SoundVolume::Effects, sound.doorBreak);
}

void SoundManagerPlayRelief() {
    refetchListed(sound.oneShotGroup, "sfx_random_relief", sound.relief);
    start(sound.relief);
}

void SoundManagerPlayPickup() {
    fetch(sound.oneShotGroup, "sfx_pickup", sound.pickup);
    start(sound.pickup, false);
}

void SoundManagerPlayInterface(int which) {
    if (which < 0 || which > 3) return;
    fetch(sound.interfaceGroup, INTERFACE_EVENTS[which], sound.interfaceSounds[which]);
    start(sound.interfaceSounds[which], false);
}
