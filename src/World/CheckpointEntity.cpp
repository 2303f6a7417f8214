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

// A checkpoint whose id is not above the last one reached stays armed.
void CheckpointEntity::update(float) {
    if (room->owner == nullptr || !touchesCharacter(room, x, y, width, height)) return;
    if (room->owner->roomState().lastCheckpointId < checkpointId) fire();
}

void CheckpointEntity::fire() {
    PlayState& state = room->owner->roomState();
    state.lastCheckpointId = checkpointId;
    state.lastCheckpointRoom = roomPath;
    room->removeEntity(this);
    if (!journal.empty()) {
        room->owner->openJournalPage(journal.c_str());
        room->character->readingJournal = true;
    }
    SoundManagerPlayRelief();
}
