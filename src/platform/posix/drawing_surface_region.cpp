#include "platform/posix/drawing_surface_region.h"

#include <algorithm>
#include <climits>

namespace vorela::posix {

BandRegion::BandRegion(int left, int top, int right, int bottom) {
  XorRect(left, top, right, bottom);
}

void BandRegion::SplitAt(int y) {
  auto it = bands_.upper_bound(y);
  if (it == bands_.begin()) {
    bands_.emplace(y, Edges{});
    return;
  }
  --it;
  if (it->first != y) bands_.emplace(y, it->second);
}

void BandRegion::Toggle(Edges& edges, int x) {
  auto it = std::lower_bound(edges.begin(), edges.end(), x);
  if (it != edges.end() && *it == x) {
    edges.erase(it);
  } else {
    edges.insert(it, x);
  }
}

void BandRegion::XorRect(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  SplitAt(top);
  SplitAt(bottom);
  for (auto it = bands_.find(top); it != bands_.end() && it->first < bottom; ++it) {
    Toggle(it->second, left);
    Toggle(it->second, right);
  }
  Normalize();
}

void BandRegion::Normalize() {
  // Leading empty bands say nothing; equal neighbours are one band.
  while (!bands_.empty() && bands_.begin()->second.empty()) bands_.erase(bands_.begin());
  if (bands_.empty()) return;
  auto prev = bands_.begin();
  for (auto it = std::next(prev); it != bands_.end();) {
    if (it->second == prev->second) {
      it = bands_.erase(it);
    } else {
      prev = it++;
    }
  }
}

bool BandRegion::Contains(int x, int y) const {
  auto it = bands_.upper_bound(y);
  if (it == bands_.begin()) return false;
  --it;
  const Edges& edges = it->second;
  auto n = std::upper_bound(edges.begin(), edges.end(), x) - edges.begin();
  return (n & 1) != 0;
}

void BandRegion::Bounds(int* left, int* top, int* right, int* bottom) const {
  *left = *top = *right = *bottom = 0;
  if (bands_.empty()) return;
  int l = INT_MAX, r = INT_MIN;
  for (const auto& [y, edges] : bands_) {
    if (edges.empty()) continue;
    l = std::min(l, edges.front());
    r = std::max(r, edges.back());
  }
  *left = l;
  *right = r;
  *top = bands_.begin()->first;
  *bottom = bands_.rbegin()->first;
}

std::unique_ptr<Region> BandRegion::Clone() const { return std::make_unique<BandRegion>(*this); }

}  // namespace vorela::posix
