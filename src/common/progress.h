// The ciphers' Progress event and the rule that paces it.
#pragma once

#include <cmath>
#include <cstdint>

namespace vorela {

// Receives a cipher's Progress events, synchronously, from inside the
// operation. Percent is passed by reference: a value the observer leaves there
// counts as the last percentage reported (so leaving 100 suppresses the closing
// report).
class ProgressObserver {
 public:
  virtual ~ProgressObserver() = default;
  virtual void Progress(std::int32_t& Percent) = 0;
};

// Paces Progress to about once per percent of `length` units. The caller
// reports each unit's offset through Due/Report; the first unit always reports
// 0.
class ProgressPacer {
 public:
  ProgressPacer(ProgressObserver* observer, std::int64_t length)
      : observer_(observer), length_(length) {}

  // The smallest offset whose unit raises the next report.
  std::int64_t Threshold() const { return threshold_; }

  // Raises the report for the unit at offset (offset >= Threshold()).
  void Report(std::int64_t offset) {
    const double length = static_cast<double>(length_);
    std::int32_t percent = static_cast<std::int32_t>(
        std::floor(static_cast<double>(offset) / length * 100.0));
    // nearbyint rounds half to even in the default rounding mode.
    threshold_ = static_cast<std::int64_t>(
        std::nearbyint((percent + 1) / 100.0 * length + 1.0));
    Raise(percent);
  }

  // The closing report: 100, unless the last report already was 100.
  void Finish() {
    if (last_ != 100) Raise(100);
  }

 private:
  void Raise(std::int32_t percent) {
    if (observer_ != nullptr) observer_->Progress(percent);
    last_ = percent;
  }

  ProgressObserver* observer_;
  std::int64_t length_;
  std::int64_t threshold_ = 0;
  std::int32_t last_ = 0;
};

}  // namespace vorela
