// The POSIX drawing surface: a plain RGB image with primitives of our own that
// cover the same pixels as GDI's aliased ones, FreeType text and decoded
// pictures. The window it is attached to only receives the outline and counts
// refreshes: there is no screen here.
#pragma once

#include <memory>
#include <vector>

#include "platform/drawing_surface.h"
#include "platform/posix/drawing_surface_text.h"

namespace vorela::posix {

class ImageSurface final : public DrawingSurface {
 public:
  ImageSurface();

  bool Resize(int width, int height) override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetBackColor(Color color) override { back_ = color; }
  Color BackColor() const override { return back_; }
  void SetForeColor(Color color) override { fore_ = color; }
  Color ForeColor() const override { return fore_; }
  void SetFont(const FontSpec& font) override;
  const FontSpec& Font() const override { return font_; }
  void Clear() override;

  void FillRect(int left, int top, int right, int bottom, Color color) override;
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override;
  void SetPixel(int x, int y, Color color) override;
  void FillEllipse(int left, int top, int right, int bottom, Color color) override;
  void DrawText(int x, int y, std::string_view text, bool greyed) override;
  TextExtent MeasureText(std::string_view text) override;
  void DrawPicture(const Picture& picture, int x, int y, PictureLook look,
                   Color brush) override;

  Color GetPixel(int x, int y) const override;
  std::vector<Color> ReadPixels() const override { return pixels_; }

  void AttachWindow(SurfaceWindow window) override { window_ = window; }
  SurfaceWindow Window() const override { return window_; }
  void SetWindowRegion(std::unique_ptr<Region> region, bool redraw) override;
  const Region* WindowRegion() const override { return window_region_.get(); }
  void Refresh() override { ++refreshes_; }
  void Paint(std::uintptr_t) override { ++refreshes_; }
  std::uint64_t RefreshCount() const override { return refreshes_; }

 private:
  // One row from x1 to x2 - 1, clipped.
  void Span(int y, int x1, int x2, Color rgb);
  // A one-bit mask (1 = set) placed at (x, y) in one colour.
  void StampMask(const std::vector<std::uint8_t>& mask, int mw, int mh, int x, int y,
                 Color rgb);
  TextRenderer& Text();

  int width_ = 0;
  int height_ = 0;
  std::vector<Color> pixels_;
  Color back_ = Rgb(255, 255, 255);
  Color fore_ = 0;
  FontSpec font_;
  std::unique_ptr<TextRenderer> text_;
  SurfaceWindow window_ = 0;
  std::unique_ptr<Region> window_region_;
  std::uint64_t refreshes_ = 0;
};

}  // namespace vorela::posix
