#include "common/reg_text.h"

#include <cstdint>

namespace vorela {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at text[*pos]; returns false (and skips one byte) for
// an ill-formed sequence.
bool DecodeUtf8(std::string_view text, std::size_t* pos, char32_t* out) {
  auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  unsigned char lead = byte(*pos);
  int extra = lead < 0x80             ? 0
              : (lead & 0xE0) == 0xC0 ? 1
              : (lead & 0xF0) == 0xE0 ? 2
              : (lead & 0xF8) == 0xF0 ? 3
                                      : -1;
  if (extra < 0 || text.size() - *pos <= static_cast<std::size_t>(extra)) {
    ++*pos;
    return false;
  }
  char32_t c = extra == 0 ? lead : (lead & (0x3F >> extra));
  for (int i = 1; i <= extra; ++i) {
    if ((byte(*pos + i) & 0xC0) != 0x80) {
      ++*pos;
      return false;
    }
    c = (c << 6) | (byte(*pos + i) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++*pos;
    return false;
  }
  *pos += extra + 1;
  *out = c;
  return true;
}

void AppendUnit(std::string* out, std::uint16_t unit) {
  out->push_back(static_cast<char>(unit & 0xFF));
  out->push_back(static_cast<char>(unit >> 8));
}

void AppendUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c = kReplacement;
    DecodeUtf8(utf8, &pos, &c);
    if (c >= 0x10000) {
      c -= 0x10000;
      AppendUnit(&out, static_cast<std::uint16_t>(0xD800 | (c >> 10)));
      AppendUnit(&out, static_cast<std::uint16_t>(0xDC00 | (c & 0x3FF)));
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
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
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
    if (!DecodeUtf8(utf8, &pos, &c)) return at;
  }
  return std::string_view::npos;
}

}  // namespace vorela
