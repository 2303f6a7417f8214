#include "World/Entity.h"

#include "Engine/Kestrel.h"
#include "Game/Game.h"
#include "World/Camera.h"
#include "World/Room.h"

#include <cmath>
#include <cstdlib>

namespace {

// Half away from zero, truncated: whole pixels either way.
float roundAway(float value) {
    return static_cast<float>(static_cast<int>(value > 0 ? value + 0.5f : value - 0.5f));
}

Vector2 cameraPosition(const Room* room) {
    return room != nullptr && room->camera != nullptr ? room->camera->viewPosition : Vector2{0.0f, 0.0f};
}

// How far a must move along each axis to leave b, or (0, 0) when the boxes
// do not overlap (touching counts as apart).
Vector2 penetration(float ax, float ay, float aw, float ah, float bx, float by, float bw, float bh) {
    float dx = (ax + aw / 2) - (bx + bw / 2);
    float dy = (ay + ah / 2) - (by + bh / 2);
    float hx = (aw + bw) / 2;
    float hy = (ah + bh) / 2;
    bool apartX = std::fabs(dx) > hx || std::fabs(std::fabs(dx) - hx) < 0.0001f;
    bool apartY = std::fabs(dy) > hy || std::fabs(std::fabs(dy) - hy) < 0.0001f;
    if (apartX || apartY) return {0.0f, 0.0f};
    return {(dx > 0 ? hx : -hx) - dx, (dy > 0 ? hy : -hy) - dy};
}

bool isNoticeable(float push) {
    return push >= 0.001f || push <= -0.0001f;
}

}  // namespace

Entity::~Entity() {
    std::free(name);
}

void Entity::debugDraw(float) {
    drawBox(1.0f, 1.0f);
}

void Entity::drawBox(float scaleX, float scaleY) const {
    Vector2 camera = cameraPosition(room);
    Matrix3 translation, size, boxTransform;
    Matrix3Translate(&translation, (x - camera.x) * screenScale.x, (y - camera.y) * screenScale.y);
    Matrix3Scale(&size, width * scaleX * screenScale.x, height * scaleY * screenScale.y);
    Matrix3Concat(&boxTransform, &translation, &size);
    KEGfxSetRenderMode(1);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, 0.25f);
    KEGfxSetTransform(&boxTransform);
    KEGfxMeshDraw(debugRectMesh, 3);
}

void SpriteEntity::update(float dt) {
    x += velocity.x * dt;
    y += velocity.y * dt;
    Vector2 camera = cameraPosition(room);
    Vector2 s = screenScale;
    Vector2 offset{scale.x * pivot.x, scale.y * pivot.y};
    Matrix3 turn, size, translation;
    Matrix3Rotate(&turn, rotation);
    Matrix3Scale(&size, scale.x * s.x, scale.y * s.y);
    // Turning about the pivot: back from the pivot, turn, then out to it.
    float backX, backY;
    Matrix3TransformPoint(&turn, -offset.x, -offset.y, &backX, &backY);
    Matrix3Translate(&translation, (backX + x + offset.x - camera.x + drawOffset.x) * s.x,
                     (backY + y + offset.y - camera.y + drawOffset.y) * s.y);
    Matrix3Concat(&transform, &turn, &size);
    Matrix3Concat(&transform, &translation, &transform);
    if (animation != nullptr) animation->update(dt);
}

void SpriteEntity::draw(float opacity, float) {
    if (animation == nullptr) return;
    Color faded = colour;
    faded.opacity *= opacity;
    animation->draw(transform, faded);
}

void SpriteEntity::debugDraw(float) {
    drawBox(scale.x, scale.y);
}

void SpriteEntity::pushOut(const SpriteEntity* other) {
    Vector2 push = penetration(x, y, width * scale.x, height * scale.y, other->x, other->y,
                               other->width * other->scale.x, other->height * other->scale.y);
    if (!isNoticeable(push.x) && !isNoticeable(push.y)) return;
    // One axis a call: the one that needs the smaller move.
    if (std::fabs(push.x) > std::fabs(push.y)) y += roundAway(push.y);
    else x += roundAway(push.x);
}
