// UTF-8 and UTF-16 stepping: the one place that knows how code points are laid
// out in bytes and code units. Everything above (platform backends, the text
// helpers of both programs) builds on these, so a length counted in one place
// and a conversion done in another agree.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorela {

// Bytes of the UTF-8 sequence that starts with lead (1 for a stray byte).
// Lenient: the bytes after the lead are not looked at.
constexpr std::size_t Utf8SequenceLength(unsigned char lead) {
  return lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 1;
}

// Length in UTF-16 code units of UTF-8 text, stepping by Utf8SequenceLength: a
// four-byte sequence counts two units, every other sequence (or stray byte) one.
std::size_t Utf16Length(std::string_view utf8);

// Strictly decodes the character at utf8[*pos]. On success *pos moves past it;
// an overlong form, a surrogate, a value above U+10FFFF, a bad continuation
// byte or a truncated sequence returns false and leaves *pos and *out alone.
bool DecodeUtf8(std::string_view utf8, std::size_t* pos, char32_t* out);

// Appends code point cp (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string* out, char32_t cp);

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// The code point a high and a low surrogate stand for.
constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The surrogate pair of a code point from U+10000 up.
constexpr char16_t HighSurrogateOf(char32_t cp) {
  return static_cast<char16_t>(0xD800 | ((cp - 0x10000) >> 10));
}
constexpr char16_t LowSurrogateOf(char32_t cp) {
  return static_cast<char16_t>(0xDC00 | ((cp - 0x10000) & 0x3FF));
}

}  // namespace vorela
