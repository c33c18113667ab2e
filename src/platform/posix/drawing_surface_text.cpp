#include "platform/posix/drawing_surface_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unistd.h>

namespace vorela::posix {
namespace {

// One code point from utf8 at *i; ill-formed bytes become U+FFFD one by one.
char32_t NextCodePoint(std::string_view s, std::size_t* i) {
  const unsigned char lead = static_cast<unsigned char>(s[*i]);
  int len = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (len == 0 || *i + len > s.size()) {
    ++*i;
    return 0xFFFD;
  }
  char32_t c = len == 1 ? lead : lead & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[*i + k]);
    if ((b & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  *i += len;
  return c;
}

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

FT_Library Library() {
  // One library for the process; FreeType is not shared across threads here.
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

// Splits at line feeds; a carriage return before one belongs to the break.
std::vector<std::u32string_view> Lines(const std::u32string& text) {
  std::vector<std::u32string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == U'\n') {
      std::size_t end = i;
      if (end > start && text[end - 1] == U'\r') --end;
      lines.emplace_back(text.data() + start, end - start);
      start = i + 1;
    }
  }
  return lines;
}

}  // namespace

PrefixedText StripPrefixes(std::string_view utf8) {
  PrefixedText out;
  bool underline_next = false;
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, &i);
    if (c == U'&' && !underline_next) {
      underline_next = true;
      continue;
    }
    out.text.push_back(c);
    out.underlined.push_back(underline_next && c != U'&');
    underline_next = false;
  }
  return out;
}

std::string FindFontFile(const std::string& face, bool bold, bool italic) {
  const std::string lower = LowerAscii(face);
  if (lower == "tahoma" && !italic) {
    const char* file = bold ? "/usr/share/wine/fonts/tahomabd.ttf" : "/usr/share/wine/fonts/tahoma.ttf";
    if (access(file, R_OK) == 0) return file;
  }
  std::string found;
  // Loaded once; released at exit so that nothing of it is left behind.
  static const bool ready = [] {
    if (!FcInit()) return false;
    std::atexit([] { FcFini(); });
    return true;
  }();
  if (!ready) return found;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (match) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
      found = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return found;
}

struct TextRenderer::Face {
  FT_Face face = nullptr;
  ~Face() {
    if (face) FT_Done_Face(face);
  }
};

TextRenderer::TextRenderer(const FontSpec& font) : font_(font) {
  const int em = std::max(1, static_cast<int>(std::lround(font.points * 96.0 / 72.0)));
  ascent_ = em;
  descent_ = 0;
  FT_Library lib = Library();
  const std::string file = FindFontFile(font.face, font.bold, font.italic);
  if (!lib || file.empty()) return;
  auto face = std::make_unique<Face>();
  if (FT_New_Face(lib, file.c_str(), 0, &face->face) != 0) {
    face->face = nullptr;
    return;
  }
  FT_Face f = face->face;
  if (FT_Set_Pixel_Sizes(f, 0, em) != 0) return;
  const int upem = f->units_per_EM > 0 ? f->units_per_EM : 2048;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  int win_ascent = f->ascender, win_descent = -f->descender;
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    win_ascent = os2->usWinAscent;
    win_descent = os2->usWinDescent;
  }
  ascent_ = static_cast<int>(std::lround(static_cast<double>(win_ascent) * em / upem));
  descent_ = static_cast<int>(std::lround(static_cast<double>(win_descent) * em / upem));
  if (f->underline_thickness > 0) {
    underline_offset_ = std::max(1, static_cast<int>(std::lround(
                                        -static_cast<double>(f->underline_position) * em / upem)));
    underline_thickness_ = std::max(1, static_cast<int>(std::lround(
                                           static_cast<double>(f->underline_thickness) * em / upem)));
  }
  face_ = std::move(face);
}

TextRenderer::~TextRenderer() = default;

bool TextRenderer::HasFace() const { return face_ != nullptr; }

int TextRenderer::Advance(char32_t c) {
  if (!face_) return 0;
  FT_Face f = face_->face;
  if (FT_Load_Char(f, c, FT_LOAD_DEFAULT) != 0) return 0;
  // Design advance (16.16) rounded: the hinted one runs wider than GDI's.
  return static_cast<int>((f->glyph->linearHoriAdvance + 0x8000) >> 16);
}

TextExtent TextRenderer::Measure(std::string_view utf8) {
  const PrefixedText stripped = StripPrefixes(utf8);
  if (stripped.text.empty()) return {};
  TextExtent extent;
  for (std::u32string_view line : Lines(stripped.text)) {
    int width = 0;
    for (char32_t c : line) width += Advance(c);
    extent.width = std::max(extent.width, width);
    extent.height += LineHeight();
  }
  return extent;
}

void TextRenderer::Render(std::string_view utf8, int x, int y, bool mono,
                          const std::function<void(int, int, int)>& plot) {
  if (!face_) return;
  FT_Face f = face_->face;
  const PrefixedText stripped = StripPrefixes(utf8);
  int line_top = y;
  for (std::u32string_view line : Lines(stripped.text)) {
    std::size_t index = static_cast<std::size_t>(line.data() - stripped.text.data());
    int pen = x;
    const int baseline = line_top + ascent_;
    for (char32_t c : line) {
      const int advance = Advance(c);
      if (FT_Load_Char(f, c, FT_LOAD_RENDER | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL)) == 0) {
        const FT_Bitmap& bm = f->glyph->bitmap;
        const int left = pen + f->glyph->bitmap_left;
        const int top = baseline - f->glyph->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
          const unsigned char* src = bm.buffer + static_cast<long>(row) * bm.pitch;
          for (unsigned col = 0; col < bm.width; ++col) {
            int coverage;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
              coverage = (src[col / 8] >> (7 - col % 8)) & 1 ? 255 : 0;
            } else {
              coverage = src[col];
            }
            if (coverage) plot(left + static_cast<int>(col), top + static_cast<int>(row), coverage);
          }
        }
      }
      const bool underline = (index < stripped.underlined.size() && stripped.underlined[index]) ||
                             font_.underline;
      if (underline) {
        for (int t = 0; t < underline_thickness_; ++t) {
          for (int px = pen; px < pen + advance; ++px) plot(px, baseline + underline_offset_ + t, 255);
        }
      }
      if (font_.strikethrough) {
        for (int px = pen; px < pen + advance; ++px) plot(px, baseline - ascent_ / 3, 255);
      }
      pen += advance;
      ++index;
    }
    line_top += LineHeight();
  }
}

}  // namespace vorela::posix
