// Shape arithmetic, colour blending and the gloss descriptor table.
#include <gtest/gtest.h>

#include <vector>

#include "controls/button_colors.h"
#include "controls/button_geometry.h"
#include "controls/gloss_descriptor.h"

namespace vorela {
namespace {

TEST(ButtonGeometry, RoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(17.6), 18);
}

TEST(ButtonGeometry, CornerRadiusPerStyle) {
  EXPECT_EQ(CornerRadiusFor(2, 100, 30, 0), 16);
  for (int size : {10, 30, 97, 400}) EXPECT_EQ(CornerRadiusFor(3, size, size / 2, 0), 12);
  EXPECT_EQ(CornerRadiusFor(4, 20, 60, 0), 10);  // clamped to half the width
  EXPECT_EQ(CornerRadiusFor(6, 100, 30, 0), 10);
  EXPECT_EQ(CornerRadiusFor(6, 100, 2, 0), 1);  // never below 1
  EXPECT_EQ(CornerRadiusFor(7, 100, 30, 0), 8);
  // Rectangular and unknown styles keep what they had.
  EXPECT_EQ(CornerRadiusFor(0, 100, 30, 5), 5);
  EXPECT_EQ(CornerRadiusFor(1, 100, 30, 0), 0);
  EXPECT_EQ(CornerRadiusFor(9, 100, 30, 7), 7);
}

TEST(ButtonGeometry, RoundRectExcludesEdgesAndCorners) {
  // Row 0 and column 0 are outside; the far edges are outside as well.
  EXPECT_FALSE(IsInRoundRect(0, 10, 0, 0, 100, 30, 8));
  EXPECT_FALSE(IsInRoundRect(50, 0, 0, 0, 100, 30, 8));
  EXPECT_FALSE(IsInRoundRect(100, 10, 0, 0, 100, 30, 8));
  EXPECT_TRUE(IsInRoundRect(1, 15, 0, 0, 100, 30, 8));
  EXPECT_TRUE(IsInRoundRect(50, 1, 0, 0, 100, 30, 8));
  EXPECT_FALSE(IsInRoundRect(1, 1, 0, 0, 100, 30, 8));  // cut corner
  EXPECT_TRUE(IsInRoundRect(1, 1, 0, 0, 100, 30, 0));   // square corners
  EXPECT_TRUE(IsInRoundRect(8, 8, 0, 0, 100, 30, 8));   // the circle's centre
  // Offsets move the rectangle.
  EXPECT_FALSE(IsInRoundRect(1, 15, 1, 1, 98, 28, 8));
  EXPECT_TRUE(IsInRoundRect(2, 15, 1, 1, 98, 28, 8));
}

TEST(ButtonGeometry, RoundRectIsSymmetric) {
  for (int radius : {1, 4, 12, 16, 40}) {
    const int w = 61, h = 31;
    for (int y = -1; y <= h + 1; ++y) {
      for (int x = -1; x <= w + 1; ++x) {
        ASSERT_EQ(IsInRoundRect(x, y, 0, 0, w, h, radius),
                  IsInRoundRect(w - x, y, 0, 0, w, h, radius))
            << x << "," << y << " r" << radius;
        ASSERT_EQ(IsInRoundRect(x, y, 0, 0, w, h, radius),
                  IsInRoundRect(x, h - y, 0, 0, w, h, radius));
      }
    }
  }
}

// Applies the plan to a pixel grid by exclusive-or, as a region would.
std::vector<std::vector<bool>> Apply(const RoundRegionPlan& plan, int w, int h) {
  std::vector<std::vector<bool>> grid(h + 4, std::vector<bool>(w + 4, false));
  auto toggle = [&](const PixelRect& r) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) grid.at(y).at(x) = !grid.at(y).at(x);
    }
  };
  toggle(plan.bounds);
  for (const PixelRect& cut : plan.cuts) toggle(cut);
  return grid;
}

TEST(ButtonGeometry, RegionPlanMatchesPointTestPixelByPixel) {
  struct Case { int w, h, r; };
  for (const Case c : {Case{100, 30, 16}, Case{75, 23, 12}, Case{200, 60, 31}, Case{9, 5, 1},
                       Case{20, 20, 12}, Case{64, 21, 6}}) {
    const auto grid = Apply(PlanRoundRegion(0, 0, c.w, c.h, c.r), c.w, c.h);
    for (int y = 0; y < c.h + 4; ++y) {
      for (int x = 0; x < c.w + 4; ++x) {
        ASSERT_EQ(grid[y][x], IsInRoundRect(x, y, 0, 0, c.w, c.h, c.r))
            << c.w << "x" << c.h << " r" << c.r << " at " << x << "," << y;
      }
    }
  }
}

TEST(ButtonGeometry, RegionPlanStaysInsideItsRectangle) {
  // The inner outline: nothing below or right of (x + w, y + h) is touched.
  const auto plan = PlanRoundRegion(1, 1, 98, 28, 16);
  for (const PixelRect& cut : plan.cuts) {
    EXPECT_GE(cut.left, 0);
    EXPECT_LE(cut.right, 99);
    EXPECT_LT(cut.top, 29);
  }
}

TEST(ButtonColors, BlendClampsAndTruncates) {
  const Color a = Rgb(255, 10, 0);
  const Color b = Rgb(0, 110, 7);
  EXPECT_EQ(BlendColors(a, b, 150, nullptr), b);
  EXPECT_EQ(BlendColors(a, b, -10, nullptr), a);
  EXPECT_EQ(BlendColors(a, b, 0, nullptr), a);
  EXPECT_EQ(BlendColors(a, b, 100, nullptr), b);
  // 255 - 255 * 33 / 100 = 255 - 84 (toward zero); 7 * 33 / 100 = 2.
  EXPECT_EQ(BlendColors(a, b, 33, nullptr), Rgb(171, 43, 2));
}

TEST(ButtonColors, SystemColoursGoThroughTheTranslation) {
  const ColorTranslator translate = [](Color c) {
    return c == SystemColor(kColorBtnFace) ? Rgb(236, 233, 216) : c;
  };
  const RgbChannels face = GetRGB(SystemColor(kColorBtnFace), translate);
  EXPECT_EQ(face.red, 236);
  EXPECT_EQ(face.green, 233);
  EXPECT_EQ(face.blue, 216);
  EXPECT_EQ(BlendColors(SystemColor(kColorBtnFace), kBlack, 0, translate), Rgb(236, 233, 216));
}

TEST(ButtonColors, SchemesHoldTheirFourColours) {
  EXPECT_EQ(BuiltInScheme(0), nullptr);
  EXPECT_EQ(BuiltInScheme(7), nullptr);
  const SchemeColors* three = BuiltInScheme(3);
  ASSERT_NE(three, nullptr);
  EXPECT_EQ(three->up, Rgb(0, 0, 128));
  EXPECT_EQ(three->hover, Rgb(0, 0, 160));
  EXPECT_EQ(three->down, Rgb(0, 0, 240));
  EXPECT_EQ(three->bright, Rgb(0, 0, 255));
  EXPECT_EQ(BuiltInScheme(1)->down, Rgb(16, 103, 160));
  EXPECT_EQ(BuiltInScheme(6)->bright, Rgb(255, 255, 0));
}

TEST(GlossDescriptor, FieldsPerStyle) {
  const auto two = GlossFor(2, 16, 100, 30);
  ASSERT_TRUE(two);
  EXPECT_EQ(two->left, 8);
  EXPECT_EQ(two->top, 1);
  EXPECT_EQ(two->bottom, 18);  // 17.6
  EXPECT_EQ(two->right, 132);
  EXPECT_EQ(two->glow_center_y, 30);

  EXPECT_EQ(GlossFor(3, 12, 100, 30)->glow_height_percent, 77);   // 100 - 700 \ 30
  EXPECT_EQ(GlossFor(3, 12, 100, 100)->glow_height_percent, 80);  // at most 80
  EXPECT_EQ(GlossFor(4, 16, 100, 30)->left, 4);
  EXPECT_EQ(GlossFor(5, 16, 100, 30)->left, -9);
  EXPECT_EQ(GlossFor(5, 16, 100, 30)->top, -16);

  const auto seven = GlossFor(7, 9, 101, 25);
  ASSERT_TRUE(seven);
  EXPECT_EQ(seven->left, 4);  // 4.5 to even
  EXPECT_EQ(seven->right, 92);
  EXPECT_EQ(seven->glow_center_x, 50);  // 50.5 to even
  EXPECT_EQ(seven->glow_center_y, 12);  // 12.5 to even

  EXPECT_FALSE(GlossFor(0, 16, 100, 30));
  EXPECT_FALSE(GlossFor(6, 16, 100, 30));
  EXPECT_TRUE(GlossFor(3, 12, 100, 0));  // no division by a zero height
}

}  // namespace
}  // namespace vorela
