// The shared decoding of icon and bitmap files: which image of an icon file
// is shown, and how headers that lie are refused.
#include <gtest/gtest.h>

#include "drawing/icon_builder.h"
#include "platform/icon_decoder.h"

namespace vorela {
namespace {

using testing::IconDib;
using testing::IconFile;
using testing::RingImage;

TEST(IconDecoder, ChoosesNearestThirtyTwoThenMostColoursThenFirst) {
  auto entry = [](int side, int bpp) {
    IconDirEntry e;
    e.width = e.height = side;
    e.bit_count = bpp;
    return e;
  };
  EXPECT_EQ(ChooseIconEntry({entry(16, 32), entry(48, 8), entry(24, 4)}), 2);
  EXPECT_EQ(ChooseIconEntry({entry(16, 8), entry(48, 32)}), 1);  // same distance
  EXPECT_EQ(ChooseIconEntry({entry(32, 8), entry(32, 8)}), 0);
  EXPECT_EQ(ChooseIconEntry({entry(256, 32)}), 0);
  EXPECT_EQ(ChooseIconEntry({}), -1);
}

TEST(IconDecoder, DirectoryReadsSizesAndDepthsAndRefusesLies) {
  auto big = RingImage(16);
  const std::string file = IconFile({{big, IconDib(big, 4)}, {big, IconDib(big, 24)}});
  std::vector<IconDirEntry> entries;
  ASSERT_TRUE(ParseIconDirectory(file, &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].bit_count, 4);  // from the image header: the directory says 0
  EXPECT_EQ(entries[1].bit_count, 24);
  EXPECT_EQ(entries[1].width, 16);

  std::string zero_side = file;
  zero_side[6] = 0;  // 0 in the directory means 256
  ASSERT_TRUE(ParseIconDirectory(zero_side, &entries));
  EXPECT_EQ(entries[0].width, 256);

  std::string cursor = file;
  cursor[2] = 2;  // a cursor file
  EXPECT_FALSE(ParseIconDirectory(cursor, &entries));
  EXPECT_TRUE(entries.empty());
  std::string past = file;
  past[6 + 15] = 0x10;  // offset far past the end
  EXPECT_FALSE(ParseIconDirectory(past, &entries));
  EXPECT_FALSE(ParseIconDirectory(file.substr(0, 6 + 16), &entries));  // second entry cut
  std::string wrapping = file;
  for (int i = 0; i < 4; ++i) wrapping[6 + 8 + i] = static_cast<char>(0xFF);  // size wraps
  EXPECT_FALSE(ParseIconDirectory(wrapping, &entries));
}

TEST(IconDecoder, PaletteIndexPastTheTableIsBlackAndMaskIsTransparent) {
  auto img = RingImage(8);
  std::string dib = IconDib(img, 4);
  // Shrink the colour table to 2 entries: indices 2 and 3 point past it.
  dib[32] = 2;
  dib.erase(40 + 2 * 4, 14 * 4);
  DecodedImage out;
  ASSERT_TRUE(DecodeDib(dib, /*and_mask=*/true, &out));
  EXPECT_EQ(out.width, 8);
  EXPECT_EQ(out.height, 8);
  EXPECT_FALSE(out.has_alpha);
  for (std::size_t i = 0; i < out.pixels.size(); ++i) {
    EXPECT_EQ(out.pixels[i] >> 24, img.masked[i] ? 0u : 255u) << i;
  }
}

TEST(IconDecoder, BitmapsTopDownAndBottomUpAgree) {
  auto img = RingImage(5);
  const std::string bottom_up = testing::BmpFile(img);
  std::string top_down = bottom_up;
  // Same header with a negative height and the rows reversed.
  top_down.replace(22, 4, std::string("\xFB\xFF\xFF\xFF", 4));
  const std::size_t stride = 16;
  std::string rows;
  for (int r = 4; r >= 0; --r) rows += bottom_up.substr(54 + r * stride, stride);
  top_down.replace(54, rows.size(), rows);
  DecodedImage a, b;
  ASSERT_TRUE(DecodeBmpFile(bottom_up, &a));
  ASSERT_TRUE(DecodeBmpFile(top_down, &b));
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_EQ(a.pixels[0] & 0xFFFFFF, img.colors[0]);
  EXPECT_EQ(a.pixels[0] >> 24, 255u);

  std::string bits_outside = bottom_up;
  bits_outside[10] = static_cast<char>(0xF0);  // bits start past the end
  EXPECT_FALSE(DecodeBmpFile(bits_outside, &a));
  std::string compressed = bottom_up;
  compressed[30] = 1;  // run-length encoded: not something we read
  EXPECT_FALSE(DecodeBmpFile(compressed, &a));
}

}  // namespace
}  // namespace vorela
