// The POSIX backend's region: horizontal bands, each holding the sorted column
// boundaries where the region switches between outside and inside. With that
// form an exclusive-or of a rectangle only toggles two boundaries per band, so
// building a rounded outline run by run stays cheap.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/drawing_surface.h"

namespace vorela::posix {

class BandRegion final : public Region {
 public:
  BandRegion() = default;
  BandRegion(int left, int top, int right, int bottom);

  void XorRect(int left, int top, int right, int bottom) override;
  bool Contains(int x, int y) const override;
  bool IsEmpty() const override { return bands_.empty(); }
  void Bounds(int* left, int* top, int* right, int* bottom) const override;
  std::unique_ptr<Region> Clone() const override;

 private:
  using Edges = std::vector<int>;
  void SplitAt(int y);
  void Normalize();
  static void Toggle(Edges& edges, int x);

  // A band starts at its key and ends where the next one starts; the last
  // band is always empty, so nothing lies below it.
  std::map<int, Edges> bands_;
};

}  // namespace vorela::posix
