// What either audio backend tracks, for the tests to read; the game never
// includes it.
#pragma once

#include "Audio/EventAudio.h"

bool AudioEventIsPlaying(const AudioEvent* event);
const char* AudioEventName(const AudioEvent* event);
struct AudioLayerState {
    const char* file;  // the variant sounding, as the project names it; null while silent
    float gain;        // volume x layer gain x fade
    float heard;       // gain x the category's volume x master's, as the output has it; 0 while silent
    float pitch;
};
// False for a null event or a layer index out of range.
bool AudioEventGetLayerState(const AudioEvent* event, int layer, AudioLayerState* state);
bool AudioChannelIsPlaying(const AudioChannel* channel);
// The category's volume x master's, as the output has it; 0 while silent.
float AudioChannelHeardGain(const AudioChannel* channel);
