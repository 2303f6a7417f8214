#include "World/CheckpointEntity.h"

#include "Audio/SoundManager.h"
#include "Debug/Debug.h"
#include "World/CharacterEntity.h"
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
    if (!room->owner->roomState().hasReached(checkpointId)) fire();
}

void CheckpointEntity::fire() {
    PlayState& state = room->owner->roomState();
    state.reachedCheckpoints.push_back(checkpointId);
    if (checkpointId > state.lastCheckpointId) {
        state.lastCheckpointId = checkpointId;
        state.lastCheckpointRoom = roomPath;
    }
    room->removeEntity(this);
    if (!journal.empty()) {
        room->owner->openJournalPage(journal.c_str());
        room->character->readingJournal = true;
    }
    SoundManagerPlayRelief();
}
