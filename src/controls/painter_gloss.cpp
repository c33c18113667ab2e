// The gloss painter (styles 2, 3, 4, 5 and 7): body colour, a radial glow
// towards the light colour, then one scan over the left half that draws the
// border outside the inner region and one highlight line per gloss row.
#include <algorithm>

#include "controls/button_geometry.h"
#include "controls/candy_button.h"
#include "controls/gloss_descriptor.h"

namespace vorela {

Color CandyButton::StateBodyColor(std::int32_t state) const {
  switch (state) {
    case kStateHover:
      return color_hover_;
    case kStatePressed:
    case kStateChecked:
      return color_down_;
    default:
      return color_up_;
  }
}

void CandyButton::PaintGloss(std::int32_t state) {
  DrawingSurface& s = *surface_;
  const int w = s.Width();
  const int h = s.Height();
  const int r = std::max(radius_, 1);
  const auto gloss = GlossFor(style_, r, w, h);
  if (!gloss || w <= 0 || h <= 0) return;
  Color body = StateBodyColor(state);
  Color light = color_bright_;
  if (!enabled_) {
    body = Rgb(192, 192, 176);
    light = kWhite;
  }
  const Color border = border_brightness_ < 0 ? BlendColors(body, kBlack, -border_brightness_)
                                              : BlendColors(body, kWhite, border_brightness_);

  s.FillRect(0, 0, w, h, body);

  // Glow: concentric ellipses, the shorter half-axis one pixel smaller per
  // step and the longer one in proportion.
  const int cx = gloss->glow_center_x;
  const int cy = gloss->glow_center_y;
  const int half_w = w * gloss->glow_width_percent / 100;
  const int half_h = h * gloss->glow_height_percent / 100;
  if (half_w > 0 && half_h > 0) {
    s.FillEllipse(cx - half_w, cy - half_h, cx + half_w, cy + half_h, body);
    const int shorter = std::min(half_w, half_h);
    for (int i = 2; i - 1 < shorter; ++i) {
      const int shrink = i - 1;
      const int dx = half_w == shorter ? shrink : RoundHalfEven(1.0 * shrink * half_w / shorter);
      const int dy = half_h == shorter ? shrink : RoundHalfEven(1.0 * shrink * half_h / shorter);
      const int percent = RoundHalfEven(1.0 * gloss->glow_brightness_percent * i / half_h);
      s.FillEllipse(cx - half_w + dx, cy - half_h + dy, cx + half_w - dx, cy + half_h - dy,
                    BlendColors(body, light, percent));
    }
  }

  // Border and gloss lines, mirrored about the vertical centre.
  const int gloss_w = gloss->right - gloss->left;
  const int gloss_h = gloss->bottom - gloss->top;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x <= w / 2; ++x) {
      const bool in_inner = inner_region_ && inner_region_->Contains(x, y);
      if (!in_inner) {
        s.SetPixel(x, y, border);
        s.SetPixel(w - x, y, border);
        continue;
      }
      if (IsInRoundRect(x, y, gloss->left, gloss->top, gloss_w, gloss_h, gloss->corner_radius)) {
        const int percent =
            gloss->base_percent + RoundHalfEven(1.0 * y * gloss->slope_percent / r);
        s.DrawLine(x, y, w - x, y, BlendColors(kWhite, body, percent));
        break;
      }
    }
  }
}

}  // namespace vorela
