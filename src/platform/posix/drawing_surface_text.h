// Caption text for the POSIX drawing surface, through FreeType with the same
// Tahoma file the Windows build gets under Wine (fontconfig's best match when
// the face is missing). Metrics follow GDI's for a font of negative height:
// the em is the point size at 96 pixels per inch, the ascent and descent come
// from the face's Windows ascent and descent, advances are the face's design
// advances rounded to whole pixels, one line is ascent + descent high.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drawing_surface.h"

namespace vorela::posix {

// Text with its mnemonic prefixes taken out: "&x" underlines x, "&&" is "&".
struct PrefixedText {
  std::u32string text;
  std::vector<bool> underlined;  // one flag per character of text
};
PrefixedText StripPrefixes(std::string_view utf8);

class TextRenderer {
 public:
  explicit TextRenderer(const FontSpec& font);
  ~TextRenderer();
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  bool HasFace() const;
  int Ascent() const { return ascent_; }
  int LineHeight() const { return ascent_ + descent_; }

  TextExtent Measure(std::string_view utf8);
  // Calls plot for every pixel the text covers, with its coverage (1-255),
  // the text's top-left corner at (x, y). mono renders without anti-aliasing
  // (the disabled look is drawn from a one-bit image, as GDI makes it).
  void Render(std::string_view utf8, int x, int y, bool mono,
              const std::function<void(int, int, int)>& plot);

 private:
  struct Face;
  int Advance(char32_t c);
  std::unique_ptr<Face> face_;
  FontSpec font_;
  int ascent_ = 0;
  int descent_ = 0;
  int underline_offset_ = 1;  // below the baseline
  int underline_thickness_ = 1;
};

// Where the face's file is: Wine's own Tahoma first, then fontconfig.
std::string FindFontFile(const std::string& face, bool bold, bool italic);

}  // namespace vorela::posix
