// Writes the button's looks as PNG files: one per style 0-7 and state 0-4,
// enabled and disabled, with and without a picture, and one index image with
// all of them (rows: style, enabled/disabled, picture; columns: states).
//
//   button_gallery OUTPUT_FOLDER
#include <cstdio>
#include <string>
#include <vector>

#include "controls/candy_button.h"

namespace vorela {
namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 34;
constexpr int kLabelWidth = 150;
constexpr int kCellWidth = kWidth + 8;
constexpr int kCellHeight = kHeight + 8;
constexpr Color kFace = Rgb(236, 233, 216);

class GalleryHost final : public CandyButtonHost {
 public:
  bool UserMode() const override { return true; }
  FontSpec AmbientFont() const override { return FontSpec{}; }
  bool BackgroundColor(Color* color) const override {
    *color = kFace;
    return true;
  }
  void PropertyChanged() override {}
};

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, unsigned v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A 16 x 16 bitmap of our own: an orange disc with a dark rim on white.
std::string DiscBitmap() {
  const int side = 16;
  std::string s = "BM";
  Put32(s, 54 + side * side * 3);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, side);
  Put32(s, side);
  Put16(s, 1);
  Put16(s, 24);
  for (int i = 0; i < 6; ++i) Put32(s, 0);
  for (int y = side - 1; y >= 0; --y) {
    for (int x = 0; x < side; ++x) {
      const int d2 = (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15);
      int r = 255, g = 255, b = 255;
      if (d2 <= 196) r = 250, g = 150, b = 30;
      if (d2 > 150 && d2 <= 225) r = 120, g = 60, b = 10;
      s.push_back(static_cast<char>(b));
      s.push_back(static_cast<char>(g));
      s.push_back(static_cast<char>(r));
    }
  }
  return s;
}

}  // namespace
}  // namespace vorela

int main(int argc, char** argv) {
  using namespace vorela;
  if (argc != 2) {
    std::fprintf(stderr, "usage: button_gallery OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const auto picture = LoadPictureFromBytes(DiscBitmap());
  if (!picture) {
    std::fprintf(stderr, "button_gallery: the picture did not load\n");
    return 1;
  }
  GalleryHost host;
  const int rows = 8 * 2 * 2;
  auto index = CreateDrawingSurface();
  index->Resize(kLabelWidth + 5 * kCellWidth, 20 + rows * kCellHeight);
  index->SetBackColor(kFace);
  index->Clear();
  const char* state_names[] = {"normal", "pressed", "focused", "hover", "checked"};
  for (int state = 0; state < 5; ++state) {
    index->DrawText(kLabelWidth + state * kCellWidth + 4, 3, state_names[state], false);
  }
  int written = 0;
  int row = 0;
  for (int style = 0; style <= 7; ++style) {
    for (int enabled = 1; enabled >= 0; --enabled) {
      for (int with_picture = 0; with_picture <= 1; ++with_picture, ++row) {
        const int top = 20 + row * kCellHeight;
        const std::string label = "style " + std::to_string(style) +
                                  (enabled ? "" : " disabled") + (with_picture ? " picture" : "");
        index->DrawText(4, top + kHeight / 2 - 4, label, false);
        for (int state = 0; state < 5; ++state) {
          CandyButton button("cmdOK", host, CreateDrawingSurface());
          button.Surface().Resize(kWidth, kHeight);
          button.ReadProperties(PropertyStore::FromFormText("Caption = \"&Install\"\n"));
          button.SetStyle(style);
          button.SetEnabled(enabled != 0);
          if (with_picture) {
            button.SetPictureAlignment(2);
            button.SetPicture(picture);
          }
          button.OnResize();
          // State 4 is the checked look, which only Checked produces.
          if (state == 4) button.SetChecked(true);
          button.Redraw(state);
          const std::string name = folder + "/style" + std::to_string(style) + "_state" +
                                   std::to_string(state) + (enabled ? "" : "_disabled") +
                                   (with_picture ? "_picture" : "") + ".png";
          if (!WritePng(button.Surface(), name)) {
            std::fprintf(stderr, "button_gallery: cannot write %s\n", name.c_str());
            return 1;
          }
          ++written;
          // Outside the window's outline the index shows the form behind.
          const Region* outline = button.Surface().WindowRegion();
          const std::vector<Color> pixels = button.Surface().ReadPixels();
          const int left = kLabelWidth + state * kCellWidth + 4;
          for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
              if (outline && !outline->Contains(x, y)) continue;
              index->SetPixel(left + x, top + 4 + y, pixels[y * kWidth + x]);
            }
          }
        }
      }
    }
  }
  if (!WritePng(*index, folder + "/index.png")) {
    std::fprintf(stderr, "button_gallery: cannot write the index\n");
    return 1;
  }
  std::printf("button_gallery: %d looks and index.png in %s\n", written, folder.c_str());
  return 0;
}
