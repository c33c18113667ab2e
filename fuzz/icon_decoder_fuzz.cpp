// Pictures come in packages from outside: the icon and bitmap decoding, and
// drawing what it gives in every look, must take any bytes without reading
// outside them, crashing or allocating without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/drawing_surface.h"
#include "platform/icon_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<vorela::IconDirEntry> entries;
  vorela::DecodedImage image;
  if (vorela::ParseIconDirectory(bytes, &entries)) {
    vorela::ChooseIconEntry(entries);
    for (const vorela::IconDirEntry& e : entries) {
      vorela::DecodeDib(bytes.substr(e.offset, e.size), true, &image);
    }
  }
  vorela::DecodeDib(bytes, false, &image);
  vorela::DecodeDib(bytes, true, &image);
  vorela::DecodeBmpFile(bytes, &image);

  static auto surface = [] {
    auto s = vorela::CreateDrawingSurface();
    s->Resize(40, 40);
    return s;
  }();
  if (auto picture = vorela::LoadPictureFromBytes(bytes)) {
    for (auto look : {vorela::PictureLook::kNormal, vorela::PictureLook::kGreyed,
                      vorela::PictureLook::kSilhouette}) {
      surface->DrawPicture(*picture, -3, 5, look, vorela::Rgb(0, 255, 0));
    }
  }
  return 0;
}
