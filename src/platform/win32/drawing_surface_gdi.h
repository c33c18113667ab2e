// The Windows drawing surface: a memory DC holding a 32-bit top-down DIB
// section, so the image can be read back pixel by pixel and painted with one
// BitBlt. Regions are HRGNs; pictures are HICONs made by the platform from the
// icon file's image, or DIB sections for bitmaps.
#pragma once

#include <memory>
#include <string>

#include "platform/drawing_surface.h"
#include "platform/win32/windows_lean.h"

#ifdef DrawText
#undef DrawText  // the surface's member, not the A/W macro
#endif

namespace vorela::win32 {

// An owned GDI object handle.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.Release();
    }
    return *this;
  }
  T Get() const { return handle_; }
  T Release() {
    T h = handle_;
    handle_ = nullptr;
    return h;
  }
  void Reset(T handle = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = nullptr;
};

class GdiRegion final : public Region {
 public:
  explicit GdiRegion(HRGN rgn) : rgn_(rgn) {}
  void XorRect(int left, int top, int right, int bottom) override;
  bool Contains(int x, int y) const override;
  bool IsEmpty() const override;
  void Bounds(int* left, int* top, int* right, int* bottom) const override;
  std::unique_ptr<Region> Clone() const override;
  HRGN Get() const { return rgn_.Get(); }

 private:
  GdiObject<HRGN> rgn_;
};

class GdiPicture final : public Picture {
 public:
  GdiPicture(PictureKind kind, int width, int height, std::string bytes);
  ~GdiPicture() override;
  PictureKind Kind() const override { return kind_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  const std::string& Bytes() const override { return bytes_; }

  HICON icon = nullptr;
  HBITMAP bitmap = nullptr;

 private:
  PictureKind kind_;
  int width_;
  int height_;
  std::string bytes_;
};

}  // namespace vorela::win32
