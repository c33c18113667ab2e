// XmlNamesEqual: element names compared as the XML reader compares them.
//
// Inline and without a library call, because the parser compares names for
// every element of a document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vorela {
namespace xml_names_internal {

// Fixed-size copies compile to single loads.
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

// Whether the n bytes at a and at b are alike. Names are short, so a few
// overlapping word loads (never past the n bytes) do the work of a byte loop.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
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

}  // namespace xml_names_internal

// ASCII letters without regard to case, every other byte as it is.
inline bool XmlNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Names are nearly always spelled alike, so that is tried first.
  if (xml_names_internal::SameBytes(a.data(), b.data(), a.size())) return true;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x == y) continue;
    if ((x | 0x20) != (y | 0x20)) return false;
    const unsigned char lower = x | 0x20;
    if (lower < 'a' || lower > 'z') return false;
  }
  return true;
}

}  // namespace vorela
