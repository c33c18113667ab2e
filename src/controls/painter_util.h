// Small drawing steps shared by the body painters.
#pragma once

#include "platform/drawing_surface.h"

namespace vorela {

// Colour on row y of a linear gradient from `from` on row first to `to` on row
// last (each channel truncated toward zero).
Color GradientAt(Color from, Color to, int y, int first, int last);

// One horizontal line per row from first to last (both included), from column
// left to column right (excluded), in the gradient's colour.
void FillRowGradient(DrawingSurface& surface, int first, int last, int left, int right,
                     Color from, Color to);

}  // namespace vorela
