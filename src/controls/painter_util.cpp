#include "controls/painter_util.h"

namespace vorela {

Color GradientAt(Color from, Color to, int y, int first, int last) {
  if (last <= first) return from;
  auto mix = [&](int a, int b) { return a + (b - a) * (y - first) / (last - first); };
  return Rgb(mix(RedOf(from), RedOf(to)), mix(GreenOf(from), GreenOf(to)),
             mix(BlueOf(from), BlueOf(to)));
}

void FillRowGradient(DrawingSurface& surface, int first, int last, int left, int right,
                     Color from, Color to) {
  for (int y = first; y <= last; ++y) {
    surface.DrawLine(left, y, right, y, GradientAt(from, to, y, first, last));
  }
}

}  // namespace vorela
