// XmlNamesEqual: element names compared as the XML reader compares them.
//
// Inline and without a library call, because the parser compares names for
// every element of a document.
#pragma once

#include <cstddef>
#include <string_view>

#include "cleaner/short_bytes.h"

namespace vorela {

// ASCII letters without regard to case, every other byte as it is.
inline bool XmlNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Names are nearly always spelled alike, so that is tried first.
  if (short_bytes::Equal(a.data(), b.data(), a.size())) return true;
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
