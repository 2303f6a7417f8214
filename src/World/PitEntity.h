// A hole in the floor, invisible until the character's light reaches it.
// Once shown it stays shown; when it has opened far enough it drags in a
// character who steps onto it, its middle over the round hole. It opens
// twice as fast in the light.
#pragma once

#include "World/Entity.h"

#include <memory>

// The frame from which the pit is open and pulls.
inline constexpr uint32_t PIT_OPEN_FRAME = 6;

class PitEntity : public SpriteEntity {
public:
    bool revealed = false;
    // The centred box that catches the character: the round hole the player
    // sees is the ellipse inside it.
    float trapX = 0.0f;
    float trapY = 0.0f;
    float trapWidth = 0.0f;
    float trapHeight = 0.0f;

    explicit PitEntity(Room* owner);
    ~PitEntity() override;

    void update(float dt) override;
    // Unrevealed pits are not drawn.
    void draw(float opacity, float dt) override;

private:
    bool isInCharactersLight() const;
    bool isUnderCharacter() const;
    void pullCharacter(float dt) const;
};

std::unique_ptr<PitEntity> new_PitEntity(Room* room);
