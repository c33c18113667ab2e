// Comparing and copying the few bytes of an element name without a library
// call: names are short and of every length, so a few fixed-size word moves
// (overlapping, and never past the n bytes) beat both a byte loop and the
// size dispatch of memcmp and memcpy, which mispredicts as the lengths vary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vorela::short_bytes {

// Fixed-size copies compile to single loads and stores.
inline std::uint64_t Load8(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline std::uint32_t Load4(const char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Whether the n bytes at a and at b are alike.
inline bool Equal(const char* a, const char* b, std::size_t n) {
  if (n >= 8) {
    for (std::size_t end = 8; end < n; end += 8) {
      if (Load8(a + end - 8) != Load8(b + end - 8)) return false;
    }
    return Load8(a + n - 8) == Load8(b + n - 8);
  }
  if (n >= 4) return Load4(a) == Load4(b) && Load4(a + n - 4) == Load4(b + n - 4);
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Copies n bytes from `from` to `to`; the two must not overlap.
inline void Copy(char* to, const char* from, std::size_t n) {
  if (n >= 8) {
    for (std::size_t end = 8; end < n; end += 8) std::memcpy(to + end - 8, from + end - 8, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else if (n > 0) {
    // One to three bytes: the first, the middle and the last cover them.
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  }
}

}  // namespace vorela::short_bytes
