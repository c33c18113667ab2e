#include "controls/button_font.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/text_util.h"

namespace vorela {

bool ParseFontText(const std::string& text, FontSpec* font) {
  std::string_view rest = text;
  const std::size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return false;
  FontSpec parsed;
  parsed.face = std::string(TrimSpaces(rest.substr(0, comma)));
  rest = rest.substr(comma + 1);
  const std::size_t next = rest.find(',');
  const std::string size(TrimSpaces(rest.substr(0, next)));
  char* end = nullptr;
  const double points = std::strtod(size.c_str(), &end);
  if (parsed.face.empty() || size.empty() || *end != '\0' || !(points > 0 && points <= 1000)) {
    return false;
  }
  parsed.points = points;
  if (next != std::string_view::npos) {
    const std::string flags = AsciiLower(rest.substr(next + 1));
    parsed.bold = flags.find("bold") != std::string::npos;
    parsed.italic = flags.find("italic") != std::string::npos;
    parsed.underline = flags.find("underline") != std::string::npos;
    parsed.strikethrough = flags.find("strikethrough") != std::string::npos;
  }
  *font = parsed;
  return true;
}

std::string FormatFontText(const FontSpec& font) {
  char size[32];
  std::snprintf(size, sizeof size, "%g", font.points);
  std::string out = font.face + ", " + size;
  std::string flags;
  if (font.bold) flags += " bold";
  if (font.italic) flags += " italic";
  if (font.underline) flags += " underline";
  if (font.strikethrough) flags += " strikethrough";
  if (!flags.empty()) out += "," + flags;
  return out;
}

}  // namespace vorela
