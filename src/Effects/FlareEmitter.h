// The glow placed in rooms: a fire with its own texture, fewer particles and
// a fixed size.
#pragma once

#include "Effects/FireEmitter.h"

class FlareEmitter : public FireEmitter {
public:
    void emit() override;
};

FlareEmitter* new_FlareEmitter();
