// System colours of the POSIX build: Wine's defaults, so that a control whose
// colours name system colours looks the same in both builds.
#include "platform/drawing_surface.h"

namespace vorela {
namespace {

constexpr Color kSystemColors[31] = {
    0xFFFFFF, 0x956F25, 0xFA9632, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x9E9E9E, 0x000000,
    0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x808080, 0xFA9630, 0xFFFFFF, 0xF5F5F5,
    0xA6A6A6, 0xA6A6A6, 0x000000, 0xC8C8C8, 0xFFFFFF, 0x6A6A6A, 0xE3E3E3, 0x000000,
    0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xFA9632, 0x808080, 0xFA9630, 0xFFFFFF,
};

}  // namespace

bool TranslateOleColor(std::uint32_t ole_color, Color* rgb) {
  switch (ole_color >> 24) {
    case 0x00:
    case 0x02:  // palette-relative RGB: on a true-colour image, its RGB part
      *rgb = ole_color & 0xFFFFFF;
      return true;
    case 0x80: {
      // Only the low byte names the colour; the platform ignores the rest.
      const std::uint32_t index = ole_color & 0xFF;
      if (index >= sizeof kSystemColors / sizeof kSystemColors[0]) return false;
      *rgb = kSystemColors[index];
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vorela
