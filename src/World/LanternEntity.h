// A fixed lantern: a flame behind glass and a light of set reach and
// strength.
#pragma once

#include "World/FlameHolderEntity.h"

#include <memory>

class LanternEntity : public FlameHolderEntity {
public:
    float lightRadius = 0.0f;  // world pixels
    float lightIntensity = 0.0f;

    explicit LanternEntity(Room* owner);

    void update(float dt) override;
    // Hidden while another screen has the keyboard.
    void draw(float opacity, float dt) override;
};

std::unique_ptr<LanternEntity> new_LanternEntity(Room* room);
