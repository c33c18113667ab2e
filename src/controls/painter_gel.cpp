// The gel painter (style 6): pixel by pixel over the left half, mirrored, a
// crescent highlight near the top, a vertical blend towards the light colour
// at top and bottom, and a dark edge ring.
#include <cstdlib>

#include "controls/button_geometry.h"
#include "controls/candy_button.h"

namespace vorela {

void CandyButton::PaintGel(std::int32_t state) {
  if (state > kStateChecked || state < 0) return;
  DrawingSurface& s = *surface_;
  const int w = s.Width();
  const int h = s.Height();
  if (w <= 0 || h <= 0) return;
  const int r = radius_ < 1 ? 1 : radius_;
  const Color body = StateBodyColor(state);
  const Color edge = BlendColors(kBlack, body, 50);
  const int crescent_r = RoundHalfEven(2.0 * r / 3);
  const int crescent_shift = RoundHalfEven(r / 2.0);
  for (int y = 0; y <= h; ++y) {
    const Color gloss = BlendColors(kWhite, body, RoundHalfEven(30.0 * y / r));
    const int distance = std::abs((2 * y - h) * 100 / h);
    const Color blend = BlendColors(body, color_bright_, distance);
    for (int x = 0; x <= w / 2; ++x) {
      Color c;
      if (IsInRoundRect(x, y, 1, 1, w - 2, h - 2, r)) {
        const bool upper = IsInRoundRect(x, y, 4, 2, w - r, 2 * r - 1, crescent_r);
        const bool lower = IsInRoundRect(x, y, 4, crescent_shift, w - r, 2 * r - 1, crescent_r);
        c = upper && !lower ? gloss : blend;
      } else if (IsInRoundRect(x, y, 0, 0, w, h, r)) {
        c = edge;
      } else {
        continue;
      }
      s.SetPixel(x, y, c);
      s.SetPixel(w - x, y, c);
    }
  }
}

}  // namespace vorela
