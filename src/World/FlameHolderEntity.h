// A sprite that carries a flame and the light the flame casts: the candle
// holder and the lantern. The light is an entity of the room, which owns it.
#pragma once

#include "World/Entity.h"

#include <memory>

class FireEmitter;
class LightEntity;

class FlameHolderEntity : public SpriteEntity {
public:
    std::unique_ptr<FireEmitter> fireEmitter;
    LightEntity* light = nullptr;

    ~FlameHolderEntity() override;

protected:
    // Furniture with a steady flame and a light of the flame's first reach,
    // showing the animation at animationPath.
    FlameHolderEntity(int32_t entityKind, Room* owner, const char* animationPath);

    // The flame's particles for this frame.
    void burn(float dt);
    // Nothing while another screen has the keyboard; the flame drawn over
    // the sprite, or under it where the sprite is glass.
    void drawWithFlame(float opacity, float dt, bool flameOnTop);
};
