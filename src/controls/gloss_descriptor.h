// The twelve numbers that shape the gloss styles' highlight band and glow.
#pragma once

#include <cstdint>
#include <optional>

namespace vorela {

struct GlossDescriptor {
  std::int32_t base_percent = 0;
  std::int32_t slope_percent = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t corner_radius = 0;
  std::int32_t bottom = 0;
  std::int32_t right = 0;
  std::int32_t glow_width_percent = 0;
  std::int32_t glow_height_percent = 0;
  std::int32_t glow_center_x = 0;
  std::int32_t glow_center_y = 0;
  std::int32_t glow_brightness_percent = 0;
};

// The descriptor of gloss style 2, 3, 4, 5 or 7 for corner radius r and client
// size width x height; nothing for the other styles.
std::optional<GlossDescriptor> GlossFor(std::int32_t style, std::int32_t r,
                                        std::int32_t width,
                                        std::int32_t height);

}  // namespace vorela
