#include "controls/button_colors.h"

#include <algorithm>
#include <array>

namespace vorela {

Color PlatformTranslateColor(Color color) {
  Color rgb = kBlack;
  if (!TranslateOleColor(color, &rgb)) return kBlack;
  return rgb;
}

RgbChannels GetRGB(Color color, const ColorTranslator& translate) {
  const Color resolved = translate ? translate(color) : PlatformTranslateColor(color);
  return {static_cast<int>(resolved & 0xFF),
          static_cast<int>((resolved >> 8) & 0xFF),
          static_cast<int>((resolved >> 16) & 0xFF)};
}

Color BlendColors(Color color1, Color color2, int percentage,
                  const ColorTranslator& translate) {
  const int p = std::clamp(percentage, 0, 100);
  const RgbChannels a = GetRGB(color1, translate);
  const RgbChannels b = GetRGB(color2, translate);
  auto mix = [p](int from, int to) { return from + (to - from) * p / 100; };
  return Rgb(mix(a.red, b.red), mix(a.green, b.green),
                 mix(a.blue, b.blue));
}

const SchemeColors* BuiltInScheme(std::int32_t scheme) {
  static constexpr std::array<SchemeColors, 6> kSchemes = {{
      {Rgb(32, 103, 208), Rgb(80, 153, 233), Rgb(16, 103, 160),
       Rgb(176, 237, 255)},
      {Rgb(96, 144, 208), Rgb(0, 96, 224), Rgb(80, 128, 169),
       Rgb(250, 250, 255)},
      {Rgb(0, 0, 128), Rgb(0, 0, 160), Rgb(0, 0, 240),
       Rgb(0, 0, 255)},
      {Rgb(128, 0, 0), Rgb(160, 0, 0), Rgb(240, 0, 0),
       Rgb(255, 0, 0)},
      {Rgb(0, 128, 0), Rgb(0, 160, 0), Rgb(0, 192, 0),
       Rgb(0, 255, 0)},
      {Rgb(128, 128, 0), Rgb(160, 160, 0), Rgb(192, 192, 0),
       Rgb(255, 255, 0)},
  }};
  if (scheme < 1 || scheme > 6) return nullptr;
  return &kSchemes[scheme - 1];
}

}  // namespace vorela
