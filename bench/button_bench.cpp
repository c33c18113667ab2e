// The button's repaint cost: Redraw per style at the installer's button size
// (88 x 26) and at 200 x 60, cycling through the five looks, and
// MakeRoundRegion at 200 x 60. Reports the median of many timed runs; the
// reference is the frame budget, as a look change must repaint well inside one
// frame (16 ms).
//
//   button_bench [repetitions]      (default 200)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controls/candy_button.h"
#include "controls/round_region.h"

namespace vorela {
namespace {

class BenchHost final : public CandyButtonHost {
 public:
  bool UserMode() const override { return true; }
  FontSpec AmbientFont() const override { return FontSpec{}; }
  bool BackgroundColor(Color* color) const override {
    *color = Rgb(236, 233, 216);
    return true;
  }
  void PropertyChanged() override {}
};

template <typename F>
double MedianMicros(int repetitions, F&& run) {
  std::vector<double> times;
  times.reserve(repetitions);
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run(i);
    const auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  return times[times.size() / 2];
}

}  // namespace
}  // namespace vorela

int main(int argc, char** argv) {
  using namespace vorela;
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  BenchHost host;
  std::printf("button_bench: median of %d runs, microseconds (frame budget 16000)\n",
              repetitions);
  std::printf("%-8s %12s %12s\n", "style", "88x26", "200x60");
  for (int style = 0; style <= 7; ++style) {
    double medians[2];
    const int sizes[2][2] = {{88, 26}, {200, 60}};
    for (int s = 0; s < 2; ++s) {
      CandyButton button("cmdOK", host, CreateDrawingSurface());
      button.Surface().Resize(sizes[s][0], sizes[s][1]);
      button.ReadProperties(PropertyStore::FromFormText("Caption = OK\nColorScheme = 1\n"));
      button.SetStyle(style);
      button.OnResize();
      medians[s] = MedianMicros(repetitions, [&](int i) { button.Redraw(i % 5); });
    }
    std::printf("%-8d %12.1f %12.1f\n", style, medians[0], medians[1]);
  }
  const double region = MedianMicros(repetitions, [](int) {
    auto r = MakeRoundRegion(0, 0, 200, 60, 31);
    if (r->IsEmpty()) std::abort();
  });
  std::printf("MakeRoundRegion 200x60 r31: %.1f\n", region);
  return 0;
}
