// Colour arithmetic of the button: colours are 32-bit values with red in the
// low byte, green in the second and blue in the third. System colours (high
// bit set) are resolved through a translation function before any channel is
// read, so the painters never see an unresolved value.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/drawing_surface.h"

namespace vorela {

inline constexpr Color kBlack = Rgb(0, 0, 0);
inline constexpr Color kWhite = Rgb(255, 255, 255);

// Resolves a colour value to plain RGB (system colours become their RGB).
using ColorTranslator = std::function<Color(Color)>;

// The platform's translation; a value it refuses resolves to black, as the
// surface draws it.
Color PlatformTranslateColor(Color color);

struct RgbChannels {
  int red = 0;
  int green = 0;
  int blue = 0;
};

// Splits a colour into its channels after translation. Without a translator
// the platform's translation is used.
RgbChannels GetRGB(Color color, const ColorTranslator& translate);

// Mixes color2 into color1 by percentage (clamped to 0..100); each channel
// moves with integer division truncating toward zero.
Color BlendColors(Color color1, Color color2, int percentage,
                  const ColorTranslator& translate);

// The four colours of a built-in scheme, in the order the scheme assigns them.
struct SchemeColors {
  Color up;
  Color hover;
  Color down;
  Color bright;
};

// Scheme 1..6; nullptr for any other number (free colours).
const SchemeColors* BuiltInScheme(std::int32_t scheme);

}  // namespace vorela
