// Pictures of the Windows build. The image of an icon file is chosen and
// checked by the shared decoder, then made into an HICON by the platform, so
// the icon is drawn by the platform exactly as any other icon. Bitmaps become a
// DIB section of the decoded pixels (their file may hold any of the depths).
#include <cstdio>

#include "platform/icon_decoder.h"
#include "platform/win32/drawing_surface_gdi.h"

namespace vorela {
namespace win32 {

GdiPicture::GdiPicture(PictureKind kind, int width, int height, std::string bytes)
    : kind_(kind), width_(width), height_(height), bytes_(std::move(bytes)) {}

GdiPicture::~GdiPicture() {
  if (icon) DestroyIcon(icon);
  if (bitmap) DeleteObject(bitmap);
}

namespace {

HBITMAP BitmapFromPixels(const DecodedImage& image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  auto* out = static_cast<DWORD*>(bits);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint32_t p = image.pixels[i];
    out[i] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  }
  GdiFlush();
  return bitmap;
}

}  // namespace
}  // namespace win32

std::shared_ptr<const Picture> LoadPictureFromBytes(std::string_view bytes) {
  std::vector<IconDirEntry> entries;
  if (ParseIconDirectory(bytes, &entries)) {
    const IconDirEntry& entry = entries[ChooseIconEntry(entries)];
    const std::string_view data = bytes.substr(entry.offset, entry.size);
    int width = entry.width, height = entry.height;
    if (!LooksLikePng(data)) {
      // Damaged images never reach the platform's icon code.
      DecodedImage image;
      if (!DecodeDib(data, /*and_mask=*/true, &image)) return nullptr;
      width = image.width;
      height = image.height;
    }
    std::string copy(data);
    HICON icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(copy.data()),
                                          static_cast<DWORD>(copy.size()), TRUE, 0x00030000,
                                          width, height, LR_DEFAULTCOLOR);
    if (!icon) return nullptr;
    auto picture = std::make_shared<win32::GdiPicture>(PictureKind::kIcon, width, height,
                                                       std::string(bytes));
    picture->icon = icon;
    return picture;
  }
  DecodedImage image;
  if (!DecodeBmpFile(bytes, &image)) return nullptr;
  HBITMAP bitmap = win32::BitmapFromPixels(image);
  if (!bitmap) return nullptr;
  auto picture = std::make_shared<win32::GdiPicture>(PictureKind::kBitmap, image.width,
                                                     image.height, std::string(bytes));
  picture->bitmap = bitmap;
  return picture;
}

std::shared_ptr<const Picture> LoadPictureFile(const std::string& path) {
  FILE* file = _wfopen(win32::Widen(path).c_str(), L"rb");
  if (!file) return nullptr;
  constexpr std::size_t kMaxFile = 8 << 20;
  std::string bytes;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, n);
    if (bytes.size() > kMaxFile) break;
  }
  std::fclose(file);
  if (bytes.size() > kMaxFile) return nullptr;
  return LoadPictureFromBytes(bytes);
}

}  // namespace vorela
