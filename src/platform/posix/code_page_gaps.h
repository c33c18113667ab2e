// What the Windows conversion from a code page to Unicode gives where iconv's
// table has no entry. Both builds must turn the same bytes into the same text
// (names and values written by one build are read by the other), so the POSIX
// codec asks iconv first and fills its gaps from here.
//
// The facts were taken from MultiByteToWideChar (flags 0) for every byte and
// every lead-byte pair of the code pages below, and iconv agrees with it
// wherever iconv maps at all:
//   * A lead byte with any second byte but NUL is one unit: when the pair has
//     no character it becomes one default character (U+30FB for 932, "?"
//     elsewhere). A lead byte at the end, or before NUL, is a unit of its own.
//   * Single bytes without a character: a few of them have a fixed private or
//     control character; the rest become the default character.
//   * Single-byte code pages (the 125x family) give the C1 control of the same
//     value for their unassigned bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorela::posix {

class CodePageGaps {
 public:
  explicit CodePageGaps(std::uint32_t code_page);

  // The character for bytes that have none ("・" for 932, "?" otherwise).
  char32_t DefaultChar() const { return default_char_; }
  bool IsLeadByte(unsigned char byte) const;
  // The length of the character that starts at text[i] as the platform
  // counts it: a lead byte takes the next byte unless that is NUL or missing;
  // in UTF-8 a lead byte takes the continuation bytes that follow it.
  std::size_t UnitLength(std::string_view text, std::size_t i) const;
  // The character of a single byte that iconv refused (not part of a pair).
  char32_t SingleByte(unsigned char byte) const;

 private:
  std::uint32_t code_page_;
  char32_t default_char_;
  bool double_byte_;
};

}  // namespace vorela::posix
