// Pixels of the painted button at chosen points, for every style and state,
// on this build's drawing surface: the POSIX image, or GDI into a memory DIB
// under Wine. Fills, lines, single pixels and regions land on the same pixels
// on both; ellipse rims and glyph rasters do not, so the glow centre and the
// caption are checked with a tolerance or by their position, never skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/button_geometry.h"
#include "controls/button_test_support.h"
#include "drawing/icon_builder.h"

namespace vorela {
namespace {

constexpr Color kFace = Rgb(236, 233, 216);

struct PaintRig {
  explicit PaintRig(int style, int width = 100, int height = 30) {
    button = std::make_unique<CandyButton>("cmdOK", host, CreateDrawingSurface());
    button->Surface().Resize(width, height);
    button->InitProperties();
    button->SetCaption("");
    button->SetStyle(style);
    button->OnResize();
  }
  Color At(int x, int y) const { return button->Surface().GetPixel(x, y); }
  testing::RecordingHost host;
  std::unique_ptr<CandyButton> button;
};

::testing::AssertionResult Near(Color actual, Color expected, int tolerance) {
  const int d = std::max({std::abs(RedOf(actual) - RedOf(expected)),
                          std::abs(GreenOf(actual) - GreenOf(expected)),
                          std::abs(BlueOf(actual) - BlueOf(expected))});
  if (d <= tolerance) return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "(%d,%d,%d) is not within %d of (%d,%d,%d)", RedOf(actual),
                GreenOf(actual), BlueOf(actual), tolerance, RedOf(expected), GreenOf(expected),
                BlueOf(expected));
  return ::testing::AssertionFailure() << text;
}

Color Blend(Color a, Color b, int p) { return BlendColors(a, b, p, nullptr); }

// Scheme 1 gives four distinct body colours.
const SchemeColors& Scheme1() { return *BuiltInScheme(1); }

Color BodyFor(int state) {
  if (state == 3) return Scheme1().hover;
  if (state == 1 || state == 4) return Scheme1().down;
  return Scheme1().up;
}

class GlossPainting : public ::testing::TestWithParam<int> {};

TEST_P(GlossPainting, BodyBorderGlossLineAndGlowPerState) {
  const int style = GetParam();
  struct Expect {
    int r, slope;
    int glow_y;
  };
  // Radius and gloss slope of the style at 100 x 30, and a row near the glow
  // centre inside the inner outline.
  const Expect e = style == 3   ? Expect{12, 70, 27}
                   : style == 7 ? Expect{8, 50, 15}
                   : style == 5 ? Expect{16, 40, 27}
                   : style == 4 ? Expect{16, 70, 27}
                                : Expect{16, 50, 27};
  for (int state = 0; state <= 4; ++state) {
    SCOPED_TRACE("state " + std::to_string(state));
    PaintRig rig(style);
    rig.button->SetColorScheme(1);
    rig.button->Redraw(state);
    const Color body = BodyFor(state);
    // With BorderBrightness 0 the border is the body colour.
    EXPECT_EQ(rig.At(1, 15), body);
    EXPECT_EQ(rig.At(99, 15), body);  // the mirror column
    EXPECT_EQ(rig.button->CornerRadius(), e.r);
    // The gloss line on row 5: white blended towards the body by row x slope / r.
    const int percent = RoundHalfEven(5.0 * e.slope / e.r);
    EXPECT_EQ(rig.At(50, 5), Blend(kWhite, body, percent)) << percent << "%";
    // The glow reaches the light colour at its centre.
    EXPECT_TRUE(Near(rig.At(50, e.glow_y), Scheme1().bright, 16));
  }
}

INSTANTIATE_TEST_SUITE_P(Styles, GlossPainting, ::testing::Values(2, 3, 4, 5, 7));

TEST(GlossPainting, BodyFillOutsideGlowAndGloss) {
  PaintRig two(2);
  two.button->SetColorScheme(1);
  two.button->Redraw(0);
  EXPECT_EQ(two.At(5, 10), Scheme1().up);
  EXPECT_EQ(two.At(94, 10), Scheme1().up);
  PaintRig three(3);
  three.button->SetColorScheme(1);
  three.button->Redraw(3);
  EXPECT_EQ(three.At(6, 4), Scheme1().hover);
}

TEST(GlossPainting, BorderBrightnessLightensOrDarkens) {
  PaintRig rig(2);
  rig.button->SetColorScheme(1);
  rig.button->SetBorderBrightness(50);
  EXPECT_EQ(rig.At(1, 15), Blend(Scheme1().up, kWhite, 50));
  rig.button->SetBorderBrightness(-50);
  EXPECT_EQ(rig.At(1, 15), Blend(Scheme1().up, kBlack, 50));
  EXPECT_EQ(rig.At(99, 15), Blend(Scheme1().up, kBlack, 50));
}

TEST(GlossPainting, DisabledIsGreyWithAWhiteGlowWhateverItsColours) {
  PaintRig rig(2);
  rig.button->SetColorScheme(4);
  rig.button->SetEnabled(false);
  const Color grey = Rgb(192, 192, 176);
  EXPECT_EQ(rig.At(1, 15), grey);
  EXPECT_EQ(rig.At(5, 10), grey);
  EXPECT_TRUE(Near(rig.At(50, 27), kWhite, 16));
}

TEST(GelPainting, EdgeMiddleCrescentAndBottomBlend) {
  for (int state = 0; state <= 4; ++state) {
    SCOPED_TRACE("state " + std::to_string(state));
    PaintRig rig(6);
    rig.button->SetColorScheme(1);
    rig.button->Redraw(state);
    const Color body = BodyFor(state);
    ASSERT_EQ(rig.button->CornerRadius(), 10);
    EXPECT_EQ(rig.At(1, 15), Blend(kBlack, body, 50));
    EXPECT_EQ(rig.At(99, 15), Blend(kBlack, body, 50));
    EXPECT_EQ(rig.At(50, 15), body);
    EXPECT_EQ(rig.At(50, 3), Blend(kWhite, body, 9));
    EXPECT_EQ(rig.At(50, 26), Blend(body, Scheme1().bright, 73));
    EXPECT_EQ(rig.At(0, 0), kWhite);  // outside both outlines: the cleared image
  }
}

TEST(StandardPainting, PaletteByState) {
  PaintRig rig(0);
  rig.button->Redraw(0);
  EXPECT_EQ(rig.At(0, 0), Rgb(122, 149, 168));
  EXPECT_EQ(rig.At(1, 0), Rgb(37, 87, 131));
  EXPECT_EQ(rig.At(50, 0), Rgb(0, 60, 116));
  EXPECT_EQ(rig.At(0, 15), Rgb(0, 60, 116));
  EXPECT_EQ(rig.At(99, 15), Rgb(0, 60, 116));
  EXPECT_EQ(rig.At(50, 1), kWhite);
  EXPECT_EQ(rig.At(50, 10), Rgb(248, 248, 246));
  rig.button->Redraw(2);
  EXPECT_EQ(rig.At(50, 1), Rgb(206, 231, 255));
  EXPECT_EQ(rig.At(50, 2), Rgb(188, 212, 246));
  EXPECT_EQ(rig.At(50, 28), Rgb(105, 130, 238));
  rig.button->Redraw(3);
  EXPECT_EQ(rig.At(50, 1), Rgb(255, 240, 202));
  EXPECT_EQ(rig.At(1, 3), Rgb(253, 216, 137));
  EXPECT_EQ(rig.At(50, 28), Rgb(229, 151, 0));
  rig.button->Redraw(1);
  EXPECT_EQ(rig.At(50, 10), Rgb(229, 228, 221));
  EXPECT_EQ(rig.At(50, 1), Rgb(215, 212, 202));
  EXPECT_EQ(rig.At(50, 0), Rgb(0, 60, 116));
}

TEST(FlatPainting, OnlyTouchedStatesHaveABody) {
  PaintRig rig(1);
  rig.button->Redraw(0);
  EXPECT_EQ(rig.At(50, 10), kFace);
  EXPECT_EQ(rig.At(0, 0), kFace);
  rig.button->Redraw(2);
  EXPECT_EQ(rig.At(50, 0), kFace);
  rig.button->Redraw(3);
  EXPECT_EQ(rig.At(50, 10), Rgb(248, 248, 244));
  EXPECT_EQ(rig.At(0, 0), Rgb(232, 232, 221));
  EXPECT_EQ(rig.At(50, 0), Rgb(216, 216, 205));
  EXPECT_EQ(rig.At(50, 28), Rgb(206, 206, 195));
  rig.button->Redraw(1);
  EXPECT_EQ(rig.At(50, 10), Rgb(230, 229, 222));
  EXPECT_EQ(rig.At(50, 0), Rgb(179, 179, 168));
  rig.button->SetChecked(true);
  EXPECT_EQ(rig.At(50, 10), kWhite);
  EXPECT_EQ(rig.At(0, 0), Rgb(203, 213, 214));
  EXPECT_EQ(rig.At(50, 0), Rgb(152, 175, 190));
}

TEST(ButtonShapePixels, OutlineMatchesThePointTest) {
  for (int style : {2, 3, 6, 7}) {
    PaintRig rig(style, 75, 23);
    const Region* outline = rig.button->Surface().WindowRegion();
    ASSERT_NE(outline, nullptr);
    const int r = rig.button->CornerRadius();
    for (int y = -1; y <= 24; ++y) {
      for (int x = -1; x <= 76; ++x) {
        ASSERT_EQ(outline->Contains(x, y), IsInRoundRect(x, y, 0, 0, 75, 23, r))
            << "style " << style << " at " << x << "," << y;
        ASSERT_EQ(outline->Contains(x, y), outline->Contains(75 - x, y));
      }
    }
  }
}

// Bounding box of the pixels darker than the threshold.
struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};
Box DarkBox(const CandyButton& b, int threshold) {
  Box box;
  const DrawingSurface& s = b.Surface();
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const Color c = s.GetPixel(x, y);
      if (RedOf(c) + GreenOf(c) + BlueOf(c) < threshold * 3) {
        box.left = std::min(box.left, x), box.top = std::min(box.top, y);
        box.right = std::max(box.right, x), box.bottom = std::max(box.bottom, y);
      }
    }
  }
  return box;
}

TEST(CaptionPixels, PressedMovesCaptionAndPictureOnePixelAndGreyedHasNoInk) {
  PaintRig rig(1);
  rig.button->SetCaption("OK");
  rig.button->Redraw(0);
  const Box normal = DarkBox(*rig.button, 80);
  ASSERT_GE(normal.right, normal.left) << "no caption drawn";
  // Glyph rasters differ between the font engines; the caption is centred
  // within a few pixels on both.
  EXPECT_NEAR((normal.left + normal.right) / 2.0, 50, 4);
  EXPECT_NEAR((normal.top + normal.bottom) / 2.0, 15, 4);
  rig.button->Redraw(1);
  const Box pressed = DarkBox(*rig.button, 80);
  EXPECT_EQ(pressed.left, normal.left + 1);
  EXPECT_EQ(pressed.top, normal.top + 1);
  EXPECT_EQ(pressed.right, normal.right + 1);
  EXPECT_EQ(pressed.bottom, normal.bottom + 1);

  rig.button->SetEnabled(false);
  const Box greyed = DarkBox(*rig.button, 40);
  EXPECT_LT(greyed.right, greyed.left) << "greyed text has no black ink";

  testing::TestImage red;
  red.width = red.height = 16;
  red.colors.assign(256, Rgb(255, 0, 0));
  red.masked.assign(256, false);
  auto picture = LoadPictureFromBytes(testing::BmpFile(red));
  ASSERT_TRUE(picture);
  rig.button->SetEnabled(true);
  rig.button->SetCaption("");
  rig.button->SetPictureAlignment(2);
  rig.button->SetPicture(picture);
  EXPECT_EQ(rig.At(8, 8), Rgb(255, 0, 0));
  EXPECT_EQ(rig.At(7, 8), kFace);
  rig.button->Redraw(1);
  EXPECT_EQ(rig.At(9, 9), Rgb(255, 0, 0));
  EXPECT_NE(rig.At(8, 8), Rgb(255, 0, 0));
  rig.button->SetIconHighLite(true);
  rig.button->SetIconHighLiteColor(Rgb(0, 128, 0));
  rig.button->Redraw(3);
  EXPECT_EQ(rig.At(12, 12), Rgb(0, 128, 0));
  rig.button->SetEnabled(false);
  EXPECT_NE(rig.At(12, 12), Rgb(255, 0, 0));
}

}  // namespace
}  // namespace vorela
