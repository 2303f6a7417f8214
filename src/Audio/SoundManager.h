// All of the game's audio. Gameplay never names a sound: it selects a music
// state and an ambience state, whose cue functions run every frame, or calls
// one of the direct cues below.
#pragma once

#include <cstdint>

enum MusicState : int32_t {
    MS_CALM = 0,
    MS_SPOOKY = 1,
    MS_GASP = 2,
    MS_DANGER = 3,
    MS_DEATH = 4,
    MS_MENU = 5,
    MS_DOOR = 6,
    MS_DIALOGUE_1 = 7,  // journal page N plays MS_DIALOGUE_1 + N - 1
    MS_DIALOGUE_2 = 8,
    MS_DIALOGUE_3 = 9,
    MS_DIALOGUE_4 = 10,
    MS_DIALOGUE_5 = 11,
    MS_DIALOGUE_6 = 12,
    MS_DIALOGUE_7 = 13,
    MS_DIALOGUE_8 = 14,
    MS_SHOTS = 15,
    MS_DOOR_THEN_SHOTS = 16,
    MS_INTRO = 17,
    MS_STORM = 18,
    MS_CREDITS = 19,
};

enum AmbienceState : int32_t {
    AS_STORM = 0,
    AS_QUIET = 1,
};

// The character being played, as the music follows it: its candle, and
// whether its room is out in the storm (rain and thunder sound nowhere else).
struct SoundCharacter {
    float candleLife = 0.0f;
    bool inTheStorm = false;
};

// The volumes a player sets: master scales the other three.
enum class SoundVolume { Master, Music, Effects, Narration };

void SoundManagerInit();
// Told before each update; null while no character is played.
void SoundManagerFollowCharacter(const SoundCharacter* character);
// Told before each update: the seconds left of the journal line being read,
// 0 when none is (the first line turns the room strange near its end).
void SoundManagerFollowNarration(float lineSecondsLeft);
// Once a frame after the screens have drawn, while the window is active.
void SoundManagerUpdate(float dt);
void SoundManagerShutdown();

// share: 0 to 1 (clamped, NaN as 0), heard at once on what plays. Kept from
// start-up to start-up: a share set before SoundManagerInit applies there.
void SoundManagerSetVolume(SoundVolume which, float share);
float SoundManagerVolume(SoundVolume which);

// Selecting the current state again changes nothing.
void SoundManagerSetState(int32_t state);
void SoundManagerSetAmbience(int32_t state);
int32_t SoundManagerMusicState();
int32_t SoundManagerAmbienceState();

// What the music keeps for a whole game: the intro music and the last
// journal line play once a game. The game's progress owns it and hands it
// over; until then the sound manager keeps its own.
struct SoundProgress {
    bool introMusicPlayed = false;
    bool finalDialoguePlayed = false;

    bool operator==(const SoundProgress&) const = default;
};
void SoundManagerUseProgress(SoundProgress* progress);

// The character died: the death music, with everything else stopped, unless
// it already plays.
void SoundManagerCharacterDied();
void SoundManagerStopAll();
// Forgets every playing event without stopping it.
void SoundManagerForgetAll();
// Stops the journal lines and returns to the calm level music.
void SoundManagerStopDialogue();
// Stops rain and thunder and selects the quiet ambience.
void SoundManagerStopStorm();

// material: 0 wood, 1 rug, other stone; acoustics: 0 large hall, 1 harsh
// room, 2 average room, other the disturbed one.
void SoundManagerPlayFootstep(int material, int acoustics);
void SoundManagerPlayDoorBreak();
void SoundManagerPlayRelief();
void SoundManagerPlayPickup();
// 0 move, 1 yes, 2 no, 3 start.
void SoundManagerPlayInterface(int which);
