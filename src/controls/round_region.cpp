#include "controls/round_region.h"

#include "controls/button_geometry.h"

namespace vorela {

std::unique_ptr<Region> MakeRoundRegion(std::int32_t x, std::int32_t y, std::int32_t width,
                                        std::int32_t height, std::int32_t radius) {
  const RoundRegionPlan plan = PlanRoundRegion(x, y, width, height, radius);
  auto region = CreateRectRegion(plan.bounds.left, plan.bounds.top, plan.bounds.right,
                                 plan.bounds.bottom);
  for (const PixelRect& cut : plan.cuts) {
    region->XorRect(cut.left, cut.top, cut.right, cut.bottom);
  }
  return region;
}

}  // namespace vorela
