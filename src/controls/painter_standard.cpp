// Painters 0 and 1: the rectangular styles with fixed palettes. Painter 0 is a
// raised button with a two-band gradient and coloured accents for focus and
// hover; painter 1 is flat until touched.
//
// Layout, in client pixels (W x H):
//   painter 0  body rows 0..H-4 and H-3..H-1 (pressed: 0..3, 4..H-4, H-3..H-1),
//              columns 1..W-2; accents on rows 1 and 2, on the side columns 1-2
//              and W-3..W-2 from row 3 to H-4, and on rows H-3 and H-2; border
//              on the outer ring with the corner pixel and its two neighbours
//              in their own colours.
//   painter 1  body rows 1..3, 4..H-5 and H-4..H-2 (checked: a white rectangle),
//              outer ring in the first line colour, a shadow on row H-2 and
//              column W-2 in the second.
#include "controls/candy_button.h"
#include "controls/painter_util.h"

namespace vorela {
namespace {

struct AccentPalette {
  Color row1;
  Color row2;
  Color side_end;
  Color bottom1;
  Color bottom2;
};

constexpr AccentPalette kFocusAccent = {Rgb(206, 231, 255), Rgb(188, 212, 246),
                                        Rgb(137, 173, 228), Rgb(137, 173, 228),
                                        Rgb(105, 130, 238)};
constexpr AccentPalette kHoverAccent = {Rgb(255, 240, 202), Rgb(253, 216, 137),
                                        Rgb(248, 178, 48), Rgb(248, 178, 48),
                                        Rgb(229, 151, 0)};

void FillHostBackground(DrawingSurface& surface, const CandyButtonHost& host) {
  Color background = 0;
  if (host.BackgroundColor(&background)) {
    surface.FillRect(0, 0, surface.Width(), surface.Height(), background);
  }
}

void DrawAccent(DrawingSurface& s, const AccentPalette& p, int w, int h) {
  s.DrawLine(2, 1, w - 2, 1, p.row1);
  s.DrawLine(2, 2, w - 2, 2, p.row2);
  for (int y = 3; y <= h - 4; ++y) {
    const Color c = GradientAt(p.row2, p.side_end, y, 3, h - 4);
    s.DrawLine(1, y, 3, y, c);
    s.DrawLine(w - 3, y, w - 1, y, c);
  }
  s.DrawLine(2, h - 3, w - 2, h - 3, p.bottom1);
  s.DrawLine(2, h - 2, w - 2, h - 2, p.bottom2);
}

// The four corner pixels, then the pixels beside each corner, then the edges.
void DrawRing(DrawingSurface& s, int w, int h, Color corner, Color beside, Color edge) {
  const int xs[2] = {0, w - 1};
  const int ys[2] = {0, h - 1};
  for (int x : xs) {
    for (int y : ys) s.SetPixel(x, y, corner);
  }
  for (int y : ys) {
    s.SetPixel(1, y, beside);
    s.SetPixel(w - 2, y, beside);
  }
  for (int x : xs) {
    s.SetPixel(x, 1, beside);
    s.SetPixel(x, h - 2, beside);
  }
  s.DrawLine(2, 0, w - 2, 0, edge);
  s.DrawLine(2, h - 1, w - 2, h - 1, edge);
  s.DrawLine(0, 2, 0, h - 2, edge);
  s.DrawLine(w - 1, 2, w - 1, h - 2, edge);
}

}  // namespace

void CandyButton::PaintStandard(std::int32_t state) {
  DrawingSurface& s = *surface_;
  const int w = s.Width();
  const int h = s.Height();
  FillHostBackground(s, host_);
  if (state == kStatePressed) {
    FillRowGradient(s, 0, 3, 1, w - 1, Rgb(209, 204, 193), Rgb(229, 228, 221));
    FillRowGradient(s, 4, h - 4, 1, w - 1, Rgb(229, 228, 221), Rgb(226, 226, 218));
    FillRowGradient(s, h - 3, h - 1, 1, w - 1, Rgb(226, 226, 218), Rgb(242, 241, 238));
  } else {
    FillRowGradient(s, 0, h - 4, 1, w - 1, Rgb(255, 255, 255), Rgb(236, 235, 230));
    FillRowGradient(s, h - 3, h - 1, 1, w - 1, Rgb(236, 235, 230), Rgb(214, 208, 197));
  }
  if (state == kStateFocused) DrawAccent(s, kFocusAccent, w, h);
  if (state == kStateHover) DrawAccent(s, kHoverAccent, w, h);
  DrawRing(s, w, h, Rgb(122, 149, 168), Rgb(37, 87, 131), Rgb(0, 60, 116));
}

void CandyButton::PaintFlat(std::int32_t state) {
  DrawingSurface& s = *surface_;
  const int w = s.Width();
  const int h = s.Height();
  FillHostBackground(s, host_);
  Color corner, outer, inner;
  switch (state) {
    case kStatePressed:
      FillRowGradient(s, 1, 3, 1, w - 1, Rgb(220, 218, 209), Rgb(231, 230, 224));
      FillRowGradient(s, 4, h - 5, 1, w - 1, Rgb(231, 230, 224), Rgb(225, 224, 216));
      FillRowGradient(s, h - 4, h - 2, 1, w - 1, Rgb(225, 224, 216), Rgb(235, 234, 229));
      corner = Rgb(215, 215, 204), outer = Rgb(179, 179, 168), inner = Rgb(157, 157, 146);
      break;
    case kStateHover:
      FillRowGradient(s, 1, 3, 1, w - 1, Rgb(254, 254, 253), Rgb(252, 252, 249));
      FillRowGradient(s, 4, h - 5, 1, w - 1, Rgb(252, 252, 249), Rgb(238, 237, 229));
      FillRowGradient(s, h - 4, h - 2, 1, w - 1, Rgb(238, 237, 229), Rgb(215, 210, 198));
      corner = Rgb(232, 232, 221), outer = Rgb(216, 216, 205), inner = Rgb(206, 206, 195);
      break;
    case kStateChecked:
      s.FillRect(1, 1, w - 1, h - 1, kWhite);
      corner = Rgb(203, 213, 214), outer = Rgb(152, 175, 190), inner = Rgb(122, 152, 175);
      break;
    default:
      return;  // normal and focused show only picture and caption
  }
  const int xs[2] = {0, w - 1};
  const int ys[2] = {0, h - 1};
  for (int x : xs) {
    for (int y : ys) s.SetPixel(x, y, corner);
  }
  s.DrawLine(1, 0, w - 1, 0, outer);
  s.DrawLine(1, h - 1, w - 1, h - 1, outer);
  s.DrawLine(0, 1, 0, h - 1, outer);
  s.DrawLine(w - 1, 1, w - 1, h - 1, outer);
  s.DrawLine(1, h - 2, w - 1, h - 2, inner);
  s.DrawLine(w - 2, 1, w - 2, h - 2, inner);
}

}  // namespace vorela
