// Drawing-surface seam: the persistent off-screen image of an owner-drawn
// control, with the few aliased primitives its painters use, its caption font,
// pictures, regions for the window outline, and the refresh to the screen.
//
// One painter code draws on every backend, so the backends agree pixel for
// pixel wherever that is possible (the contract tests pin it down):
//
//   * Coordinates are pixels, (0, 0) is the top-left pixel of the image.
//     Rectangles are given as left, top, right, bottom with right and bottom
//     excluded, as GDI takes them. Everything outside the image is clipped.
//   * Colours are 0x00BBGGRR. Any colour argument may also be a system colour
//     (0x80000000 | index); it is translated first (TranslateOleColor). A
//     colour that cannot be translated draws as black.
//   * Exact on every backend: FillRect, DrawLine (horizontal, vertical and
//     45-degree lines; the end point is not drawn, as with MoveTo/LineTo),
//     SetPixel, regions, colour translation, pictures drawn normal, greyed
//     and as a silhouette (partly transparent pixels of alpha icons within
//     two steps per channel).
//   * Close, not exact: FillEllipse (GDI's Ellipse with a null pen; a span's
//     end may lie one pixel apart, and GDI's smallest ellipses differ) and
//     text (the glyph rasters of the two font engines differ; line height is
//     the same, widths within 3 pixels per word, ink in the same box within
//     a pixel). The contract tests state the tolerances.
//
// The Windows backend is GDI on a memory DC holding a 32-bit DIB section; the
// POSIX backend an RGB image of our own with FreeType for text. Backends never
// throw and never print.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// <windows.h> maps DrawText to DrawTextA or DrawTextW; the surface's member
// keeps its own name (Windows code here calls the W functions by name).
#ifdef DrawText
#undef DrawText
#endif

namespace vorela {

// 0x00BBGGRR: red in the low byte, green in the second, blue in the third.
using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// System colour indices used by the drawing code itself.
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorBtnText = 18;
inline constexpr int kColorBtnHighlight = 20;
inline constexpr std::uint32_t kSystemColorFlag = 0x80000000u;
constexpr std::uint32_t SystemColor(int index) {
  return kSystemColorFlag | static_cast<std::uint32_t>(index);
}

// Colour translation as the platform does it: an RGB value (high byte 0) is
// returned as it is, a system colour (0x80000000 | index, index 0-30 in the low
// byte; the middle bytes are ignored) becomes that colour's RGB value, a palette-relative value (high byte 2) its RGB
// part. Anything else is refused (false, *rgb untouched). On Windows this is
// OleTranslateColor; on POSIX a fixed table equal to Wine's default colours.
bool TranslateOleColor(std::uint32_t ole_color, Color* rgb);
// What the surfaces draw with: the translation, black when there is none.
inline Color ResolveColor(Color color) {
  Color rgb = 0;
  return TranslateOleColor(color, &rgb) ? rgb : 0;
}

// A set of pixels: the window outline of a rounded control, or the inner
// region a painter tests points against. Owned by whoever holds the pointer.
class Region {
 public:
  virtual ~Region() = default;
  // Exclusive-or of the rectangle (right and bottom excluded) into the region.
  virtual void XorRect(int left, int top, int right, int bottom) = 0;
  virtual bool Contains(int x, int y) const = 0;
  virtual bool IsEmpty() const = 0;
  // Smallest rectangle around the region; all zero when it is empty.
  virtual void Bounds(int* left, int* top, int* right, int* bottom) const = 0;
  virtual std::unique_ptr<Region> Clone() const = 0;
};

// A rectangular region (empty when right <= left or bottom <= top).
std::unique_ptr<Region> CreateRectRegion(int left, int top, int right, int bottom);
inline std::unique_ptr<Region> CreateEmptyRegion() { return CreateRectRegion(0, 0, 0, 0); }

// Caption font. Size in points at 96 pixels per inch, as the host's fonts are.
struct FontSpec {
  std::string face = "Tahoma";
  double points = 9.0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;

  bool operator==(const FontSpec&) const = default;
};

struct TextExtent {
  int width = 0;
  int height = 0;
};

enum class PictureKind { kBitmap, kIcon };

// A picture loaded from an icon (.ico) or bitmap (.bmp) file. Immutable once
// made, so one picture may be shared by several controls.
class Picture {
 public:
  virtual ~Picture() = default;
  virtual PictureKind Kind() const = 0;
  // Size in pixels.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // The file's bytes as loaded, for storing the picture with a form.
  virtual const std::string& Bytes() const = 0;
  // Size in the host's picture units (0.01 mm, at 96 pixels per inch).
  int WidthHimetric() const { return PixelsToHimetric(Width()); }
  int HeightHimetric() const { return PixelsToHimetric(Height()); }

  static int PixelsToHimetric(int pixels) { return (pixels * 2540 + 48) / 96; }
  static int HimetricToPixels(int himetric) { return (himetric * 96 + 1270) / 2540; }
};

// From the bytes of an icon file (the image nearest 32 x 32 with the most
// colours is taken, BMP or PNG inside) or a bitmap file (1, 4, 8, 24 or 32 bits
// per pixel). nullptr when the bytes are neither, or damaged.
std::shared_ptr<const Picture> LoadPictureFromBytes(std::string_view bytes);
// Same, reading a file of this build's own path syntax.
std::shared_ptr<const Picture> LoadPictureFile(const std::string& path);

enum class PictureLook {
  kNormal,      // as the picture is (icons with their transparency)
  kGreyed,      // the platform's disabled look: embossed in shadow/highlight
  kSilhouette,  // every opaque, non-white pixel in one brush colour
};

// A window the surface shows itself in: the native handle (HWND on Windows,
// the window model's handle on POSIX). 0 for none.
using SurfaceWindow = std::uintptr_t;

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // Size of the image in pixels (the control's scale width and height).
  // Resizing keeps nothing of the old content: the image is cleared to the
  // back colour. Sizes below 0 count as 0. False when the image cannot be
  // allocated (the surface is then 0 x 0).
  virtual bool Resize(int width, int height) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  virtual void SetBackColor(Color color) = 0;
  virtual Color BackColor() const = 0;  // as set (not translated)
  virtual void SetForeColor(Color color) = 0;
  virtual Color ForeColor() const = 0;  // as set (not translated)
  virtual void SetFont(const FontSpec& font) = 0;
  virtual const FontSpec& Font() const = 0;

  // Fills the whole image with the back colour (the background picture is
  // cleared).
  virtual void Clear() = 0;

  virtual void FillRect(int left, int top, int right, int bottom, Color color) = 0;
  // A one-pixel line from (x1, y1) towards (x2, y2), the end point excluded.
  virtual void DrawLine(int x1, int y1, int x2, int y2, Color color) = 0;
  virtual void SetPixel(int x, int y, Color color) = 0;
  // The ellipse inside the rectangle, filled without outline.
  virtual void FillEllipse(int left, int top, int right, int bottom, Color color) = 0;

  // Text in the fore colour with a transparent background, its top-left corner
  // at (x, y). "&" underlines the next character and is not drawn; "&&" draws
  // one "&". Line feeds ("\n" or "\r\n") start new lines. Greyed draws the
  // platform's disabled look (highlight one pixel right and down, shadow on
  // top) whatever the fore colour. The text is UTF-8.
  virtual void DrawText(int x, int y, std::string_view text, bool greyed) = 0;
  // Size of what DrawText draws (the "&" prefixes taken out).
  virtual TextExtent MeasureText(std::string_view text) = 0;

  // The picture at its size in pixels, its top-left corner at (x, y). brush is
  // the silhouette's colour (unused for the other looks).
  virtual void DrawPicture(const Picture& picture, int x, int y, PictureLook look,
                           Color brush) = 0;

  virtual Color GetPixel(int x, int y) const = 0;  // 0 outside the image
  // The whole image, row by row from the top.
  virtual std::vector<Color> ReadPixels() const = 0;

  // The window the image is shown in (0 detaches it).
  virtual void AttachWindow(SurfaceWindow window) = 0;
  virtual SurfaceWindow Window() const = 0;
  // Hands an outline to the window (nullptr: plain rectangle again); the
  // window owns it from here on. With redraw the window repaints. A copy stays
  // readable through WindowRegion() for the control and for tests.
  virtual void SetWindowRegion(std::unique_ptr<Region> region, bool redraw) = 0;
  virtual const Region* WindowRegion() const = 0;

  // Shows the image in the attached window now.
  virtual void Refresh() = 0;
  // For the window's paint handler: copies the image to the window's paint
  // target (an HDC on Windows; unused on POSIX).
  virtual void Paint(std::uintptr_t target) = 0;
  // How often the image has been put on the screen by Refresh or Paint.
  virtual std::uint64_t RefreshCount() const = 0;
};

// A surface of this build's backend, 0 x 0, back colour white, fore colour
// black, font Tahoma 9 pt.
std::unique_ptr<DrawingSurface> CreateDrawingSurface();

// Writes the image as an 8-bit RGB PNG file (this build's path syntax).
bool WritePng(const std::vector<Color>& pixels, int width, int height, const std::string& path);
inline bool WritePng(const DrawingSurface& surface, const std::string& path) {
  return WritePng(surface.ReadPixels(), surface.Width(), surface.Height(), path);
}

}  // namespace vorela
