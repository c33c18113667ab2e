// The drawing surface's primitives, regions and colours: one set of
// expectations for the POSIX image and, in the Windows build, GDI on a memory
// DIB. Exact pixels everywhere except the ellipse, whose edge the two
// rasterisers may place one pixel apart (stated at that test).
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <utility>

#include "platform/drawing_surface.h"

namespace vorela {
namespace {

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kInk = Rgb(10, 20, 200);

std::unique_ptr<DrawingSurface> Surface(int w, int h) {
  auto s = CreateDrawingSurface();
  s->SetBackColor(kWhite);
  EXPECT_TRUE(s->Resize(w, h));
  return s;
}

// The image as text: '#' for ink, '.' for white, '?' for anything else.
std::string Picture(const DrawingSurface& s) {
  std::string out;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const Color c = s.GetPixel(x, y);
      out += c == kInk ? '#' : c == kWhite ? '.' : '?';
    }
    out += '\n';
  }
  return out;
}

// Row spans of ink: row -> (first, last column).
std::map<int, std::pair<int, int>> Spans(const DrawingSurface& s) {
  std::map<int, std::pair<int, int>> spans;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.GetPixel(x, y) != kInk) continue;
      auto it = spans.find(y);
      if (it == spans.end()) spans[y] = {x, x}; else it->second.second = x;
    }
  }
  return spans;
}

TEST(DrawingSurfaceContract, ResizeClearsToBackColourAndOutsideReadsBlack) {
  auto s = CreateDrawingSurface();
  EXPECT_EQ(s->Width(), 0);
  s->SetBackColor(Rgb(1, 2, 3));
  ASSERT_TRUE(s->Resize(4, 3));
  EXPECT_EQ(s->ReadPixels(), std::vector<Color>(12, Rgb(1, 2, 3)));
  s->SetPixel(1, 1, kInk);
  ASSERT_TRUE(s->Resize(5, 2));
  EXPECT_EQ(s->ReadPixels(), std::vector<Color>(10, Rgb(1, 2, 3)));
  EXPECT_EQ(s->GetPixel(-1, 0), 0u);
  EXPECT_EQ(s->GetPixel(5, 0), 0u);
  s->SetBackColor(SystemColor(kColorBtnFace));
  s->Clear();
  Color face = 0;
  ASSERT_TRUE(TranslateOleColor(SystemColor(kColorBtnFace), &face));
  EXPECT_EQ(s->GetPixel(4, 1), face);
  EXPECT_TRUE(s->Resize(-3, 7));
  EXPECT_EQ(s->Width(), 0);
  EXPECT_FALSE(s->Resize(1 << 20, 1 << 20));
}

TEST(DrawingSurfaceContract, RectanglesExcludeRightAndBottomAndClip) {
  auto s = Surface(8, 5);
  s->FillRect(1, 1, 4, 3, kInk);
  s->FillRect(6, -3, 20, 1, kInk);   // clipped at the top and right
  s->FillRect(5, 4, 3, 5, kInk);     // right before left: nothing
  s->FillRect(2, 4, 4, 4, kInk);     // empty
  EXPECT_EQ(Picture(*s),
            "......##\n"
            ".###....\n"
            ".###....\n"
            "........\n"
            "........\n");
}

TEST(DrawingSurfaceContract, LinesLeaveOutTheirEndPoint) {
  auto s = Surface(12, 8);
  s->DrawLine(1, 0, 5, 0, kInk);    // right
  s->DrawLine(11, 1, 7, 1, kInk);   // left: 11 down to 8
  s->DrawLine(0, 2, 0, 6, kInk);    // down
  s->DrawLine(11, 7, 11, 3, kInk);  // up: 7 to 4
  s->DrawLine(2, 3, 6, 7, kInk);    // 45 degrees
  s->DrawLine(9, 3, 9, 3, kInk);    // zero length: nothing
  s->SetPixel(-1, 2, kInk);         // outside: ignored
  s->SetPixel(5, 5, kInk);
  EXPECT_EQ(Picture(*s),
            ".####.......\n"
            "........####\n"
            "#...........\n"
            "#.#.........\n"
            "#..#.......#\n"
            "#...##.....#\n"
            ".....#.....#\n"
            "...........#\n");
}

TEST(DrawingSurfaceContract, SlantedLinesPutTiesOnTheSmallerCoordinate) {
  // Pixels as GDI places them (measured under Wine).
  auto s = Surface(12, 9);
  s->DrawLine(0, 0, 10, 5, kInk);
  s->DrawLine(11, 8, 6, 0, kInk);
  EXPECT_EQ(Picture(*s),
            "##..........\n"
            "..##...#....\n"
            "....##.#....\n"
            "......###...\n"
            "........##..\n"
            ".........#..\n"
            "..........#.\n"
            "..........#.\n"
            "...........#\n");
}

TEST(DrawingSurfaceContract, SmallEllipsesMatchGdi) {
  // Exact for these; of the smallest ones GDI draws 3 x 3 as a plus sign,
  // which we draw as a square (see the tolerance below).
  struct Case {
    int w, h;
    const char* rows;
  };
  const Case cases[] = {
      {2, 2, "#.\n..\n"},
      {4, 2, "###.\n....\n"},
      {1, 4, ".\n.\n.\n.\n"},
      {7, 7, "..###..\n.#####.\n#######\n#######\n#######\n.#####.\n..###..\n"},
      {10, 7,
       "...####...\n.########.\n##########\n##########\n##########\n.########.\n"
       "...####...\n"},
  };
  for (const Case& c : cases) {
    auto s = Surface(c.w, c.h);
    s->FillEllipse(0, 0, c.w, c.h, kInk);
    EXPECT_EQ(Picture(*s), c.rows) << c.w << " x " << c.h;
  }
}

// Spans of GDI's Ellipse with a null pen, measured under Wine: "row:first-last".
constexpr const char* kGdiEllipse60x30 =
    "0:22-37 1:17-42 2:13-46 3:11-48 4:9-50 5:7-52 6:5-54 7:4-55 8:3-56 9:2-57 10:1-58 "
    "11:1-58 12:0-59 13:0-59 14:0-59 15:0-59 16:0-59 17:0-59 18:1-58 19:1-58 20:2-57 "
    "21:3-56 22:4-55 23:5-54 24:7-52 25:9-50 26:11-48 27:13-46 28:17-42 29:22-37";
constexpr const char* kGdiEllipse130x24 =
    "0:46-83 1:33-96 2:25-104 3:19-110 4:14-115 5:10-119 6:7-122 7:5-124 8:3-126 9:2-127 "
    "10:1-128 11:0-129 12:0-129 13:1-128 14:2-127 15:3-126 16:5-124 17:7-122 18:10-119 "
    "19:14-115 20:19-110 21:25-104 22:33-96 23:46-83";

TEST(DrawingSurfaceContract, LargeEllipsesWithinOnePixelOfGdi) {
  // GDI's ellipse rasteriser is not documented; ours takes the pixel centres
  // inside the ellipse. Over all sizes up to 40 x 40 the two agree on 94% of
  // the rows and otherwise by one pixel at a span's end. On the Windows build
  // this test compares GDI with its own measured spans and finds no difference.
  const std::pair<std::pair<int, int>, const char*> cases[] = {{{60, 30}, kGdiEllipse60x30},
                                                               {{130, 24}, kGdiEllipse130x24}};
  for (const auto& [size, text] : cases) {
    const int w = size.first, h = size.second;
    auto s = Surface(w + 10, h + 10);
    s->FillEllipse(5, 5, 5 + w, 5 + h, kInk);
    const auto got = Spans(*s);
    std::istringstream in(text);
    std::string token;
    int differing = 0, rows = 0;
    while (in >> token) {
      int y, l, r;
      ASSERT_EQ(std::sscanf(token.c_str(), "%d:%d-%d", &y, &l, &r), 3);
      ++rows;
      auto it = got.find(y + 5);
      ASSERT_NE(it, got.end()) << "row " << y;
      EXPECT_LE(std::abs(it->second.first - 5 - l), 1) << "row " << y;
      EXPECT_LE(std::abs(it->second.second - 5 - r), 1) << "row " << y;
      if (it->second != std::make_pair(l + 5, r + 5)) ++differing;
    }
    EXPECT_EQ(static_cast<int>(got.size()), rows);
    EXPECT_LE(differing, rows / 4) << w << " x " << h;
  }
}

TEST(DrawingSurfaceContract, EllipseFarLargerThanTheImageFillsWhatItCovers) {
  // The glow of the button starts with an ellipse three times its width.
  auto s = Surface(20, 10);
  s->FillEllipse(-30, -5, 50, 25, kInk);
  EXPECT_EQ(Spans(*s).size(), 10u);
  EXPECT_EQ(s->GetPixel(0, 0), kInk);
  EXPECT_EQ(s->GetPixel(19, 9), kInk);
}

TEST(DrawingSurfaceContract, SystemColoursTranslateLikeThePlatform) {
  Color rgb = 12345;
  ASSERT_TRUE(TranslateOleColor(Rgb(1, 2, 3), &rgb));
  EXPECT_EQ(rgb, Rgb(1, 2, 3));
  ASSERT_TRUE(TranslateOleColor(0x02123456, &rgb));
  EXPECT_EQ(rgb, 0x123456u);
  // Wine's default colours, which the POSIX table copies.
  const std::pair<int, Color> expected[] = {{kColorBtnFace, 0xF5F5F5},
                                            {kColorBtnShadow, 0xA6A6A6},
                                            {kColorBtnText, 0x000000},
                                            {kColorBtnHighlight, 0xFFFFFF},
                                            {1, 0x956F25},
                                            {30, 0xFFFFFF}};
  for (const auto& [index, color] : expected) {
    ASSERT_TRUE(TranslateOleColor(SystemColor(index), &rgb)) << index;
    EXPECT_EQ(rgb, color) << index;
  }
  // Only the index's low byte counts.
  ASSERT_TRUE(TranslateOleColor(SystemColor(0x100 | kColorBtnShadow), &rgb));
  EXPECT_EQ(rgb, 0xA6A6A6u);
  rgb = 77;
  EXPECT_FALSE(TranslateOleColor(SystemColor(31), &rgb));
  EXPECT_FALSE(TranslateOleColor(0x04000000, &rgb));
  EXPECT_FALSE(TranslateOleColor(0x01000003, &rgb));
  EXPECT_EQ(rgb, 77u);
  // An untranslatable colour draws black.
  auto s = Surface(2, 1);
  s->SetPixel(0, 0, 0x04000000);
  s->SetPixel(1, 0, SystemColor(kColorBtnShadow));
  EXPECT_EQ(s->GetPixel(0, 0), 0u);
  EXPECT_EQ(s->GetPixel(1, 0), 0xA6A6A6u);
}

// A rounded outline built run by run with exclusive-or, as the button's shape
// code builds it.
std::unique_ptr<Region> Rounded(int w, int h) {
  auto region = CreateRectRegion(0, 0, w, h);
  for (int y = 0; y < 3; ++y) {
    const int cut = 3 - y;
    region->XorRect(0, y, cut, y + 1);
    region->XorRect(w - cut, y, w, y + 1);
    region->XorRect(0, h - 1 - y, cut, h - y);
    region->XorRect(w - cut, h - 1 - y, w, h - y);
  }
  return region;
}

TEST(DrawingSurfaceContract, RegionsAreExclusiveOrsOfRectangles) {
  auto region = Rounded(10, 8);
  std::string text;
  for (int y = -1; y <= 8; ++y) {
    for (int x = -1; x <= 10; ++x) text += region->Contains(x, y) ? '#' : '.';
    text += '\n';
  }
  EXPECT_EQ(text,
            "............\n"
            "....####....\n"
            "...######...\n"
            "..########..\n"
            ".##########.\n"
            ".##########.\n"
            "..########..\n"
            "...######...\n"
            "....####....\n"
            "............\n");
  int l, t, r, b;
  region->Bounds(&l, &t, &r, &b);
  EXPECT_EQ(std::vector<int>({l, t, r, b}), std::vector<int>({0, 0, 10, 8}));

  auto copy = region->Clone();
  region->XorRect(0, 0, 10, 8);  // what was in is out, the cut corners in
  EXPECT_FALSE(region->Contains(5, 4));
  EXPECT_TRUE(region->Contains(0, 0));
  EXPECT_TRUE(copy->Contains(5, 4));  // the copy is its own
  region->XorRect(0, 0, 10, 8);
  copy->XorRect(0, 0, 10, 8);
  copy->XorRect(0, 0, 10, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) EXPECT_EQ(region->Contains(x, y), copy->Contains(x, y));
  }

  auto empty = CreateEmptyRegion();
  EXPECT_TRUE(empty->IsEmpty());
  empty->Bounds(&l, &t, &r, &b);
  EXPECT_EQ(std::vector<int>({l, t, r, b}), std::vector<int>({0, 0, 0, 0}));
  empty->XorRect(2, 2, 4, 3);
  EXPECT_FALSE(empty->IsEmpty());
  EXPECT_TRUE(empty->Contains(3, 2));
  EXPECT_FALSE(empty->Contains(4, 2));
  empty->XorRect(2, 2, 4, 3);
  EXPECT_TRUE(empty->IsEmpty());
  EXPECT_TRUE(CreateRectRegion(5, 5, 2, 9)->IsEmpty());
}

TEST(DrawingSurfaceContract, WindowRegionIsKeptForTheControlAndCanBeRemoved) {
  auto s = Surface(10, 8);
  EXPECT_EQ(s->WindowRegion(), nullptr);
  s->SetWindowRegion(Rounded(10, 8), /*redraw=*/false);
  ASSERT_NE(s->WindowRegion(), nullptr);
  EXPECT_FALSE(s->WindowRegion()->Contains(0, 0));
  EXPECT_TRUE(s->WindowRegion()->Contains(5, 4));
  s->SetWindowRegion(nullptr, /*redraw=*/false);
  EXPECT_EQ(s->WindowRegion(), nullptr);
}

TEST(DrawingSurfaceContract, RefreshAndPaintAreCounted) {
  auto s = Surface(3, 3);
  const std::uint64_t before = s->RefreshCount();
  s->Refresh();  // no window attached: nothing to show, still counted
  s->Paint(0);
  EXPECT_EQ(s->RefreshCount(), before + 2);
  EXPECT_EQ(s->Window(), 0u);
}

}  // namespace
}  // namespace vorela
