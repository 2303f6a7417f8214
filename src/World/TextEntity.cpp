#include "World/TextEntity.h"

#include "Content/ContentManager.h"
#include "Content/TextureFont.h"
#include "Debug/Debug.h"
#include "World/Camera.h"
#include "World/Room.h"

TextEntity::TextEntity(Room* owner)
    : Entity(ET_TEXT, owner), font(ContentLoad<TextureFont>("Assets/Fonts/LoadingScreen.fnt")) {}

std::unique_ptr<TextEntity> new_TextEntity(Room* room) {
    return DEBUG_MAKE_UNIQUE(TextEntity, "new_TextEntity", room);
}

void TextEntity::setText(const char* words) {
    text = words;
    const Vector2 size = font->measureText(words, 1.0f);
    width = size.x;
    height = size.y;
}

void TextEntity::update(float) {
    revealAround(this, 0);
}

void TextEntity::draw(float opacity, float) {
    const Vector2 view = room->camera->viewPosition;
    const Color white{0xFFFFFFFFu, opacity, 1.0f, 1.0f, 1.0f};
    font->drawText(
        text.c_str(),
        {static_cast<float>(static_cast<int>(x - view.x)), static_cast<float>(static_cast<int>(y - view.y))},
        white, ALIGN_LEFT);
}
