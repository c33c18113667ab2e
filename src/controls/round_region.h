// Rounded outlines as regions of the drawing surface.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/drawing_surface.h"

namespace vorela {

// The rounded rectangle of corner radius max(radius, 1) at (x, y), made from
// the rectangle (0, 0)-(x + width, y + height) by cutting away, row by row,
// the pixels IsInRoundRect rejects in the left half and their mirror images.
// The caller owns the region.
std::unique_ptr<Region> MakeRoundRegion(std::int32_t x, std::int32_t y, std::int32_t width,
                                        std::int32_t height, std::int32_t radius);

}  // namespace vorela
