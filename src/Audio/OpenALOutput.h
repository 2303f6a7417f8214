// Output through OpenAL Soft. Every source sends into one auxiliary effect
// slot holding the global EFX reverb. Long files stream from a few queued
// buffers that a thread of the output keeps filled, so music goes on while
// the game stops updating (an inactive window) and decoding stays off the
// main thread. At most one is open in the process.
#pragma once

#include "Audio/AudioOutput.h"

// Null, with the reason in *problem, when no device or context can be had.
std::shared_ptr<Output> OpenALOutputOpen(std::string* problem);
