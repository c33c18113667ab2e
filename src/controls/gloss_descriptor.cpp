#include "controls/gloss_descriptor.h"

#include <algorithm>

#include "controls/button_geometry.h"

namespace vorela {

std::optional<GlossDescriptor> GlossFor(std::int32_t style, std::int32_t r,
                                        std::int32_t width,
                                        std::int32_t height) {
  GlossDescriptor d;
  const std::int32_t w = width;
  const std::int32_t h = height;
  d.glow_center_x = RoundHalfEven(w / 2.0);
  d.glow_center_y = h;
  d.right = w + 2 * r;
  switch (style) {
    case 2:
      d.slope_percent = 50;
      d.left = r / 2;
      d.top = 1;
      d.corner_radius = r / 2;
      d.bottom = RoundHalfEven(r * 1.1);
      d.glow_width_percent = 300;
      d.glow_height_percent = 60;
      d.glow_brightness_percent = 120;
      break;
    case 3:
      d.slope_percent = 70;
      d.left = r / 3;
      d.top = 0;
      d.corner_radius = 10;
      d.bottom = 12;
      d.glow_width_percent = 200;
      // A zero height leaves the glow with no rows; avoid the division.
      d.glow_height_percent = std::min(100 - (h != 0 ? 700 / h : 0), 80);
      d.glow_brightness_percent = 130;
      break;
    case 4:
      d.slope_percent = 70;
      d.left = r / 3 - 1;
      d.top = 0;
      d.corner_radius = r / 2;
      d.bottom = r;
      d.glow_width_percent = 200;
      d.glow_height_percent = 70;
      d.glow_brightness_percent = 130;
      break;
    case 5:
      d.slope_percent = 40;
      d.left = -1 - r / 2;
      d.top = -r;
      d.corner_radius = r;
      d.bottom = r + 1;
      d.glow_width_percent = 60;
      d.glow_height_percent = 60;
      d.glow_brightness_percent = 130;
      break;
    case 7:
      d.slope_percent = 50;
      d.left = RoundHalfEven(r / 2.0);
      d.top = 2;
      d.corner_radius = RoundHalfEven(r / 2.0);
      d.bottom = r + 1;
      d.right = w - r;
      d.glow_width_percent = 60;
      d.glow_height_percent = 60;
      d.glow_center_y = RoundHalfEven(h / 2.0);
      d.glow_brightness_percent = 100;
      break;
    default:
      return std::nullopt;
  }
  return d;
}

}  // namespace vorela
