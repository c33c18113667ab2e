// Text operations with the semantics the programs rely on: case-insensitive
// comparison as the platform does it for names, lengths in UTF-16 code units,
// trimming of blanks (the space character only), replacement of every occurrence.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorela {

// Bytes of the UTF-8 sequence that starts with lead (1 for a stray byte).
inline std::size_t Utf8SequenceLength(unsigned char lead) {
  return lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 1;
}

// Length in UTF-16 code units of UTF-8 text (what "characters" means here).
std::size_t Utf16Length(std::string_view utf8);

// The last `count` UTF-16 code units (whole characters) of utf8, or all of it.
std::string LastChars(std::string_view utf8, std::size_t count);

// ASCII letters folded; other characters compared as they are.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);

// Removes leading and trailing space characters (U+0020 only).
std::string_view TrimSpaces(std::string_view s);

// Every occurrence of from replaced by to, left to right, without rescanning.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Decimal digits of value, zero-padded to at least width digits.
std::string ZeroPad(long long value, int width);

}  // namespace vorela
