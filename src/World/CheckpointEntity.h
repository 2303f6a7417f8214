// An invisible trigger area. The first time the character walks into one,
// in whatever order the house is played, the journal page it names opens
// with its narration and the checkpoint is recorded in the play state as
// reached (a death then re-enters the room). The highest id reached is also
// recorded with its room: the player's progress never goes backwards.
#pragma once

#include "World/Entity.h"

#include <cstdint>
#include <memory>
#include <string>

class CheckpointEntity : public Entity {
public:
    int32_t checkpointId = 0;
    std::string roomPath;  // the map recorded as the last checkpoint's room
    std::string journal;   // the page's texture path; empty for none

    explicit CheckpointEntity(Room* owner);

    void update(float dt) override;

private:
    void fire();
};

std::unique_ptr<CheckpointEntity> new_CheckpointEntity(Room* room);
