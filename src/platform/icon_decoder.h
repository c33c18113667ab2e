// Decoding of icon (.ico) and bitmap (.bmp) files into plain pixels, shared by
// both builds: the choice of the image inside an icon file is made here once,
// so both backends show the same image, and the bytes of a file that came in a
// package are checked here before any backend touches them.
//
// Every function takes untrusted bytes: a damaged or truncated file gives
// false, never a read outside the bytes, and sizes are capped so a header
// cannot ask for an absurd allocation.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vorela {

// Largest width or height of a picture we decode.
inline constexpr int kMaxPictureSide = 1024;

struct IconDirEntry {
  int width = 0;   // 256 when the directory says 0
  int height = 0;
  int bit_count = 0;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

// The directory of an icon file (reserved 0, type 1, at least one entry, every
// entry's image inside the bytes).
bool ParseIconDirectory(std::string_view bytes, std::vector<IconDirEntry>* entries);

// The entry a picture shows: the one nearest 32 x 32 (by the larger side),
// among those the one with the most colours, the earlier one on a tie.
int ChooseIconEntry(const std::vector<IconDirEntry>& entries);

// Decoded pixels, row by row from the top: 0xAABBGGRR (alpha in the high
// byte, the colour in the low three as the drawing surface keeps it). For
// icons without an alpha channel, mask_xor keeps GDI's two-mask form: alpha is
// 255 where the AND mask is 0 and 0 where it is 1; a masked pixel with a
// non-black colour inverts the screen, as GDI draws it.
struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool has_alpha = false;  // 32-bit icon image with a real alpha channel
};

bool LooksLikePng(std::string_view bytes);

// A device-independent bitmap as an icon file stores it: header, colour
// table, colour bits, then (with and_mask) the 1-bit AND mask. For icons the
// header's height counts both masks.
bool DecodeDib(std::string_view dib, bool and_mask, DecodedImage* image);

// A .bmp file (file header, then a DIB without mask).
bool DecodeBmpFile(std::string_view bytes, DecodedImage* image);

}  // namespace vorela
