#include "World/CheckpointEntity.h"

#include "Audio/SoundManager.h"
#include "Debug/Debug.h"
#include "World/CharacterEntity.h"
#include "World/GameProgress.h"
#include "World/Room.h"
#include "World/RoomOwner.h"

CheckpointEntity::CheckpointEntity(Room* owner) : Entity(ET_CHECKPOINT, owner) {}

std::unique_ptr<CheckpointEntity> new_CheckpointEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(CheckpointEntity, "new_CheckpointEntity", room);
}

// A checkpoint reached before, in this room or on an earlier visit, stays
// quiet.
void CheckpointEntity::update(float) {
    if (room->owner == nullptr || !touchesCharacter(room, x, y, width, height)) return;
    if (!gameProgress.hasReached(checkpointId)) fire();
}

// The game is saved with the candle as it burns now.
void CheckpointEntity::fire() {
    gameProgress.reachedCheckpoints.push_back(checkpointId);
    if (checkpointId > gameProgress.lastCheckpointId) {
        gameProgress.lastCheckpointId = checkpointId;
        gameProgress.lastCheckpointRoom = roomPath;
    }
    PlayState saved = room->owner->roomState();
    saved.carriedCandleLife = room->character->candleLife - 10.0f;
    saved.carriedRotation = room->character->rotation;
    GameProgressSave(saved);
    room->removeEntity(this);
    if (!journal.empty()) {
        room->owner->openJournalPage(journal.c_str());
        room->character->readingJournal = true;
    }
    SoundManagerPlayRelief();
}
