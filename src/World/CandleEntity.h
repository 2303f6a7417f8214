// A candle holder standing in a room: a flame and a light whose reach
// follows the candle's remaining life. The player swaps candles with it:
// the character takes the holder's candle and leaves its own, if it still
// burns; an emptied holder disappears.
#pragma once

#include "World/FlameHolderEntity.h"

#include <memory>

class CandleEntity : public FlameHolderEntity {
public:
    float life = 0.0f;  // seconds of candle left

    explicit CandleEntity(Room* owner);

    void update(float dt) override;
    // Hidden while another screen has the keyboard.
    void draw(float opacity, float dt) override;

private:
    void offerCandle();
};

std::unique_ptr<CandleEntity> new_CandleEntity(Room* room);
