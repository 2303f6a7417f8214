// The two quad meshes everything on screen is drawn with.
#pragma once

#include "Engine/Kestrel.h"
#include "Util/Color.h"

// Two triangles over (0, 0)-(width, height), every vertex carrying the
// colour's packed word (black without a colour). The origin is the corner.
KEMesh* createQuadMesh(int width, int height, const Color* color);

// A whole texture of that size as a grid of quads of at most cell pixels a
// side: SDL's software rasteriser maps large scaled triangles wrongly.
KEMesh* createTiledQuadMesh(int width, int height, int cell);
// The first frame of a sprite sheet: a quad of the frame's size whose
// texture coordinates cover one frame. uvScale, when given, receives
// (frame width / texture width, frame height / texture height).
KEMesh* createFrameMesh(int frameWidth, int frameHeight, int textureWidth, int textureHeight, float* uvScale);
