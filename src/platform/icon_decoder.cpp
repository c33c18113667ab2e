#include "platform/icon_decoder.h"

#include <cstdlib>
#include <cstring>

namespace vorela {
namespace {

std::uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8);
}
std::uint32_t U32(std::string_view b, std::size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}
std::int32_t S32(std::string_view b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

std::uint32_t Pack(int r, int g, int b, int a) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16) | (static_cast<std::uint32_t>(a) << 24);
}

// header: the DIB header and colour table; bits: colour bits then (for icons)
// the AND mask. Both views are bounds-checked before any pixel is read.
bool DecodeDibParts(std::string_view header, std::string_view bits, bool and_mask,
                    DecodedImage* image) {
  if (header.size() < 40) return false;
  const std::uint32_t header_size = U32(header, 0);
  if (header_size < 40 || header_size > header.size()) return false;
  const std::int32_t width = S32(header, 4);
  std::int32_t height = S32(header, 8);
  const std::uint32_t planes = U16(header, 12);
  const int bpp = static_cast<int>(U16(header, 14));
  const std::uint32_t compression = U32(header, 16);
  std::uint32_t colors_used = U32(header, 32);
  if (planes != 1 || compression != 0) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  bool top_down = false;
  if (height < 0) {
    // Icons are always stored bottom-up; a top-down bitmap is fine.
    if (and_mask || height == INT32_MIN) return false;
    top_down = true;
    height = -height;
  }
  if (and_mask) height /= 2;
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
    return false;
  }
  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    const std::uint32_t max_colors = 1u << bpp;
    if (colors_used == 0 || colors_used > max_colors) colors_used = max_colors;
    if (header.size() - header_size < colors_used * 4) return false;
    for (std::uint32_t i = 0; i < colors_used; ++i) {
      const std::size_t at = header_size + i * 4;
      palette.push_back(Pack(static_cast<std::uint8_t>(header[at + 2]),
                             static_cast<std::uint8_t>(header[at + 1]),
                             static_cast<std::uint8_t>(header[at]), 255));
    }
  }
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t h = static_cast<std::size_t>(height);
  const std::size_t stride = ((w * bpp + 31) / 32) * 4;
  const std::size_t mask_stride = ((w + 31) / 32) * 4;
  const std::size_t need = stride * h + (and_mask ? mask_stride * h : 0);
  if (bits.size() < need) return false;

  image->width = width;
  image->height = height;
  image->has_alpha = false;
  image->pixels.assign(w * h, 0);
  for (std::size_t row = 0; row < h; ++row) {
    const std::size_t y = top_down ? row : h - 1 - row;
    const std::string_view line = bits.substr(row * stride, stride);
    for (std::size_t x = 0; x < w; ++x) {
      std::uint32_t px;
      if (bpp <= 8) {
        const std::size_t bit = x * bpp;
        const unsigned byte = static_cast<std::uint8_t>(line[bit / 8]);
        const unsigned index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        // An index past the table shows black, as GDI draws it.
        px = index < palette.size() ? palette[index] : Pack(0, 0, 0, 255);
      } else {
        const std::size_t at = x * (bpp / 8);
        const int b = static_cast<std::uint8_t>(line[at]);
        const int g = static_cast<std::uint8_t>(line[at + 1]);
        const int r = static_cast<std::uint8_t>(line[at + 2]);
        const int a = bpp == 32 ? static_cast<std::uint8_t>(line[at + 3]) : 255;
        px = Pack(r, g, b, a);
        if (bpp == 32 && a != 0) image->has_alpha = true;
      }
      image->pixels[y * w + x] = px;
    }
  }
  // A 32-bit bitmap's fourth byte is padding unless this is an icon with alpha.
  const bool use_alpha = and_mask && image->has_alpha;
  image->has_alpha = use_alpha;
  for (std::size_t row = 0; row < h; ++row) {
    const std::size_t y = top_down ? row : h - 1 - row;
    for (std::size_t x = 0; x < w; ++x) {
      std::uint32_t& px = image->pixels[y * w + x];
      if (use_alpha) continue;
      bool masked = false;
      if (and_mask) {
        const unsigned byte = static_cast<std::uint8_t>(bits[stride * h + row * mask_stride + x / 8]);
        masked = (byte >> (7 - x % 8)) & 1;
      }
      px = (px & 0x00FFFFFFu) | (masked ? 0u : 0xFF000000u);
    }
  }
  return true;
}

}  // namespace

bool LooksLikePng(std::string_view bytes) {
  static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

bool ParseIconDirectory(std::string_view bytes, std::vector<IconDirEntry>* entries) {
  entries->clear();
  if (bytes.size() < 6 || U16(bytes, 0) != 0 || U16(bytes, 2) != 1) return false;
  const std::size_t count = U16(bytes, 4);
  if (count == 0 || bytes.size() < 6 + count * 16) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 6 + i * 16;
    IconDirEntry e;
    e.width = static_cast<std::uint8_t>(bytes[at]);
    e.height = static_cast<std::uint8_t>(bytes[at + 1]);
    if (e.width == 0) e.width = 256;
    if (e.height == 0) e.height = 256;
    e.bit_count = static_cast<int>(U16(bytes, at + 6));
    e.size = U32(bytes, at + 8);
    e.offset = U32(bytes, at + 12);
    if (e.size == 0 || e.offset > bytes.size() || e.size > bytes.size() - e.offset) {
      entries->clear();
      return false;
    }
    const std::string_view image = bytes.substr(e.offset, e.size);
    if (LooksLikePng(image)) {
      e.bit_count = 32;
    } else if (e.bit_count == 0 && image.size() >= 16) {
      // Older files leave the directory's depth at 0; the image header knows it.
      e.bit_count = static_cast<int>(U16(image, 14));
    }
    entries->push_back(e);
  }
  return true;
}

int ChooseIconEntry(const std::vector<IconDirEntry>& entries) {
  int best = -1;
  int best_distance = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const IconDirEntry& e = entries[i];
    const int side = e.width > e.height ? e.width : e.height;
    const int distance = std::abs(side - 32);
    if (best < 0 || distance < best_distance ||
        (distance == best_distance && e.bit_count > entries[best].bit_count)) {
      best = static_cast<int>(i);
      best_distance = distance;
    }
  }
  return best;
}

bool DecodeDib(std::string_view dib, bool and_mask, DecodedImage* image) {
  if (dib.size() < 40) return false;
  const std::uint32_t header_size = U32(dib, 0);
  if (header_size < 40 || header_size > dib.size()) return false;
  const int bpp = static_cast<int>(U16(dib, 14));
  std::uint32_t colors = U32(dib, 32);
  if (bpp <= 8 && bpp > 0 && (colors == 0 || colors > (1u << bpp))) colors = 1u << bpp;
  if (bpp > 8) colors = 0;
  const std::size_t table_end = header_size + static_cast<std::size_t>(colors) * 4;
  if (table_end > dib.size()) return false;
  return DecodeDibParts(dib.substr(0, table_end), dib.substr(table_end), and_mask, image);
}

bool DecodeBmpFile(std::string_view bytes, DecodedImage* image) {
  if (bytes.size() < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const std::uint32_t bits_at = U32(bytes, 10);
  if (bits_at < 14 + 40 || bits_at > bytes.size()) return false;
  return DecodeDibParts(bytes.substr(14, bits_at - 14), bytes.substr(bits_at), false, image);
}

}  // namespace vorela
