#include "World/Entity.h"

#include "Content/ContentManager.h"
#include "Content/Map.h"
#include "Debug/Debug.h"
#include "Engine/Kestrel.h"
#include "World/Camera.h"
#include "World/CharacterEntity.h"
#include "World/Room.h"

#include <algorithm>
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

// The cell a position falls in, truncated toward zero. Positions far off
// the map stop OFF_MAP cells beyond it, more than any margin reaches back,
// so a stray box never walks a long way past the map.
int32_t cellOf(float position, int32_t cellSize, int32_t cellCount) {
    constexpr float OFF_MAP = 16.0f;
    const float cell = std::clamp(position / static_cast<float>(cellSize), -OFF_MAP,
                                  static_cast<float>(cellCount) + OFF_MAP);
    return std::isnan(cell) ? -static_cast<int32_t>(OFF_MAP) : static_cast<int32_t>(cell);
}

bool isNoticeable(float push) {
    return push >= 0.001f || push <= -0.0001f;
}

// Walking straight into a box whose corner it only grazes, an entity slides
// across the way it walks, out past that corner, as far a frame as the box
// held it back: players expect to slip round a corner, not to stick on it.
// push is how the box pushes it back along its walk, overlap the way out
// across it.
float cornerSlide(float push, float speedAlong, float overlap, float speedAcross, float sizeAcross) {
    constexpr float GRAZE_SHARE = 1.0f / 3.0f;
    const bool walkingInto = speedAlong * push < 0.0f;
    if (!walkingInto || speedAcross != 0.0f || std::fabs(overlap) > sizeAcross * GRAZE_SHARE) return 0.0f;
    return std::copysign(std::min(std::fabs(overlap), std::fabs(push)), overlap);
}

}  // namespace

void Entity::debugDraw(float) {
    drawBox(1.0f, 1.0f);
}

void Entity::drawBox(float scaleX, float scaleY) const {
    Vector2 camera = cameraPosition(room);
    Matrix3 translation, size, boxTransform;
    Matrix3Translate(&translation, x - camera.x, y - camera.y);
    Matrix3Scale(&size, width * scaleX, height * scaleY);
    Matrix3Concat(&boxTransform, &translation, &size);
    KEGfxSetRenderMode(KE_RENDER_VERTEX_COLOUR);
    KEGfxTextureSet(nullptr, 0, 0);
    KEGfxSetTintColor(1, 1, 1, 0.25f);
    KEGfxSetTransform(&boxTransform);
    KEGfxMeshDraw(debugRectMesh);
}

void SpriteEntity::useAnimation(const char* path) {
    animation = ContentLoad<Animation>(path);
    width = static_cast<float>(animation->frameWidth);
    height = static_cast<float>(animation->frameHeight);
}

void SpriteEntity::playAnimation(const char* path) {
    useAnimation(path);
    animation->play();
}

void SpriteEntity::update(float dt) {
    x += velocity.x * dt;
    y += velocity.y * dt;
    Vector2 camera = cameraPosition(room);
    Vector2 offset{scale.x * pivot.x, scale.y * pivot.y};
    Matrix3 turn, size, translation;
    Matrix3Rotate(&turn, rotation);
    Matrix3Scale(&size, scale.x, scale.y);
    // Turning about the pivot: back from the pivot, turn, then out to it.
    float backX, backY;
    Matrix3TransformPoint(&turn, -offset.x, -offset.y, &backX, &backY);
    Matrix3Translate(&translation, backX + x + offset.x - camera.x + drawOffset.x,
                     backY + y + offset.y - camera.y + drawOffset.y);
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

void markCellsLit(Room* room, float x, float y, float width, float height, int32_t margin) {
    Map* map = room->map;
    const int32_t firstColumn = cellOf(x, map->tileWidth, map->width) - margin;
    const int32_t lastColumn = cellOf(x + width, map->tileWidth, map->width) + margin;
    const int32_t firstRow = cellOf(y, map->tileHeight, map->height) - margin;
    const int32_t lastRow = cellOf(y + height, map->tileHeight, map->height) + margin;
    for (int32_t column = firstColumn; column <= lastColumn; ++column)
        for (int32_t row = firstRow; row <= lastRow; ++row)
            if (Tile* tile = map->getTile(column, row, 1)) tile->flags |= TILE_LIT;
}

void revealAround(Entity* entity, int32_t margin) {
    markCellsLit(entity->room, entity->x, entity->y, entity->width, entity->height, margin);
}

bool isCharacterWithin(const Entity* entity, float distance) {
    const CharacterEntity* character = entity->room->character;
    const float dx = entity->x - character->x;
    const float dy = entity->y - character->y;
    return dx * dx + dy * dy < distance * distance;
}

bool touchesCharacter(const Room* room, float x, float y, float width, float height) {
    const CharacterEntity* character = room->character;
    return character->x <= x + width && x <= character->x + character->width && character->y <= y + height &&
           y <= character->y + character->height;
}

void SpriteEntity::turnOverBox(int32_t quarterTurns) {
    const auto frameWidth = static_cast<float>(animation->frameWidth);
    const auto frameHeight = static_cast<float>(animation->frameHeight);
    const bool across = quarterTurns % 2 != 0;
    width = across ? frameHeight : frameWidth;
    height = across ? frameWidth : frameHeight;
    rotation = static_cast<float>(quarterTurns) * QUARTER_TURN;
    pivot = {frameWidth * 0.5f, frameHeight * 0.5f};
    drawOffset = {(width - frameWidth) * 0.5f, (height - frameHeight) * 0.5f};
}

void SpriteEntity::pushOut(const SpriteEntity* other) {
    Vector2 push = penetration(x, y, width * scale.x, height * scale.y, other->x, other->y,
                               other->width * other->scale.x, other->height * other->scale.y);
    if (!isNoticeable(push.x) && !isNoticeable(push.y)) return;
    // One axis a call: the one that needs the smaller move.
    if (std::fabs(push.x) > std::fabs(push.y)) {
        y += roundAway(push.y);
        x += cornerSlide(push.y, velocity.y, push.x, velocity.x, width * scale.x);
    } else {
        x += roundAway(push.x);
        y += cornerSlide(push.x, velocity.x, push.y, velocity.y, height * scale.y);
    }
}
