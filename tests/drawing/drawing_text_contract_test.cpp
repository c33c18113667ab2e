// Caption text on the drawing surface, on both backends. The glyphs come from
// two rasterisers (FreeType's anti-aliased output here, GDI's own under Wine
// and Windows) fed with the same Tahoma file, so individual pixels differ by
// design; what the button's layout relies on is checked exactly where both
// agree (line height, prefix handling, colours of the disabled look) and
// within a stated tolerance otherwise: GDI under Wine gives a quarter of the
// characters an advance one pixel wider or narrower than the face's design
// advance that we use, so a word's width may be off by up to 3 pixels; the
// ink of a word lies in the same box within a pixel.
#include <gtest/gtest.h>

#include <set>

#include "platform/drawing_surface.h"

namespace vorela {
namespace {

constexpr Color kBack = Rgb(0, 0, 128);

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};

Box InkBox(const DrawingSurface& s, Color back) {
  Box box;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.GetPixel(x, y) == back) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box;
}

std::unique_ptr<DrawingSurface> Surface(int w, int h, Color back) {
  auto s = CreateDrawingSurface();
  s->SetBackColor(back);
  s->Resize(w, h);
  return s;
}

TEST(DrawingTextContract, TahomaNinePointMeasuresAsGdiDoes) {
  auto s = Surface(80, 40, kBack);
  EXPECT_EQ(s->Font().face, "Tahoma");
  EXPECT_EQ(s->Font().points, 9.0);
  const TextExtent ok = s->MeasureText("OK");
  EXPECT_EQ(ok.height, 14);  // GDI: ascent 12 + descent 2
  // GDI's widths for Tahoma 9 pt, measured under Wine.
  EXPECT_NEAR(s->MeasureText("AgOK").width, 30, 2);
  EXPECT_NEAR(ok.width, 16, 2);
  EXPECT_NEAR(s->MeasureText("Install").width, 35, 3);
  EXPECT_NEAR(s->MeasureText("&Cancel").width, 38, 3);
  EXPECT_NEAR(s->MeasureText("vorela! AgKy").width, 68, 3);
  EXPECT_EQ(s->MeasureText("").width, 0);
  EXPECT_EQ(s->MeasureText("").height, 0);
}

TEST(DrawingTextContract, PrefixesAreTakenOutOfTheMeasure) {
  auto s = Surface(10, 10, kBack);
  const TextExtent ok = s->MeasureText("OK");
  EXPECT_EQ(s->MeasureText("&OK").width, ok.width);
  EXPECT_EQ(s->MeasureText("O&K").width, ok.width);
  EXPECT_EQ(s->MeasureText("A&B").width, s->MeasureText("AB").width);
  EXPECT_EQ(s->MeasureText("A&&B").width, s->MeasureText("A").width +
                                              s->MeasureText("&&").width +
                                              s->MeasureText("B").width);
  EXPECT_GT(s->MeasureText("A&&B").width, s->MeasureText("AB").width);
  const TextExtent two = s->MeasureText("OK\r\nCancel");
  EXPECT_EQ(two.height, 2 * ok.height);
  EXPECT_EQ(two.width, s->MeasureText("Cancel").width);
}

TEST(DrawingTextContract, TextLandsInsideItsMeasuredBox) {
  auto s = Surface(80, 30, kBack);
  s->SetForeColor(Rgb(255, 255, 0));
  const TextExtent e = s->MeasureText("Install");
  s->DrawText(10, 5, "Install", false);
  const Box box = InkBox(*s, kBack);
  ASSERT_FALSE(box.empty());
  EXPECT_GE(box.left, 10);
  EXPECT_LE(box.left, 11);
  EXPECT_GE(box.top, 5);
  EXPECT_LE(box.right, 10 + e.width + 1);
  EXPECT_LE(box.bottom, 5 + e.height);
  // Capital I reaches from the cap height to the baseline: ascent 12 puts the
  // baseline below row 5 + 12 - 1; the cap height is 9 pixels at this size.
  EXPECT_EQ(box.bottom, 5 + 12);
  EXPECT_NEAR(box.top, 5 + 12 - 9, 1);
  // Fully covered pixels are in the fore colour.
  bool solid = false;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) solid |= s->GetPixel(x, y) == Rgb(255, 255, 0);
  }
  EXPECT_TRUE(solid);
}

TEST(DrawingTextContract, MnemonicUnderlinesOneCharacterOnly) {
  // A full row of ink below the baseline under the marked character, and
  // none without the marker.
  auto underline_row = [](std::string_view text, int* from, int* to) {
    auto s = Surface(60, 24, kBack);
    s->SetForeColor(Rgb(255, 255, 255));
    s->DrawText(2, 2, text, false);
    for (int y = 2 + 12; y < 2 + 14; ++y) {
      int run = 0, best = 0, end = 0;
      for (int x = 0; x < s->Width(); ++x) {
        run = s->GetPixel(x, y) == Rgb(255, 255, 255) ? run + 1 : 0;
        if (run > best) {
          best = run;
          end = x + 1;
        }
      }
      if (best >= 4) {
        *from = end - best;
        *to = end;
        return true;
      }
    }
    return false;
  };
  int from = 0, to = 0;
  EXPECT_FALSE(underline_row("OK", &from, &to));
  ASSERT_TRUE(underline_row("&OK", &from, &to));
  auto s = Surface(10, 10, kBack);
  const int o = s->MeasureText("O").width;
  EXPECT_NEAR(from, 2, 1);
  EXPECT_NEAR(to - from, o, 1);
  ASSERT_TRUE(underline_row("O&K", &from, &to));
  EXPECT_NEAR(from, 2 + o, 1);
  EXPECT_FALSE(underline_row("A&&B", &from, &to));
}

TEST(DrawingTextContract, GreyedTextIsShadowOverHighlightWhateverTheForeColour) {
  auto s = Surface(60, 24, kBack);
  s->SetForeColor(Rgb(255, 0, 0));
  s->DrawText(3, 3, "&Greyed", true);
  Color shadow = 0, highlight = 0;
  ASSERT_TRUE(TranslateOleColor(SystemColor(kColorBtnShadow), &shadow));
  ASSERT_TRUE(TranslateOleColor(SystemColor(kColorBtnHighlight), &highlight));
  std::set<Color> seen;
  int shadows = 0;
  for (int y = 0; y < s->Height(); ++y) {
    for (int x = 0; x < s->Width(); ++x) {
      const Color c = s->GetPixel(x, y);
      seen.insert(c);
      if (c != shadow) continue;
      ++shadows;
      // The highlight copy lies one pixel right and down, under the shadow.
      const Color below = s->GetPixel(x + 1, y + 1);
      EXPECT_TRUE(below == shadow || below == highlight) << x << "," << y;
    }
  }
  EXPECT_GT(shadows, 20);
  EXPECT_EQ(seen, (std::set<Color>{kBack, shadow, highlight}));
  EXPECT_EQ(s->ForeColor(), Rgb(255, 0, 0));

  // Greyed text sits where the normal text sits (plus its highlight copy).
  auto normal = Surface(60, 24, kBack);
  normal->SetForeColor(shadow);
  normal->DrawText(3, 3, "&Greyed", false);
  const Box plain = InkBox(*normal, kBack);
  const Box grey = InkBox(*s, kBack);
  EXPECT_NEAR(grey.left, plain.left, 1);
  EXPECT_NEAR(grey.top, plain.top, 1);
  EXPECT_NEAR(grey.right, plain.right + 1, 1);
  EXPECT_NEAR(grey.bottom, plain.bottom + 1, 1);
}

TEST(DrawingTextContract, BoldFontIsWiderAndFontChangesApply) {
  auto s = Surface(10, 10, kBack);
  const int normal = s->MeasureText("Bold text").width;
  FontSpec bold = s->Font();
  bold.bold = true;
  s->SetFont(bold);
  EXPECT_TRUE(s->Font().bold);
  EXPECT_GT(s->MeasureText("Bold text").width, normal);
  FontSpec big;
  big.points = 18;
  s->SetFont(big);
  EXPECT_NEAR(s->MeasureText("OK").height, 29, 1);  // GDI: 29 at 24 pixels

  // A face nobody has still gives text: the platform's nearest match.
  FontSpec missing;
  missing.face = "No Such Face Anywhere";
  s->SetFont(missing);
  EXPECT_GT(s->MeasureText("OK").width, 5);
  s->SetForeColor(Rgb(255, 255, 255));
  s->DrawText(0, 0, "OK", false);
  EXPECT_FALSE(InkBox(*s, kBack).empty());
}

}  // namespace
}  // namespace vorela
