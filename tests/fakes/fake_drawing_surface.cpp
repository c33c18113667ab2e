#include "fakes/fake_drawing_surface.h"

namespace vorela::testing {

bool FakeDrawingSurface::Resize(int width, int height) {
  width_ = width < 0 ? 0 : width;
  height_ = height < 0 ? 0 : height;
  return true;
}

void FakeDrawingSurface::DrawText(int x, int y, std::string_view text, bool greyed) {
  texts.push_back({x, y, std::string(text), greyed, fore_});
}

TextExtent FakeDrawingSurface::MeasureText(std::string_view text) {
  int chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    ++chars;
  }
  return {chars * 6, text.empty() ? 0 : 13};
}

void FakeDrawingSurface::DrawPicture(const Picture&, int x, int y, PictureLook look,
                                     Color brush) {
  pictures.push_back({x, y, look, brush});
}

std::vector<Color> FakeDrawingSurface::ReadPixels() const {
  return std::vector<Color>(static_cast<std::size_t>(width_) * height_, 0);
}

void FakeDrawingSurface::SetWindowRegion(std::unique_ptr<Region> region, bool) {
  region_ = std::move(region);
  ++region_changes;
}

}  // namespace vorela::testing
