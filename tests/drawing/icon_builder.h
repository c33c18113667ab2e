// Builds small icon and bitmap files in memory, so the picture tests know
// every pixel they load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/drawing_surface.h"

namespace vorela::testing {

inline void Put16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// An image to store: colours row by row from the top; masked pixels are
// transparent (AND mask 1, colour black).
struct TestImage {
  int width = 0;
  int height = 0;
  std::vector<Color> colors;
  std::vector<bool> masked;
  std::vector<std::uint8_t> alpha;  // only for 32-bit images with alpha
};

// A DIB as an icon file stores it, at bpp 1, 4, 8 (palette = the distinct
// colours), 24 or 32.
inline std::string IconDib(const TestImage& img, int bpp) {
  std::vector<Color> palette;
  if (bpp <= 8) {
    for (Color c : img.colors) {
      bool found = false;
      for (Color p : palette) found = found || p == c;
      if (!found) palette.push_back(c);
    }
    palette.resize(std::size_t{1} << bpp, 0);
  }
  std::string s;
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(img.width));
  Put32(s, static_cast<std::uint32_t>(img.height * 2));
  Put16(s, 1);
  Put16(s, static_cast<std::uint32_t>(bpp));
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, static_cast<std::uint32_t>(palette.size()));
  Put32(s, 0);
  for (Color c : palette) {
    s.push_back(static_cast<char>(BlueOf(c)));
    s.push_back(static_cast<char>(GreenOf(c)));
    s.push_back(static_cast<char>(RedOf(c)));
    s.push_back(0);
  }
  const std::size_t stride = ((static_cast<std::size_t>(img.width) * bpp + 31) / 32) * 4;
  for (int y = img.height - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < img.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * img.width + x;
      const Color c = img.masked[i] && img.alpha.empty() ? 0 : img.colors[i];
      if (bpp <= 8) {
        unsigned index = 0;
        while (palette[index] != c) ++index;
        const std::size_t bit = static_cast<std::size_t>(x) * bpp;
        row[bit / 8] = static_cast<char>(row[bit / 8] | (index << (8 - bpp - bit % 8)));
      } else {
        const std::size_t at = static_cast<std::size_t>(x) * (bpp / 8);
        row[at] = static_cast<char>(BlueOf(c));
        row[at + 1] = static_cast<char>(GreenOf(c));
        row[at + 2] = static_cast<char>(RedOf(c));
        if (bpp == 32) row[at + 3] = static_cast<char>(img.alpha.empty() ? 0 : img.alpha[i]);
      }
    }
    s += row;
  }
  const std::size_t mask_stride = ((static_cast<std::size_t>(img.width) + 31) / 32) * 4;
  for (int y = img.height - 1; y >= 0; --y) {
    std::string row(mask_stride, '\0');
    for (int x = 0; x < img.width; ++x) {
      if (img.masked[static_cast<std::size_t>(y) * img.width + x]) {
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
      }
    }
    s += row;
  }
  return s;
}

// An icon file of the given images (each a DIB or PNG as built above).
inline std::string IconFile(const std::vector<std::pair<TestImage, std::string>>& images) {
  std::string s;
  Put16(s, 0);
  Put16(s, 1);
  Put16(s, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const auto& [img, data] : images) {
    s.push_back(static_cast<char>(img.width & 0xFF));
    s.push_back(static_cast<char>(img.height & 0xFF));
    s.push_back(0);
    s.push_back(0);
    Put16(s, 1);
    Put16(s, 0);  // depth left to the image header, as older files do
    Put32(s, static_cast<std::uint32_t>(data.size()));
    Put32(s, offset);
    offset += static_cast<std::uint32_t>(data.size());
  }
  for (const auto& image : images) s += image.second;
  return s;
}

// A 24-bit .bmp file.
inline std::string BmpFile(const TestImage& img) {
  const std::size_t stride = ((static_cast<std::size_t>(img.width) * 24 + 31) / 32) * 4;
  std::string s = "BM";
  Put32(s, static_cast<std::uint32_t>(54 + stride * img.height));
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(img.width));
  Put32(s, static_cast<std::uint32_t>(img.height));
  Put16(s, 1);
  Put16(s, 24);
  for (int i = 0; i < 6; ++i) Put32(s, 0);
  for (int y = img.height - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < img.width; ++x) {
      const Color c = img.colors[static_cast<std::size_t>(y) * img.width + x];
      row[x * 3] = static_cast<char>(BlueOf(c));
      row[x * 3 + 1] = static_cast<char>(GreenOf(c));
      row[x * 3 + 2] = static_cast<char>(RedOf(c));
    }
    s += row;
  }
  return s;
}

// A 16 x 16 test picture: a red ring with a green centre and a blue corner
// dot, transparent outside the ring.
inline TestImage RingImage(int side = 16) {
  TestImage img;
  img.width = img.height = side;
  const int c = side / 2;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const int d2 = (x - c) * (x - c) + (y - c) * (y - c);
      Color col = Rgb(255, 0, 0);
      bool masked = d2 > (c - 1) * (c - 1);
      if (d2 <= (c / 2) * (c / 2)) col = Rgb(0, 160, 0);
      if (x == 1 && y == 1) {
        col = Rgb(0, 0, 255);
        masked = false;
      }
      img.colors.push_back(col);
      img.masked.push_back(masked);
    }
  }
  return img;
}

}  // namespace vorela::testing
