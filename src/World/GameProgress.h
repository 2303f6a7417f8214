// What a game has achieved so far, whichever room is played: the keys, the
// journal, the checkpoints, where the final scene stands and the music that
// plays once a game. A new game resets it; the save keeps it with the way
// into the room being played, so that "Continue" rebuilds the game where the
// player left it.
#pragma once

#include "Audio/SoundManager.h"
#include "Content/Json.h"
#include "World/PlayState.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t KEY_SLOTS = 21;

// The final scene spans rooms and play screens.
struct FinalScene {
    float walkTimer = 0.0f;
    bool reading = false;  // the last page's line has begun
    bool leftZone = false;
    bool pageShown = false;

    bool operator==(const FinalScene&) const = default;
};

struct GameProgress {
    // Ids of the keys picked up; 0 marks a free slot. Key ids are 1 or more.
    std::array<int32_t, KEY_SLOTS> collectedKeyIds{};
    bool journalTaken = false;
    int32_t lastCheckpointId = 0;    // highest checkpoint reached, 0 for none
    std::string lastCheckpointRoom;  // the highest's room; empty for none
    // Every checkpoint reached, in the order the player reached them: each
    // fires once, whatever order the house was played in.
    std::vector<int32_t> reachedCheckpoints;
    FinalScene finalScene;
    SoundProgress sound;

    bool hasReached(int32_t checkpointId) const;
    bool operator==(const GameProgress&) const = default;
};

// Global because a game's progress outlives every room and screen that
// shows it.
extern GameProgress gameProgress;

// A new game: nothing picked up or reached, the final scene and the once-a-
// game music ready again; the line being read stops counting.
void GameProgressReset();

// The progress as one line of JSON: what the state log shows.
std::string gameProgressJson(const GameProgress& progress);
// The save's text: the room's way in and the progress; and back. A save of
// the wrong shape, or one naming a room that is not a map of the game,
// answers false with why.
std::string gameProgressToJson(const PlayState& entry, const GameProgress& progress);
bool gameProgressFromJson(const json_value* object, PlayState* entry, GameProgress* progress,
                          std::string* problem);

// The save in $XDG_DATA_HOME/halcyra/save.json (~/.local/share/halcyra).
// Read at start: a broken one is kept as save.json.bad, said once, and not
// offered.
void GameProgressInitSave();
bool GameProgressHasSave();
// A game begun from the main menu is saved from then on; a room played
// straight from the command line never is.
void GameProgressStartSaving();
// The saved game: the progress restored, the way into its room in entry.
// False when there is none.
bool GameProgressContinue(PlayState* entry);
// Saves the game as it stands, entering its room the way entry says.
void GameProgressSave(const PlayState& entry);
// The game was finished: nothing is left to continue.
void GameProgressForgetSave();
const std::string& GameProgressSavePath();
