// A fixed lantern: a flame behind glass and a light of set reach and
// strength.
#pragma once

#include "World/Entity.h"

#include <memory>

class FireEmitter;
class LightEntity;

class LanternEntity : public SpriteEntity {
public:
    std::unique_ptr<FireEmitter> fireEmitter;
    LightEntity* light = nullptr;  // an entity of the room, which owns it
    float lightRadius = 0.0f;      // world pixels
    float lightIntensity = 0.0f;

    explicit LanternEntity(Room* owner);
    ~LanternEntity() override;

    void update(float dt) override;
    // Hidden while another screen has the keyboard.
    void draw(float opacity, float dt) override;
};

std::unique_ptr<LanternEntity> new_LanternEntity(Room* room);
