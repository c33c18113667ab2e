// Shared pieces of the cipher tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/blowfish_core.h"
#include "common/cipher_files.h"
#include "common/progress.h"
#include "platform/platform.h"

namespace vorela::testing {

class RecordingObserver : public ProgressObserver {
 public:
  void Progress(std::int32_t& Percent) override { reports.push_back(Percent); }
  std::vector<std::int32_t> reports;
};

// The reports the pacing rule asks for over `length` units visited `unit` at a
// time, one check per unit, followed by the closing 100.
inline std::vector<std::int32_t> ExpectedReports(std::int64_t length,
                                                 std::int64_t unit) {
  std::vector<std::int32_t> reports;
  std::int64_t threshold = 0;
  for (std::int64_t offset = 0; offset < length; offset += unit) {
    if (offset >= threshold) {
      auto percent = static_cast<std::int32_t>(std::floor(
          static_cast<double>(offset) / static_cast<double>(length) * 100.0));
      threshold = static_cast<std::int64_t>(std::nearbyint(
          (percent + 1) / 100.0 * static_cast<double>(length) + 1.0));
      reports.push_back(percent);
    }
  }
  reports.push_back(100);
  return reports;
}

inline ByteArray Bytes(const std::string& s) {
  return ByteArray(s.begin(), s.end());
}
inline std::string Text(const ByteArray& b) {
  return std::string(b.begin(), b.end());
}

// The keyed state clsBlowfish holds after Key(key) on a new object.
inline BlowfishState KeyedVariant(const std::string& key) {
  BlowfishState state = VariantInitialState();
  ScheduleKey(state, reinterpret_cast<const std::uint8_t*>(key.data()),
              key.size(), KeyPacking::kOrAccumulating);
  return state;
}

// CBC (zero IV) over an already laid-out buffer, to build inputs that
// clsBlowfish itself would never produce.
inline ByteArray CbcEncryptRaw(ByteArray plain, const std::string& key) {
  BlowfishState state = KeyedVariant(key);
  CbcChain chain;
  CbcEncrypt(state, plain.data(), plain.size() / 8, chain);
  return plain;
}

inline ByteArray CbcDecryptRaw(ByteArray cipher, const std::string& key) {
  BlowfishState state = KeyedVariant(key);
  CbcChain chain;
  CbcDecrypt(state, cipher.data(), cipher.size() / 8, chain);
  return cipher;
}

}  // namespace vorela::testing
