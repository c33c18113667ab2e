// Pictures of the POSIX build: decoded once into plain pixels (icons with
// their mask or alpha channel), drawn by the image surface.
#pragma once

#include <string>

#include "platform/drawing_surface.h"
#include "platform/icon_decoder.h"

namespace vorela::posix {

class DecodedPicture final : public Picture {
 public:
  DecodedPicture(PictureKind kind, DecodedImage image, std::string bytes)
      : kind_(kind), image_(std::move(image)), bytes_(std::move(bytes)) {}
  PictureKind Kind() const override { return kind_; }
  int Width() const override { return image_.width; }
  int Height() const override { return image_.height; }
  const std::string& Bytes() const override { return bytes_; }
  const DecodedImage& Image() const { return image_; }

 private:
  PictureKind kind_;
  DecodedImage image_;
  std::string bytes_;
};

// A PNG image (as icon files carry them) into pixels with alpha.
bool DecodePng(std::string_view bytes, DecodedImage* image);

}  // namespace vorela::posix
