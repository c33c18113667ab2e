#include "platform/posix/drawing_surface_image.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/posix/drawing_surface_region.h"
#include "platform/posix/picture_posix.h"

namespace vorela {
namespace posix {
namespace {

constexpr int kMaxSide = 1 << 14;

// Ceiling of n / d for d > 0.
long long CeilDiv(long long n, long long d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

Color Blend(Color dst, Color src, int alpha) {
  auto mix = [&](int d, int s) { return (s * alpha + d * (255 - alpha) + 127) / 255; };
  return Rgb(mix(RedOf(dst), RedOf(src)), mix(GreenOf(dst), GreenOf(src)),
             mix(BlueOf(dst), BlueOf(src)));
}

}  // namespace

ImageSurface::ImageSurface() = default;

bool ImageSurface::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width > kMaxSide || height > kMaxSide) {
    width_ = height_ = 0;
    pixels_.clear();
    return false;
  }
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * height, ResolveColor(back_));
  return true;
}

void ImageSurface::SetFont(const FontSpec& font) {
  if (font == font_ && text_) return;
  font_ = font;
  text_.reset();
}

TextRenderer& ImageSurface::Text() {
  if (!text_) text_ = std::make_unique<TextRenderer>(font_);
  return *text_;
}

void ImageSurface::Clear() { std::fill(pixels_.begin(), pixels_.end(), ResolveColor(back_)); }

void ImageSurface::Span(int y, int x1, int x2, Color rgb) {
  if (y < 0 || y >= height_) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, width_);
  if (x1 >= x2) return;
  std::fill(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + x1,
            pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + x2, rgb);
}

void ImageSurface::FillRect(int left, int top, int right, int bottom, Color color) {
  const Color rgb = ResolveColor(color);
  top = std::max(top, 0);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y) Span(y, left, right, rgb);
}

void ImageSurface::SetPixel(int x, int y, Color color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = ResolveColor(color);
}

Color ImageSurface::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void ImageSurface::DrawLine(int x1, int y1, int x2, int y2, Color color) {
  const Color rgb = ResolveColor(color);
  const long long dx = static_cast<long long>(x2) - x1;
  const long long dy = static_cast<long long>(y2) - y1;
  const long long n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0) return;
  if (dy == 0) {
    // Horizontal: from x1 up to, not including, x2 in either direction.
    if (dx > 0) Span(y1, x1, x2, rgb); else Span(y1, x2 + 1, x1 + 1, rgb);
    return;
  }
  // The minor coordinate is rounded to nearest, an exact half towards the
  // smaller coordinate, which is where GDI puts the pixels of a slanted line.
  const bool x_major = std::llabs(dx) >= std::llabs(dy);
  const long long steps = std::min<long long>(n, 4LL * kMaxSide);
  for (long long i = 0; i < steps; ++i) {
    long long x, y;
    if (x_major) {
      x = x1 + (dx > 0 ? i : -i);
      y = CeilDiv(2LL * y1 * n + 2 * i * dy - n, 2 * n);
    } else {
      y = y1 + (dy > 0 ? i : -i);
      x = CeilDiv(2LL * x1 * n + 2 * i * dx - n, 2 * n);
    }
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
      pixels_[static_cast<std::size_t>(y) * width_ + x] = rgb;
    }
  }
}

void ImageSurface::FillEllipse(int left, int top, int right, int bottom, Color color) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const long long w = static_cast<long long>(right) - left;
  const long long h = static_cast<long long>(bottom) - top;
  if (w < 2 || h < 2) return;  // GDI draws nothing one pixel thin
  if (w == 2 || h == 2) {
    // Two pixels thin, GDI leaves out the last column and row.
    FillRect(left, top, right - 1, bottom - 1, color);
    return;
  }
  const Color rgb = ResolveColor(color);
  const double a = (static_cast<double>(right) - left) / 2.0;
  const double b = (static_cast<double>(bottom) - top) / 2.0;
  const double cx = left + a;
  const double cy = top + b;
  const int y_from = std::max(top, 0);
  const int y_to = std::min(bottom, height_);
  for (int y = y_from; y < y_to; ++y) {
    const double dy = (y + 0.5 - cy) / b;
    const double q = 1.0 - dy * dy;
    if (q < 0) continue;
    // Pixel centres within the ellipse, taken in by a tenth of a pixel: that
    // lands on GDI's spans for all but a few rows of each ellipse.
    const double half = a * std::sqrt(q) - 0.1;
    if (half < 0) continue;
    const double lo = std::ceil(cx - half - 0.5);
    const double hi = std::floor(cx + half - 0.5);
    if (hi < lo) continue;
    const double clamp_lo = std::max(lo, -1.0);
    const double clamp_hi = std::min(hi, static_cast<double>(width_));
    Span(y, static_cast<int>(clamp_lo), static_cast<int>(clamp_hi) + 1, rgb);
  }
}

void ImageSurface::StampMask(const std::vector<std::uint8_t>& mask, int mw, int mh, int x, int y,
                             Color rgb) {
  for (int row = 0; row < mh; ++row) {
    for (int col = 0; col < mw; ++col) {
      if (mask[static_cast<std::size_t>(row) * mw + col]) SetPixel(x + col, y + row, rgb);
    }
  }
}

void ImageSurface::DrawText(int x, int y, std::string_view text, bool greyed) {
  TextRenderer& renderer = Text();
  if (!greyed) {
    const Color rgb = ResolveColor(fore_);
    renderer.Render(text, x, y, /*mono=*/false, [&](int px, int py, int coverage) {
      if (px < 0 || py < 0 || px >= width_ || py >= height_) return;
      Color& dst = pixels_[static_cast<std::size_t>(py) * width_ + px];
      dst = coverage >= 255 ? rgb : Blend(dst, rgb, coverage);
    });
    return;
  }
  // The disabled look: the one-bit text in the highlight colour one pixel
  // right and down, then in the shadow colour on top.
  const TextExtent extent = renderer.Measure(text);
  const int margin = extent.height;  // glyphs may reach past the advance box
  const int mw = extent.width + 2 * margin;
  const int mh = extent.height + 2 * margin;
  if (mw <= 0 || mh <= 0 || static_cast<long long>(mw) * mh > (1LL << 24)) return;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(mw) * mh, 0);
  renderer.Render(text, margin, margin, /*mono=*/true, [&](int px, int py, int) {
    if (px >= 0 && py >= 0 && px < mw && py < mh) mask[static_cast<std::size_t>(py) * mw + px] = 1;
  });
  StampMask(mask, mw, mh, x - margin + 1, y - margin + 1, ResolveColor(SystemColor(kColorBtnHighlight)));
  StampMask(mask, mw, mh, x - margin, y - margin, ResolveColor(SystemColor(kColorBtnShadow)));
}

TextExtent ImageSurface::MeasureText(std::string_view text) { return Text().Measure(text); }

void ImageSurface::DrawPicture(const Picture& picture, int x, int y, PictureLook look,
                               Color brush) {
  const auto* decoded = dynamic_cast<const DecodedPicture*>(&picture);
  if (!decoded) return;
  const DecodedImage& image = decoded->Image();
  const bool icon = picture.Kind() == PictureKind::kIcon;
  auto composed = [&](Color under, std::uint32_t px) -> Color {
    const Color rgb = px & 0xFFFFFF;
    const int alpha = static_cast<int>(px >> 24);
    if (!icon) return rgb;
    if (image.has_alpha) return alpha == 255 ? rgb : alpha == 0 ? under : Blend(under, rgb, alpha);
    return alpha ? rgb : (under ^ rgb);  // AND mask, then XOR image
  };
  if (look == PictureLook::kNormal) {
    for (int row = 0; row < image.height; ++row) {
      for (int col = 0; col < image.width; ++col) {
        const int px = x + col, py = y + row;
        if (px < 0 || py < 0 || px >= width_ || py >= height_) continue;
        Color& dst = pixels_[static_cast<std::size_t>(py) * width_ + px];
        dst = composed(dst, image.pixels[static_cast<std::size_t>(row) * image.width + col]);
      }
    }
    return;
  }
  // Greyed and silhouette start from a one-bit image of the picture: drawn
  // over white, every pixel that is not white is set.
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(image.width) * image.height, 0);
  for (std::size_t i = 0; i < mask.size(); ++i) {
    mask[i] = composed(Rgb(255, 255, 255), image.pixels[i]) != Rgb(255, 255, 255);
  }
  if (look == PictureLook::kSilhouette) {
    StampMask(mask, image.width, image.height, x, y, ResolveColor(brush));
    return;
  }
  StampMask(mask, image.width, image.height, x + 1, y + 1,
            ResolveColor(SystemColor(kColorBtnHighlight)));
  StampMask(mask, image.width, image.height, x, y, ResolveColor(SystemColor(kColorBtnShadow)));
}

void ImageSurface::SetWindowRegion(std::unique_ptr<Region> region, bool redraw) {
  window_region_ = std::move(region);
  if (redraw) ++refreshes_;
}

}  // namespace posix

std::unique_ptr<Region> CreateRectRegion(int left, int top, int right, int bottom) {
  return std::make_unique<posix::BandRegion>(left, top, right, bottom);
}

std::unique_ptr<DrawingSurface> CreateDrawingSurface() {
  return std::make_unique<posix::ImageSurface>();
}

}  // namespace vorela
