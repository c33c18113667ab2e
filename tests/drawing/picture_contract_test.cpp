// Pictures on the drawing surface, on both backends: icon files of every
// depth (the Windows build hands the chosen image to the platform's own icon
// code), bitmaps, the normal, greyed and silhouette looks, and damaged files.
#include <gtest/gtest.h>

#include "drawing/icon_builder.h"
#include "platform/drawing_surface.h"
#include "support/scratch.h"

namespace vorela {
namespace {

using testing::BmpFile;
using testing::IconDib;
using testing::IconFile;
using testing::RingImage;
using testing::TestImage;

constexpr Color kBack = Rgb(0, 0, 128);

std::unique_ptr<DrawingSurface> Surface(int w, int h) {
  auto s = CreateDrawingSurface();
  s->SetBackColor(kBack);
  s->Resize(w, h);
  return s;
}

Color Sys(int index) {
  Color c = 0;
  TranslateOleColor(SystemColor(index), &c);
  return c;
}

// Expected look of img drawn at (x, y) on kBack.
void ExpectNormal(const DrawingSurface& s, const TestImage& img, int x, int y) {
  for (int row = 0; row < img.height; ++row) {
    for (int col = 0; col < img.width; ++col) {
      const std::size_t i = static_cast<std::size_t>(row) * img.width + col;
      const Color want = img.masked[i] ? kBack : img.colors[i];
      ASSERT_EQ(s.GetPixel(x + col, y + row), want) << col << "," << row;
    }
  }
}

TEST(PictureContract, IconsOfEveryDepthDrawWithTheirMask) {
  TestImage img = RingImage();
  for (int bpp : {4, 8, 24, 32}) {
    const std::string file = IconFile({{img, IconDib(img, bpp)}});
    auto picture = LoadPictureFromBytes(file);
    ASSERT_NE(picture, nullptr) << bpp;
    EXPECT_EQ(picture->Kind(), PictureKind::kIcon);
    EXPECT_EQ(picture->Width(), 16);
    EXPECT_EQ(picture->Height(), 16);
    EXPECT_EQ(picture->Bytes(), file);
    EXPECT_EQ(picture->WidthHimetric(), 423);  // 16 px at 96 dpi in 0.01 mm
    auto s = Surface(24, 24);
    s->DrawPicture(*picture, 3, 4, PictureLook::kNormal, 0);
    ExpectNormal(*s, img, 3, 4);
    EXPECT_EQ(s->GetPixel(2, 4), kBack);
  }
  // Two colours at one bit per pixel.
  TestImage mono = RingImage();
  for (Color& c : mono.colors) c = c == Rgb(255, 0, 0) ? Rgb(255, 255, 255) : Rgb(0, 0, 0);
  auto picture = LoadPictureFromBytes(IconFile({{mono, IconDib(mono, 1)}}));
  ASSERT_NE(picture, nullptr);
  auto s = Surface(16, 16);
  s->DrawPicture(*picture, 0, 0, PictureLook::kNormal, 0);
  ExpectNormal(*s, mono, 0, 0);
}

TEST(PictureContract, AlphaIconsBlendOverTheImage) {
  TestImage img = RingImage();
  img.alpha.assign(img.colors.size(), 255);
  for (std::size_t i = 0; i < img.alpha.size(); ++i) {
    if (img.masked[i]) img.alpha[i] = 0;
  }
  img.alpha[8 * 16 + 8] = 128;  // centre pixel half covered
  auto picture = LoadPictureFromBytes(IconFile({{img, IconDib(img, 32)}}));
  ASSERT_NE(picture, nullptr);
  auto s = Surface(16, 16);
  s->DrawPicture(*picture, 0, 0, PictureLook::kNormal, 0);
  EXPECT_EQ(s->GetPixel(0, 0), kBack);
  EXPECT_EQ(s->GetPixel(2, 8), Rgb(255, 0, 0));
  // Half of green 160 over navy 128: both blends round within a step.
  const Color mid = s->GetPixel(8, 8);
  EXPECT_NEAR(GreenOf(mid), 80, 2);
  EXPECT_NEAR(BlueOf(mid), 64, 2);
}

TEST(PictureContract, GreyedAndSilhouetteLooks) {
  TestImage img = RingImage();
  auto picture = LoadPictureFromBytes(IconFile({{img, IconDib(img, 24)}}));
  ASSERT_NE(picture, nullptr);
  auto silhouette = Surface(20, 20);
  silhouette->DrawPicture(*picture, 2, 2, PictureLook::kSilhouette, Rgb(0, 255, 0));
  auto greyed = Surface(20, 20);
  greyed->DrawPicture(*picture, 2, 2, PictureLook::kGreyed, 0);
  const Color shadow = Sys(kColorBtnShadow), highlight = Sys(kColorBtnHighlight);
  for (int row = -1; row <= 16; ++row) {
    for (int col = -1; col <= 16; ++col) {
      auto opaque = [&](int c, int r) {
        return c >= 0 && r >= 0 && c < 16 && r < 16 && !img.masked[r * 16 + c];
      };
      const bool here = opaque(col, row);
      const bool shifted = opaque(col - 1, row - 1);
      ASSERT_EQ(silhouette->GetPixel(2 + col, 2 + row), here ? Rgb(0, 255, 0) : kBack)
          << col << "," << row;
      const Color want = here ? shadow : shifted ? highlight : kBack;
      ASSERT_EQ(greyed->GetPixel(2 + col, 2 + row), want) << col << "," << row;
    }
  }
}

TEST(PictureContract, WhitePixelsOfAPictureVanishFromTheSilhouette) {
  TestImage img = RingImage();
  img.colors[1 * 16 + 1] = Rgb(255, 255, 255);  // the corner dot turns white
  auto picture = LoadPictureFromBytes(IconFile({{img, IconDib(img, 24)}}));
  ASSERT_NE(picture, nullptr);
  auto s = Surface(16, 16);
  s->DrawPicture(*picture, 0, 0, PictureLook::kSilhouette, Rgb(0, 255, 0));
  EXPECT_EQ(s->GetPixel(1, 1), kBack);
  EXPECT_EQ(s->GetPixel(8, 8), Rgb(0, 255, 0));
}

TEST(PictureContract, TheImageNearestThirtyTwoPixelsIsShown) {
  TestImage small = RingImage(16), large = RingImage(32), huge = RingImage(48);
  for (Color& c : large.colors) c = c == Rgb(255, 0, 0) ? Rgb(200, 100, 0) : c;
  TestImage fewer = large;  // same size, fewer colours: not chosen
  for (Color& c : fewer.colors) c = c == Rgb(0, 160, 0) ? Rgb(255, 255, 0) : c;
  auto picture = LoadPictureFromBytes(
      IconFile({{small, IconDib(small, 8)}, {fewer, IconDib(fewer, 4)},
                {large, IconDib(large, 24)}, {huge, IconDib(huge, 24)}}));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 32);
  auto s = Surface(32, 32);
  s->DrawPicture(*picture, 0, 0, PictureLook::kNormal, 0);
  ExpectNormal(*s, large, 0, 0);
}

// 16 x 16 RGBA: left half RGB(250,10,20), right half RGB(5,200,90), the
// top-left pixel transparent.
const char kPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x10\x00\x00\x00\x10"
    "\x08\x06\x00\x00\x00\x1f\xf3\xff\x61\x00\x00\x00\x22\x49\x44\x41\x54\x78\xda\x63\x60\x00\x82\x5f"
    "\x5c\x22\xff\x71\x61\xd6\x13\x51\x78\x31\x5e\xcd\xa3\x06\x8c\x1a\x30\x6a\xc0\x50\x32\x00\x00\xa1"
    "\xa2\x1c\x88\xc8\x97\x66\x00\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

TEST(PictureContract, PngImagesInsideIconFiles) {
  TestImage frame;
  frame.width = frame.height = 16;
  const std::string png(kPng, sizeof kPng - 1);
  auto picture = LoadPictureFromBytes(IconFile({{frame, png}}));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 16);
  auto s = Surface(20, 20);
  s->DrawPicture(*picture, 2, 2, PictureLook::kNormal, 0);
  EXPECT_EQ(s->GetPixel(2, 2), kBack);
  EXPECT_EQ(s->GetPixel(3, 2), Rgb(250, 10, 20));
  EXPECT_EQ(s->GetPixel(17, 17), Rgb(5, 200, 90));
  EXPECT_EQ(s->GetPixel(1, 1), kBack);
  // A damaged PNG inside is refused.
  std::string broken = png;
  broken[40] = static_cast<char>(broken[40] ^ 0x55);
  EXPECT_EQ(LoadPictureFromBytes(IconFile({{frame, broken}})), nullptr);
}

TEST(PictureContract, WritePngWritesAnRgbImageOfTheSurface) {
  testing::ScratchDir dir;
  auto source = Surface(7, 3);
  source->FillRect(0, 0, 4, 3, Rgb(250, 10, 20));
  const std::string path = dir.NativeJoin("shot.png");
  ASSERT_TRUE(WritePng(*source, path));
  const std::string png = testing::ReadNativeFile(path);
  ASSERT_GE(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x07\0\0\0\x03", 8));  // 7 x 3
  EXPECT_EQ(png[24], 8);   // bits per channel
  EXPECT_EQ(png[25], 2);   // RGB
  EXPECT_FALSE(WritePng(std::vector<Color>(3), 2, 2, dir.NativeJoin("bad.png")));
}

TEST(PictureContract, BitmapFilesDrawOpaque) {
  TestImage img = RingImage(5);
  testing::ScratchDir dir;
  const std::string path = dir.NativeJoin("picture.bmp");
  testing::WriteNativeFile(path, BmpFile(img));
  auto picture = LoadPictureFile(path);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Kind(), PictureKind::kBitmap);
  EXPECT_EQ(picture->Width(), 5);
  auto s = Surface(8, 8);
  s->DrawPicture(*picture, 1, 1, PictureLook::kNormal, 0);
  for (int row = 0; row < 5; ++row) {
    for (int col = 0; col < 5; ++col) {
      ASSERT_EQ(s->GetPixel(1 + col, 1 + row), img.colors[row * 5 + col]) << col << "," << row;
    }
  }
  // Greyed, a bitmap without white is one shadow block over its highlight.
  auto greyed = Surface(8, 8);
  greyed->DrawPicture(*picture, 1, 1, PictureLook::kGreyed, 0);
  EXPECT_EQ(greyed->GetPixel(0, 0), kBack);
  EXPECT_EQ(greyed->GetPixel(1, 1), Sys(kColorBtnShadow));
  EXPECT_EQ(greyed->GetPixel(5, 5), Sys(kColorBtnShadow));
  EXPECT_EQ(greyed->GetPixel(6, 6), Sys(kColorBtnHighlight));
  EXPECT_EQ(greyed->GetPixel(6, 1), kBack);
  EXPECT_EQ(LoadPictureFile(dir.NativeJoin("missing.ico")), nullptr);
}

TEST(PictureContract, DamagedFilesLoadNothing) {
  TestImage img = RingImage();
  const std::string good = IconFile({{img, IconDib(img, 8)}});
  ASSERT_NE(LoadPictureFromBytes(good), nullptr);
  EXPECT_EQ(LoadPictureFromBytes(""), nullptr);
  EXPECT_EQ(LoadPictureFromBytes("not a picture at all"), nullptr);
  EXPECT_EQ(LoadPictureFromBytes(good.substr(0, good.size() - 1)), nullptr);  // entry past end
  std::string cut = IconDib(img, 8);
  cut.resize(cut.size() - 60);  // the image ends inside its AND mask
  EXPECT_EQ(LoadPictureFromBytes(IconFile({{img, cut}})), nullptr);
  std::string huge = IconDib(img, 8);
  huge.replace(4, 4, std::string("\x88\x13\x00\x00", 4));  // width 5000
  EXPECT_EQ(LoadPictureFromBytes(IconFile({{img, huge}})), nullptr);
  std::string none = good;
  none[4] = 0;  // no images
  EXPECT_EQ(LoadPictureFromBytes(none), nullptr);
  const std::string bmp = BmpFile(RingImage(5));
  EXPECT_EQ(LoadPictureFromBytes(bmp.substr(0, bmp.size() - 3)), nullptr);
}

}  // namespace
}  // namespace vorela
