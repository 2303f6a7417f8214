// An invisible trigger area. The first time the character walks into one
// whose id is above every checkpoint reached so far, its id and room are
// recorded in the play state (a death then re-enters that room), and the
// journal page it names, if any, opens with its narration.
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
