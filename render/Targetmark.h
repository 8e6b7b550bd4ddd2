// The mark on the chosen object: four corners of a square, so that it stays apart from
// the mount's reticle (a red circle with a cross) and leaves the object itself clear.
#pragma once

#include "render/Clsdraw.h"

// Corners at `out` pixels from (x, y), each arm `arm` long, in `colour` with a pen
// `width` pixels wide.
void DrawTargetCorners(TDraw& draw, TSurface* s, int x, int y, int out, int arm, int width,
                       unsigned long colour);
