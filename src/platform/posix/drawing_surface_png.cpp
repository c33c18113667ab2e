// PNG in and out for the POSIX build, through libpng.
#include <png.h>

#include <cstdio>
#include <cstring>

#include "platform/drawing_surface.h"
#include "platform/posix/picture_posix.h"

namespace vorela {
namespace posix {
namespace {

struct ReadCursor {
  std::string_view bytes;
  std::size_t at = 0;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* cursor = static_cast<ReadCursor*>(png_get_io_ptr(png));
  if (cursor->bytes.size() - cursor->at < count) png_error(png, "truncated");
  std::memcpy(out, cursor->bytes.data() + cursor->at, count);
  cursor->at += count;
}

// Backends never print: warnings are dropped, errors return to the caller's
// setjmp without libpng's message on standard error.
void Silent(png_structp, png_const_charp) {}
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

}  // namespace

bool DecodePng(std::string_view bytes, DecodedImage* image) {
  if (!LooksLikePng(bytes)) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Silent);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  ReadCursor cursor{bytes, 0};
  std::vector<png_bytep> rows;
  std::vector<std::uint8_t> rgba;
  // libpng reports errors by longjmp: nothing with a destructor may be created
  // between here and the end of the decoding.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &cursor, ReadBytes);
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info);
  const png_uint_32 h = png_get_image_height(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != w * 4) png_error(png, "layout");
  rgba.resize(static_cast<std::size_t>(w) * h * 4);
  rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = rgba.data() + static_cast<std::size_t>(y) * w * 4;
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);

  image->width = static_cast<int>(w);
  image->height = static_cast<int>(h);
  image->has_alpha = true;
  image->pixels.resize(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < image->pixels.size(); ++i) {
    const std::uint8_t* p = &rgba[i * 4];
    image->pixels[i] = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  return true;
}

}  // namespace posix

bool WritePng(const std::vector<Color>& pixels, int width, int height, const std::string& path) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, posix::Fail,
                                                posix::Silent);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  bool ok = png && info;
  if (ok && setjmp(png_jmpbuf(png))) {
    ok = false;
  } else if (ok) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Color c = pixels[static_cast<std::size_t>(y) * width + x];
        row[x * 3] = static_cast<std::uint8_t>(RedOf(c));
        row[x * 3 + 1] = static_cast<std::uint8_t>(GreenOf(c));
        row[x * 3 + 2] = static_cast<std::uint8_t>(BlueOf(c));
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  const bool closed = std::fclose(file) == 0;
  if (!ok || !closed) std::remove(path.c_str());
  return ok && closed;
}

}  // namespace vorela
