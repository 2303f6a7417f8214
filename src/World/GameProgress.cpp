#include "World/GameProgress.h"

#include "Content/PlayerFiles.h"
#include "Debug/Debug.h"
#include "World/Narration.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

GameProgress gameProgress;

namespace {

constexpr char FILE_NAME[] = "save.json";
constexpr char ROOMS_FOLDER[] = "Assets/FloorTemplate/FinalRooms/";
constexpr int32_t LARGEST_ID = 1 << 20;
constexpr size_t MOST_CHECKPOINTS = 1024;
constexpr float LONGEST_CANDLE = 10000.0f;
constexpr float LONGEST_TIMER = 60.0f;

struct SaveStore {
    std::string path;
    bool exists = false;
    bool saving = false;
};

SaveStore save;

// JSON has no NaN nor infinity: such a value is saved as 0.
std::string number(float value) {
    if (!std::isfinite(value)) value = 0.0f;
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string flag(bool value) {
    return value ? "true" : "false";
}

template <typename Container>
std::string idList(const Container& ids) {
    std::string text = "[";
    for (int32_t id : ids) {
        if (id == 0) continue;
        text += (text.size() > 1 ? "," : "") + std::to_string(id);
    }
    return text + "]";
}

// Reads the members of one object, remembering the first that is wrong.
class Reader {
public:
    Reader(const json_value* read, std::string* firstProblem) : object(read), problem(firstProblem) {}

    bool ok() const { return problem->empty(); }

    const json_value* member(const char* key, json_type type) {
        const json_value* value = object != nullptr ? JsonObjectFind(object, key) : nullptr;
        if (value != nullptr && value->type == type) return value;
        if (!ok()) return nullptr;
        // A whole number is a number too.
        if (value != nullptr && type == json_double && value->type == json_integer) return value;
        *problem = std::string("\"") + key + "\" is missing or of the wrong kind";
        return nullptr;
    }

    void integer(const char* key, int32_t low, int32_t high, int32_t* target) {
        const json_value* value = member(key, json_integer);
        if (value == nullptr) return;
        if (value->u.integer < low || value->u.integer > high) outOfRange(key);
        else *target = static_cast<int32_t>(value->u.integer);
    }

    void real(const char* key, float low, float high, float* target) {
        const json_value* value = member(key, json_double);
        if (value == nullptr) return;
        const double read =
            value->type == json_integer ? static_cast<double>(value->u.integer) : value->u.dbl;
        if (!(read >= low && read <= high)) outOfRange(key);
        else *target = static_cast<float>(read);
    }

    void boolean(const char* key, bool* target) {
        const json_value* value = member(key, json_boolean);
        if (value != nullptr) *target = value->u.boolean != 0;
    }

    void text(const char* key, std::string* target) {
        const json_value* value = member(key, json_string);
        if (value != nullptr) target->assign(value->u.string.ptr, value->u.string.length);
    }

    // Ids of 1 or more, at most most of them.
    void ids(const char* key, size_t most, std::vector<int32_t>* target) {
        const json_value* value = member(key, json_array);
        if (value == nullptr) return;
        if (value->u.array.length > most) return outOfRange(key);
        for (unsigned i = 0; i < value->u.array.length; ++i) {
            const json_value* id = value->u.array.values[i];
            if (id->type != json_integer || id->u.integer < 1 || id->u.integer > LARGEST_ID)
                return outOfRange(key);
            target->push_back(static_cast<int32_t>(id->u.integer));
        }
    }

private:
    void outOfRange(const char* key) {
        if (ok()) *problem = std::string("\"") + key + "\" is out of range";
    }

    const json_value* object;
    std::string* problem;
};

// A room of the game's own folder that is still there.
bool isRoomMap(const std::string& path) {
    struct stat status {};
    return path.rfind(ROOMS_FOLDER, 0) == 0 && path.find("..") == std::string::npos &&
           path.size() > std::strlen(".json") && path.ends_with(".json") &&
           stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

void readEntry(const json_value* object, PlayState* entry, std::string* problem) {
    Reader reader(object, problem);
    Reader door(reader.member("room", json_object), problem);
    door.text("target", &entry->entryDoor.target);
    door.boolean("isHole", &entry->entryDoor.isHole);
    door.integer("orientation", 0, 3, &entry->entryDoor.orientation);
    door.integer("id", 0, LARGEST_ID, &entry->entryDoor.id);
    door.integer("keyId", 0, LARGEST_ID, &entry->entryDoor.keyId);
    door.boolean("locked", &entry->entryDoor.locked);
    reader.real("candleLife", -LONGEST_CANDLE, LONGEST_CANDLE, &entry->carriedCandleLife);
    reader.real("rotation", -LONGEST_CANDLE, LONGEST_CANDLE, &entry->carriedRotation);
    if (reader.ok() && !isRoomMap(entry->entryDoor.target))
        *problem = "names the room \"" + entry->entryDoor.target + "\", which is no map of the game";
}

void readProgress(const json_value* object, GameProgress* progress, std::string* problem) {
    Reader reader(object, problem);
    std::vector<int32_t> keys;
    reader.ids("keys", KEY_SLOTS, &keys);
    std::copy(keys.begin(), keys.end(), progress->collectedKeyIds.begin());
    reader.boolean("journalTaken", &progress->journalTaken);
    reader.integer("lastCheckpointId", 0, LARGEST_ID, &progress->lastCheckpointId);
    reader.text("lastCheckpointRoom", &progress->lastCheckpointRoom);
    reader.ids("reachedCheckpoints", MOST_CHECKPOINTS, &progress->reachedCheckpoints);
    Reader scene(reader.member("finalScene", json_object), problem);
    scene.real("walkTimer", -LONGEST_TIMER, LONGEST_TIMER, &progress->finalScene.walkTimer);
    scene.boolean("reading", &progress->finalScene.reading);
    scene.boolean("leftZone", &progress->finalScene.leftZone);
    scene.boolean("pageShown", &progress->finalScene.pageShown);
    reader.boolean("introMusicPlayed", &progress->sound.introMusicPlayed);
    reader.boolean("finalDialoguePlayed", &progress->sound.finalDialoguePlayed);
}

void readSave() {
    PlayerFileRead file = PlayerFilesRead(save.path);
    if (file.status == PlayerFileStatus::Missing) return;
    std::string problem = file.problem;
    if (file.status == PlayerFileStatus::Read) {
        PlayState entry;
        GameProgress progress;
        gameProgressFromJson(file.document.get(), &entry, &progress, &problem);
    }
    if (problem.empty()) {
        save.exists = true;
        return;
    }
    WARNING("the saved game %s %s; it cannot be continued, and is kept as %s.bad", save.path.c_str(),
            problem.c_str(), save.path.c_str());
    PlayerFilesKeepBroken(save.path);
}

}  // namespace

bool GameProgress::hasReached(int32_t checkpointId) const {
    return std::find(reachedCheckpoints.begin(), reachedCheckpoints.end(), checkpointId) !=
           reachedCheckpoints.end();
}

void GameProgressReset() {
    gameProgress = GameProgress{};
    NarrationReset();
}

std::string gameProgressJson(const GameProgress& progress) {
    const FinalScene& scene = progress.finalScene;
    return "{\"keys\":" + idList(progress.collectedKeyIds) +
           ",\"journalTaken\":" + flag(progress.journalTaken) +
           ",\"lastCheckpointId\":" + std::to_string(progress.lastCheckpointId) +
           ",\"lastCheckpointRoom\":" + JsonQuote(progress.lastCheckpointRoom) +
           ",\"reachedCheckpoints\":" + idList(progress.reachedCheckpoints) +
           ",\"finalScene\":{\"walkTimer\":" + number(scene.walkTimer) +
           ",\"reading\":" + flag(scene.reading) + ",\"leftZone\":" + flag(scene.leftZone) +
           ",\"pageShown\":" + flag(scene.pageShown) +
           "},\"introMusicPlayed\":" + flag(progress.sound.introMusicPlayed) +
           ",\"finalDialoguePlayed\":" + flag(progress.sound.finalDialoguePlayed) + "}";
}

std::string gameProgressToJson(const PlayState& entry, const GameProgress& progress) {
    const EntryDoor& door = entry.entryDoor;
    return "{\n  \"room\": {\"target\": " + JsonQuote(door.target) + ", \"isHole\": " + flag(door.isHole) +
           ", \"orientation\": " + std::to_string(door.orientation) + ", \"id\": " + std::to_string(door.id) +
           ", \"keyId\": " + std::to_string(door.keyId) + ", \"locked\": " + flag(door.locked) +
           "},\n  \"candleLife\": " + number(entry.carriedCandleLife) +
           ",\n  \"rotation\": " + number(entry.carriedRotation) +
           ",\n  \"progress\": " + gameProgressJson(progress) + "\n}\n";
}

bool gameProgressFromJson(const json_value* object, PlayState* entry, GameProgress* progress,
                          std::string* problem) {
    problem->clear();
    PlayState readEntryState;
    GameProgress readProgressState;
    readEntry(object, &readEntryState, problem);
    Reader reader(object, problem);
    readProgress(reader.member("progress", json_object), &readProgressState, problem);
    if (!problem->empty()) return false;
    *entry = readEntryState;
    *progress = readProgressState;
    return true;
}

void GameProgressInitSave() {
    save = SaveStore{};
    SoundManagerUseProgress(&gameProgress.sound);
    const std::string directory = PlayerFilesDataDirectory();
    if (directory.empty()) {
        WARNING(
            "no directory for the saved game: neither XDG_DATA_HOME nor HOME is an absolute path; "
            "the game will not be saved");
        return;
    }
    save.path = directory + "/" + FILE_NAME;
    readSave();
}

bool GameProgressHasSave() {
    return save.exists;
}

bool GameProgressContinue(PlayState* entry) {
    if (!save.exists) return false;
    PlayerFileRead file = PlayerFilesRead(save.path);
    std::string problem = file.problem;
    PlayState read;
    GameProgress progress;
    if (file.status != PlayerFileStatus::Read ||
        !gameProgressFromJson(file.document.get(), &read, &progress, &problem)) {
        WARNING("the saved game %s can no longer be read (%s)", save.path.c_str(),
                problem.empty() ? "it is gone" : problem.c_str());
        save.exists = false;
        return false;
    }
    GameProgressReset();
    gameProgress = progress;
    *entry = read;
    return true;
}

void GameProgressStartSaving() {
    save.saving = true;
}

void GameProgressSave(const PlayState& entry) {
    if (save.path.empty() || !save.saving) return;
    std::string problem;
    if (PlayerFilesWrite(save.path, gameProgressToJson(entry, gameProgress), &problem)) save.exists = true;
    else WARNING("the game cannot be saved: %s; playing on without saving", problem.c_str());
}

void GameProgressForgetSave() {
    save.exists = false;
    if (save.path.empty()) return;
    std::string problem;
    if (!PlayerFilesRemove(save.path, &problem))
        WARNING("the finished game's save stays: %s", problem.c_str());
}

const std::string& GameProgressSavePath() {
    return save.path;
}
