// Shape arithmetic of the button: the corner radius per style, the rounded
// rectangle point test and the cuts that turn a rectangle into the rounded
// window outline. Pure functions; the region objects live on the surface.
#pragma once

#include <cstdint>
#include <vector>

namespace vorela {

// Nearest whole number, exact halves to the even neighbour (the rounding the
// button has always used when a fraction becomes a pixel count).
std::int32_t RoundHalfEven(double value);

// Corner radius for the style at client size width x height; styles with no
// rounded outline (0, 1 and unknown numbers) keep `current`.
std::int32_t CornerRadiusFor(std::int32_t style, std::int32_t width,
                             std::int32_t height, std::int32_t current);

// True for styles 2..7, whose window gets a rounded outline.
bool HasRoundedOutline(std::int32_t style);

// True when (px, py) lies inside the rounded rectangle at (x, y) of size
// width x height: strictly inside the rectangle and, within a corner square of
// side radius, inside the quarter circle centred radius pixels in from both
// sides. A radius below 1 means square corners. Symmetric under
// px -> 2x + width - px and py -> 2y + height - py.
bool IsInRoundRect(std::int32_t px, std::int32_t py, std::int32_t x,
                   std::int32_t y, std::int32_t width, std::int32_t height,
                   std::int32_t radius);

struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;  // exclusive
  std::int32_t bottom = 0;  // exclusive
  bool operator==(const PixelRect&) const = default;
};

// The rounded outline as a starting rectangle (0, 0)-(x + width, y + height)
// and the cuts to remove from it: one rectangle per run of outside pixels in
// each row of the left half, and its mirror image about the vertical centre
// line. Cuts are clipped to the starting rectangle and never overlap, so
// removing them by exclusive-or removes exactly the outside pixels.
struct RoundRegionPlan {
  PixelRect bounds;
  std::vector<PixelRect> cuts;
};
RoundRegionPlan PlanRoundRegion(std::int32_t x, std::int32_t y,
                                std::int32_t width, std::int32_t height,
                                std::int32_t radius);

}  // namespace vorela
