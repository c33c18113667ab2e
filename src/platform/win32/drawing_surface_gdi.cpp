#include "platform/win32/drawing_surface_gdi.h"

#include <algorithm>
#include <vector>

#include <olectl.h>

namespace vorela {
namespace win32 {
namespace {

constexpr int kMaxSide = 1 << 14;

COLORREF Ref(Color color) { return static_cast<COLORREF>(ResolveColor(color)); }

class GdiSurface final : public DrawingSurface {
 public:
  GdiSurface() : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) {
      SetBkMode(dc_, TRANSPARENT);
      SelectObject(dc_, GetStockObject(NULL_PEN));
      original_bitmap_ = static_cast<HBITMAP>(GetCurrentObject(dc_, OBJ_BITMAP));
      original_font_ = static_cast<HFONT>(GetCurrentObject(dc_, OBJ_FONT));
    }
    ApplyFont();
  }
  ~GdiSurface() override {
    if (dc_) {
      SelectObject(dc_, original_bitmap_);
      SelectObject(dc_, original_font_);
      DeleteDC(dc_);
    }
  }

  bool Resize(int width, int height) override {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (dc_) SelectObject(dc_, original_bitmap_);
    dib_.Reset();
    bits_ = nullptr;
    width_ = height_ = 0;
    if (!dc_ || width > kMaxSide || height > kMaxSide) return false;
    if (width == 0 || height == 0) {
      width_ = width;
      height_ = height;
      return true;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return false;
    dib_.Reset(dib);
    bits_ = static_cast<DWORD*>(bits);
    SelectObject(dc_, dib);
    width_ = width;
    height_ = height;
    Clear();
    return true;
  }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetBackColor(Color color) override { back_ = color; }
  Color BackColor() const override { return back_; }
  void SetForeColor(Color color) override { fore_ = color; }
  Color ForeColor() const override { return fore_; }
  void SetFont(const FontSpec& font) override {
    if (font == font_) return;
    font_ = font;
    ApplyFont();
  }
  const FontSpec& Font() const override { return font_; }

  void Clear() override { FillRect(0, 0, width_, height_, back_); }

  void FillRect(int left, int top, int right, int bottom, Color color) override {
    if (!bits_ || right <= left || bottom <= top) return;
    GdiObject<HBRUSH> brush(CreateSolidBrush(Ref(color)));
    RECT rc = {left, top, right, bottom};
    ::FillRect(dc_, &rc, brush.Get());
  }
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override {
    if (!bits_) return;
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, Ref(color)));
    HGDIOBJ old = SelectObject(dc_, pen.Get());
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
    SelectObject(dc_, old);
  }
  void SetPixel(int x, int y, Color color) override {
    if (bits_) ::SetPixelV(dc_, x, y, Ref(color));
  }
  void FillEllipse(int left, int top, int right, int bottom, Color color) override {
    if (!bits_) return;
    GdiObject<HBRUSH> brush(CreateSolidBrush(Ref(color)));
    HGDIOBJ old = SelectObject(dc_, brush.Get());
    Ellipse(dc_, left, top, right, bottom);
    SelectObject(dc_, old);
  }

  void DrawText(int x, int y, std::string_view text, bool greyed) override {
    if (!bits_ || text.empty()) return;
    const std::wstring wide = Widen(text);
    if (greyed) {
      // DrawState lays text out on one line; the lines are drawn one by one.
      int top = y;
      std::size_t start = 0;
      const int line_height = LineHeight();
      while (start <= wide.size()) {
        std::size_t end = wide.find(L'\n', start);
        if (end == std::wstring::npos) end = wide.size();
        std::wstring line = wide.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) {
          DrawStateW(dc_, nullptr, nullptr, reinterpret_cast<LPARAM>(line.c_str()),
                     static_cast<WPARAM>(line.size()), x, top, 0, 0, DST_PREFIXTEXT | DSS_DISABLED);
        }
        top += line_height;
        start = end + 1;
      }
      return;
    }
    SetTextColor(dc_, Ref(fore_));
    RECT rc = {x, y, x + kMaxSide, y + kMaxSide};
    DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &rc, DT_LEFT | DT_TOP | DT_NOCLIP);
  }
  TextExtent MeasureText(std::string_view text) override {
    if (text.empty()) return {};
    const std::wstring wide = Widen(text);
    RECT rc = {0, 0, 0, 0};
    DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &rc, DT_LEFT | DT_TOP | DT_CALCRECT);
    return {rc.right - rc.left, rc.bottom - rc.top};
  }

  void DrawPicture(const Picture& picture, int x, int y, PictureLook look, Color brush) override {
    const auto* gdi = dynamic_cast<const GdiPicture*>(&picture);
    if (!bits_ || !gdi) return;
    const int w = gdi->Width(), h = gdi->Height();
    const bool icon = gdi->Kind() == PictureKind::kIcon;
    const UINT type = icon ? DST_ICON : DST_BITMAP;
    const LPARAM data = icon ? reinterpret_cast<LPARAM>(gdi->icon) : reinterpret_cast<LPARAM>(gdi->bitmap);
    if (!data) return;
    switch (look) {
      case PictureLook::kNormal:
        if (icon) {
          DrawIconEx(dc_, x, y, gdi->icon, w, h, 0, nullptr, DI_NORMAL);
        } else {
          DrawStateW(dc_, nullptr, nullptr, data, 0, x, y, w, h, type | DSS_NORMAL);
        }
        break;
      case PictureLook::kGreyed:
        DrawStateW(dc_, nullptr, nullptr, data, 0, x, y, w, h, type | DSS_DISABLED);
        break;
      case PictureLook::kSilhouette: {
        GdiObject<HBRUSH> solid(CreateSolidBrush(Ref(brush)));
        DrawStateW(dc_, solid.Get(), nullptr, data, 0, x, y, w, h, type | DSS_MONO);
        break;
      }
    }
  }

  Color GetPixel(int x, int y) const override {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    return FromDib(bits_[static_cast<std::size_t>(y) * width_ + x]);
  }
  std::vector<Color> ReadPixels() const override {
    std::vector<Color> out(static_cast<std::size_t>(width_) * height_);
    if (!bits_) return out;
    GdiFlush();
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = FromDib(bits_[i]);
    return out;
  }

  void AttachWindow(SurfaceWindow window) override { window_ = reinterpret_cast<HWND>(window); }
  SurfaceWindow Window() const override { return reinterpret_cast<SurfaceWindow>(window_); }
  void SetWindowRegion(std::unique_ptr<Region> region, bool redraw) override {
    window_region_ = std::move(region);
    if (!window_) return;
    HRGN handed = nullptr;
    if (const auto* gdi = dynamic_cast<const GdiRegion*>(window_region_.get())) {
      // The window takes ownership of what it is given: it gets a copy.
      handed = CreateRectRgn(0, 0, 0, 0);
      if (handed) CombineRgn(handed, gdi->Get(), nullptr, RGN_COPY);
    }
    if (!SetWindowRgn(window_, handed, redraw ? TRUE : FALSE) && handed) DeleteObject(handed);
  }
  const Region* WindowRegion() const override { return window_region_.get(); }

  void Refresh() override {
    ++refreshes_;
    if (!window_ || !bits_) return;
    HDC target = GetDC(window_);
    if (!target) return;
    BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    ReleaseDC(window_, target);
    // What the window shows is now the image: a pending paint must not erase
    // it again with the class background.
    ValidateRect(window_, nullptr);
  }
  void Paint(std::uintptr_t target) override {
    ++refreshes_;
    if (target && bits_) BitBlt(reinterpret_cast<HDC>(target), 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
  }
  std::uint64_t RefreshCount() const override { return refreshes_; }

 private:
  static Color FromDib(DWORD px) {
    return Rgb(static_cast<int>((px >> 16) & 0xFF), static_cast<int>((px >> 8) & 0xFF),
               static_cast<int>(px & 0xFF));
  }
  int LineHeight() {
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc_, &tm);
    return tm.tmHeight;
  }
  void ApplyFont() {
    if (!dc_) return;
    const int dpi = GetDeviceCaps(dc_, LOGPIXELSY) > 0 ? GetDeviceCaps(dc_, LOGPIXELSY) : 96;
    LOGFONTW lf = {};
    lf.lfHeight = -static_cast<LONG>(font_.points * dpi / 72.0 + 0.5);
    lf.lfWeight = font_.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font_.italic;
    lf.lfUnderline = font_.underline;
    lf.lfStrikeOut = font_.strikethrough;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Widen(font_.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return;
    SelectObject(dc_, font);
    font_handle_.Reset(font);
  }

  HDC dc_ = nullptr;
  HBITMAP original_bitmap_ = nullptr;
  HFONT original_font_ = nullptr;
  GdiObject<HBITMAP> dib_;
  GdiObject<HFONT> font_handle_;
  DWORD* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  Color back_ = Rgb(255, 255, 255);
  Color fore_ = 0;
  FontSpec font_;
  HWND window_ = nullptr;
  std::unique_ptr<Region> window_region_;
  std::uint64_t refreshes_ = 0;
};

}  // namespace

void GdiRegion::XorRect(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top || !rgn_.Get()) return;
  GdiObject<HRGN> rect(CreateRectRgn(left, top, right, bottom));
  if (rect.Get()) CombineRgn(rgn_.Get(), rgn_.Get(), rect.Get(), RGN_XOR);
}

bool GdiRegion::Contains(int x, int y) const { return rgn_.Get() && PtInRegion(rgn_.Get(), x, y); }

bool GdiRegion::IsEmpty() const {
  RECT box;
  return !rgn_.Get() || GetRgnBox(rgn_.Get(), &box) == NULLREGION;
}

void GdiRegion::Bounds(int* left, int* top, int* right, int* bottom) const {
  RECT box = {0, 0, 0, 0};
  if (rgn_.Get() && GetRgnBox(rgn_.Get(), &box) == NULLREGION) box = {0, 0, 0, 0};
  *left = box.left;
  *top = box.top;
  *right = box.right;
  *bottom = box.bottom;
}

std::unique_ptr<Region> GdiRegion::Clone() const {
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  if (copy && rgn_.Get()) CombineRgn(copy, rgn_.Get(), nullptr, RGN_COPY);
  return std::make_unique<GdiRegion>(copy);
}

}  // namespace win32

std::unique_ptr<Region> CreateRectRegion(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) left = top = right = bottom = 0;
  return std::make_unique<win32::GdiRegion>(CreateRectRgn(left, top, right, bottom));
}

std::unique_ptr<DrawingSurface> CreateDrawingSurface() {
  return std::make_unique<win32::GdiSurface>();
}

bool TranslateOleColor(std::uint32_t ole_color, Color* rgb) {
  // A palette index means nothing on a true-colour image; refused here as on
  // the POSIX build rather than drawn from whatever palette is selected.
  if ((ole_color >> 24) == 0x01) return false;
  COLORREF out = 0;
  if (OleTranslateColor(ole_color, nullptr, &out) != S_OK) return false;
  *rgb = static_cast<Color>(out) & 0xFFFFFF;
  return true;
}

}  // namespace vorela
