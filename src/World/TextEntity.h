// Words written on the floor in the loading screen's font, to guide the
// player through the first rooms.
#pragma once

#include "World/Entity.h"

#include <memory>
#include <string>

class TextureFont;

class TextEntity : public Entity {
public:
    std::string text;

    explicit TextEntity(Room* owner);

    // The text and the box it takes on the floor.
    void setText(const char* words);

    void update(float dt) override;
    void draw(float opacity, float dt) override;

private:
    const TextureFont* font;  // shared by every text, cached
};

std::unique_ptr<TextEntity> new_TextEntity(Room* room);
