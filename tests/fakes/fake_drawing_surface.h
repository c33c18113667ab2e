// A drawing surface for unit tests of the button's logic: it keeps the size,
// colours, font and window outline, and records the text and pictures drawn
// and the refreshes, without rasterising anything. Text measures a fixed 6 x
// 13 pixels per character ("&" prefixes taken out).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/drawing_surface.h"

namespace vorela::testing {

class FakePicture final : public Picture {
 public:
  FakePicture(int width, int height, PictureKind kind = PictureKind::kIcon)
      : width_(width), height_(height), kind_(kind) {}
  PictureKind Kind() const override { return kind_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  const std::string& Bytes() const override { return bytes_; }

 private:
  int width_;
  int height_;
  PictureKind kind_;
  std::string bytes_;
};

class FakeDrawingSurface final : public DrawingSurface {
 public:
  struct TextCall {
    int x, y;
    std::string text;
    bool greyed;
    Color color;
  };
  struct PictureCall {
    int x, y;
    PictureLook look;
    Color brush;
  };

  bool Resize(int width, int height) override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetBackColor(Color color) override { back_ = color; }
  Color BackColor() const override { return back_; }
  void SetForeColor(Color color) override { fore_ = color; }
  Color ForeColor() const override { return fore_; }
  void SetFont(const FontSpec& font) override { font_ = font; }
  const FontSpec& Font() const override { return font_; }
  void Clear() override { ++clears; }
  void FillRect(int, int, int, int, Color) override {}
  void DrawLine(int, int, int, int, Color) override {}
  void SetPixel(int, int, Color) override {}
  void FillEllipse(int, int, int, int, Color) override {}
  void DrawText(int x, int y, std::string_view text, bool greyed) override;
  TextExtent MeasureText(std::string_view text) override;
  void DrawPicture(const Picture&, int x, int y, PictureLook look, Color brush) override;
  Color GetPixel(int, int) const override { return 0; }
  std::vector<Color> ReadPixels() const override;
  void AttachWindow(SurfaceWindow window) override { window_ = window; }
  SurfaceWindow Window() const override { return window_; }
  void SetWindowRegion(std::unique_ptr<Region> region, bool redraw) override;
  const Region* WindowRegion() const override { return region_.get(); }
  void Refresh() override { ++refreshes_; }
  void Paint(std::uintptr_t) override { ++refreshes_; }
  std::uint64_t RefreshCount() const override { return refreshes_; }

  std::vector<TextCall> texts;
  std::vector<PictureCall> pictures;
  int clears = 0;
  int region_changes = 0;

 private:
  int width_ = 0;
  int height_ = 0;
  Color back_ = 0xFFFFFF;
  Color fore_ = 0;
  FontSpec font_;
  SurfaceWindow window_ = 0;
  std::unique_ptr<Region> region_;
  std::uint64_t refreshes_ = 0;
};

}  // namespace vorela::testing
