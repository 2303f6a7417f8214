// Animation files as content: JSON with "FrameCount", "FrameWidth",
// "SpriteSheet", "FrameDuration" and the optional "Looping" and "PingPong".
#pragma once

#include "Content/Animation.h"

#include <cstdint>

Animation* AnimationContentLoad(const char* path, uint32_t flags);
// Works out the frame grid from the sheet's size and builds the frame mesh.
void AnimationContentComplete(Animation* animation);
void AnimationContentUnload(Animation* animation);
// A private copy with its own play state, sharing path, sheet and mesh.
Animation* AnimationContentCopy(Animation* animation);
void AnimationContentUnloadCopy(Animation* copy);
