#include "platform/posix/code_page_gaps.h"

namespace vorela::posix {
namespace {

struct Fixed {
  std::uint32_t code_page;
  unsigned char byte;
  char32_t cp;
};

// Single bytes of the double-byte code pages that have a character of their
// own in the Windows tables but none in iconv's.
constexpr Fixed kFixedSingles[] = {
    {932, 0x80, 0x0080}, {932, 0xA0, 0xF8F0}, {932, 0xFD, 0xF8F1},
    {932, 0xFE, 0xF8F2}, {932, 0xFF, 0xF8F3}, {936, 0xFF, 0xF8F5},
    {949, 0x80, 0x0080}, {949, 0xFF, 0xF8F7}, {950, 0xFF, 0xF8F8},
};

}  // namespace

CodePageGaps::CodePageGaps(std::uint32_t code_page)
    : code_page_(code_page),
      default_char_(code_page == 932     ? U'\u30FB'
                    : code_page == 65001 ? U'\uFFFD'
                                         : U'?'),
      double_byte_(code_page == 932 || code_page == 936 || code_page == 949 ||
                   code_page == 950) {}

bool CodePageGaps::IsLeadByte(unsigned char byte) const {
  if (!double_byte_) return false;
  if (code_page_ == 932)
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  return byte >= 0x81 && byte <= 0xFE;
}

std::size_t CodePageGaps::UnitLength(std::string_view text,
                                     std::size_t i) const {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  if (code_page_ == 65001) {
    std::size_t want = lead >= 0xF0   ? 4
                       : lead >= 0xE0 ? 3
                       : lead >= 0xC0 ? 2
                                      : 1;
    std::size_t n = 1;
    while (n < want && i + n < text.size() &&
           (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) {
      ++n;
    }
    return n;
  }
  if (IsLeadByte(lead) && i + 1 < text.size() && text[i + 1] != '\0') return 2;
  return 1;
}

char32_t CodePageGaps::SingleByte(unsigned char byte) const {
  for (const Fixed& f : kFixedSingles) {
    if (f.code_page == code_page_ && f.byte == byte) return f.cp;
  }
  if (!double_byte_ && code_page_ != 65001 && byte >= 0x80 && byte <= 0x9F)
    return byte;
  return default_char_;
}

}  // namespace vorela::posix
