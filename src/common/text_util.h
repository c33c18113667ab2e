// Text operations with the semantics the programs rely on: case-insensitive
// comparison as the platform does it for names, lengths in UTF-16 code units,
// trimming of blanks (the space character only), replacement of every occurrence.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Utf8SequenceLength, Utf16Length (what "characters" means here) and the ASCII
// case folding (EqualsIgnoreCase, AsciiLower, AsciiUpper) live in the base layer.
#include "base/ascii.h"
#include "base/utf.h"

namespace vorela {

// The last `count` UTF-16 code units (whole characters) of utf8, or all of it.
std::string LastChars(std::string_view utf8, std::size_t count);

// Removes leading and trailing space characters (U+0020 only).
std::string_view TrimSpaces(std::string_view s);

// Every occurrence of from replaced by to, left to right, without rescanning.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Decimal digits of value, zero-padded to at least width digits.
std::string ZeroPad(long long value, int width);

}  // namespace vorela
