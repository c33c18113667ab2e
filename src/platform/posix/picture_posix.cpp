#include "platform/posix/picture_posix.h"

#include <fstream>
#include <iterator>

namespace vorela {

std::shared_ptr<const Picture> LoadPictureFromBytes(std::string_view bytes) {
  DecodedImage image;
  std::vector<IconDirEntry> entries;
  if (ParseIconDirectory(bytes, &entries)) {
    const IconDirEntry& entry = entries[ChooseIconEntry(entries)];
    const std::string_view data = bytes.substr(entry.offset, entry.size);
    const bool ok = LooksLikePng(data) ? posix::DecodePng(data, &image)
                                       : DecodeDib(data, /*and_mask=*/true, &image);
    if (!ok) return nullptr;
    return std::make_shared<posix::DecodedPicture>(PictureKind::kIcon, std::move(image),
                                                   std::string(bytes));
  }
  if (!DecodeBmpFile(bytes, &image)) return nullptr;
  return std::make_shared<posix::DecodedPicture>(PictureKind::kBitmap, std::move(image),
                                                 std::string(bytes));
}

std::shared_ptr<const Picture> LoadPictureFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  // Pictures are small; anything past a few megabytes is not one of ours.
  constexpr std::size_t kMaxFile = 8 << 20;
  std::string bytes;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxFile) return nullptr;
  }
  return LoadPictureFromBytes(bytes);
}

}  // namespace vorela
