#include "controls/button_geometry.h"

#include <algorithm>
#include <cmath>

namespace vorela {

std::int32_t RoundHalfEven(double value) {
  return static_cast<std::int32_t>(std::nearbyint(value));
}

bool HasRoundedOutline(std::int32_t style) { return style >= 2 && style <= 7; }

std::int32_t CornerRadiusFor(std::int32_t style, std::int32_t width,
                             std::int32_t height, std::int32_t current) {
  auto clamp = [](std::int32_t v, std::int32_t lo, std::int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
  };
  switch (style) {
    case 2:
    case 4:
    case 5:
      return clamp(height / 2 + 1, 1, width / 2);
    case 3:
      return 12;
    case 6:
      return clamp(height / 3, 1, width / 3);
    case 7:
      return clamp(height / 4 + 1, 1, width / 4);
    default:
      return current;
  }
}

bool IsInRoundRect(std::int32_t px, std::int32_t py, std::int32_t x,
                   std::int32_t y, std::int32_t width, std::int32_t height,
                   std::int32_t radius) {
  const std::int64_t dx = static_cast<std::int64_t>(px) - x;
  const std::int64_t dy = static_cast<std::int64_t>(py) - y;
  if (dx <= 0 || dx >= width || dy <= 0 || dy >= height) return false;
  if (radius < 1) return true;
  const std::int64_t r = radius;
  // Distance into the corner square from its inner side, measured from the
  // nearer edge so that both halves test alike.
  const std::int64_t a = std::max(r - dx, dx - (width - r));
  const std::int64_t t = std::max(r - dy, dy - (height - r));
  if (a <= 0 || t <= 0) return true;  // in an edge strip or the middle
  if (a > r) return false;
  const std::int64_t n = RoundHalfEven(
      std::sqrt(static_cast<double>(r * r - a * a)));
  return t < n;
}

RoundRegionPlan PlanRoundRegion(std::int32_t x, std::int32_t y,
                                std::int32_t width, std::int32_t height,
                                std::int32_t radius) {
  RoundRegionPlan plan;
  const std::int32_t r = std::max(radius, 1);
  const std::int32_t right = x + width;
  const std::int32_t bottom = y + height;
  plan.bounds = {0, 0, right, bottom};
  if (right <= 0 || bottom <= 0) return plan;
  const std::int32_t half = right / 2;
  auto cut = [&](std::int32_t row, std::int32_t from, std::int32_t to) {
    // Left run [from, to) and its mirror (right - to, right - from]; the
    // mirror is clipped to the rectangle and to the part the left run does
    // not already cover, so no pixel is toggled twice.
    plan.cuts.push_back({from, row, to, row + 1});
    std::int32_t m_left = std::max(right - to + 1, to);
    std::int32_t m_right = std::min(right - from + 1, right);
    if (m_left < m_right) plan.cuts.push_back({m_left, row, m_right, row + 1});
  };
  for (std::int32_t row = 0; row < bottom; ++row) {
    std::int32_t run_start = -1;
    for (std::int32_t col = 0; col <= half; ++col) {
      const bool outside = !IsInRoundRect(col, row, x, y, width, height, r);
      if (outside && run_start < 0) run_start = col;
      if (!outside && run_start >= 0) {
        cut(row, run_start, col);
        run_start = -1;
      }
    }
    if (run_start >= 0) cut(row, run_start, std::min(half + 1, right));
  }
  return plan;
}

}  // namespace vorela
