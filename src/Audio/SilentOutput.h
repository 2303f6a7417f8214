// The backend without a device: voices keep time, and a one-shot ends after
// its file's length (a second when the header does not tell).
#pragma once

#include "Audio/AudioOutput.h"

std::shared_ptr<Output> SilentOutputOpen();
