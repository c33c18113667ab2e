#include "platform/xml_text.h"

#include <cstdint>

namespace vorela {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Decodes the character at text[*i] and moves past it. A malformed sequence
// yields false and is passed over as one maximal ill-formed part: the lead
// byte and those continuation bytes that could still have completed it.
bool NextChar(std::string_view text, std::size_t* i, std::uint32_t* out) {
  auto byte = [&](std::size_t k) {
    return static_cast<unsigned char>(text[k]);
  };
  const unsigned char lead = byte(*i);
  if (lead < 0x80) {
    *out = lead;
    ++*i;
    return true;
  }
  int extra = 0;
  std::uint32_t cp = 0;
  // The range the second byte must fall in excludes overlong forms,
  // surrogates and values above U+10FFFF.
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    ++*i;
    return false;
  }
  std::size_t k = *i + 1;
  for (int n = 0; n < extra; ++n, ++k) {
    if (k >= text.size()) {
      *i = k;
      return false;
    }
    const unsigned char c = byte(k);
    if (n == 0 ? (c < low || c > high) : (c & 0xC0) != 0x80) {
      *i = k;
      return false;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  *i = k;
  *out = cp;
  return true;
}

bool Carriable(std::uint32_t cp) {
  if (cp < 0x20) return cp == '\t' || cp == '\n' || cp == '\r';
  return cp != 0xFFFE && cp != 0xFFFF;
}

}  // namespace

bool IsCarriableXmlText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x80) {
      ++i;
      continue;
    }
    std::uint32_t cp = 0;
    if (!NextChar(text, &i, &cp) || !Carriable(cp)) return false;
  }
  return true;
}

std::string CarriableXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = i;
    std::uint32_t cp = 0;
    if (!NextChar(text, &i, &cp)) {
      out.append(kReplacement);
    } else if (Carriable(cp)) {
      out.append(text.substr(start, i - start));
    }
  }
  return out;
}

}  // namespace vorela
