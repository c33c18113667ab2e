#include "common/reg_text.h"

#include <cstdint>

#include "base/utf.h"

namespace vorela {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at text[*pos]; an ill-formed sequence returns false
// and skips one byte, so conversion resumes at the next byte.
bool DecodeOrSkip(std::string_view text, std::size_t* pos, char32_t* out) {
  if (DecodeUtf8(text, pos, out)) return true;
  ++*pos;
  return false;
}

void AppendUnit(std::string* out, std::uint16_t unit) {
  out->push_back(static_cast<char>(unit & 0xFF));
  out->push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c = kReplacement;
    DecodeOrSkip(utf8, &pos, &c);
    if (c >= 0x10000) {
      AppendUnit(&out, HighSurrogateOf(c));
      AppendUnit(&out, LowSurrogateOf(c));
    } else {
      AppendUnit(&out, static_cast<std::uint16_t>(c));
    }
  }
  return out;
}

std::string Utf16LeToUtf8(std::string_view utf16le) {
  std::string out;
  std::size_t units = utf16le.size() / 2;
  auto unit = [&](std::size_t i) {
    return static_cast<std::uint16_t>(
        static_cast<unsigned char>(utf16le[2 * i]) |
        (static_cast<unsigned char>(utf16le[2 * i + 1]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = unit(i);
    if (IsHighSurrogate(c) && i + 1 < units && IsLowSurrogate(unit(i + 1))) {
      c = CombineSurrogates(c, unit(i + 1));
      ++i;
    } else if (IsSurrogate(c)) {
      c = kReplacement;
    }
    AppendUtf8(&out, c);
  }
  return out;
}

std::size_t Utf8ErrorOffset(std::string_view utf8) {
  std::size_t pos = 0;
  char32_t c;
  while (pos < utf8.size()) {
    std::size_t at = pos;
    if (!DecodeOrSkip(utf8, &pos, &c)) return at;
  }
  return std::string_view::npos;
}

}  // namespace vorela
