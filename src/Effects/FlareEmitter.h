// The glow placed in rooms: a fire with its own texture, fewer particles and
// a fixed size.
#pragma once

#include "Effects/FireEmitter.h"

#include <memory>

class FlareEmitter : public FireEmitter {
protected:
    void burst() override;
};

std::unique_ptr<FlareEmitter> new_FlareEmitter();
