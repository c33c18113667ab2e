// Backend-independent parts of the installer-window seam.
#include "platform/installer_window.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace vorela {
namespace {

std::uint32_t Le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1]))
             << 8;
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
  return Le16(bytes, at) | Le16(bytes, at + 2) << 16;
}

InstallerOkButtonMaker& OkButtonMaker() {
  static InstallerOkButtonMaker maker;
  return maker;
}

}  // namespace

void SetInstallerOkButtonMaker(InstallerOkButtonMaker maker) {
  OkButtonMaker() = std::move(maker);
}

std::unique_ptr<InstallerOkButton> MakeInstallerOkButton() {
  return OkButtonMaker() ? OkButtonMaker()() : nullptr;
}

bool LooksLikeIconFile(std::string_view bytes) {
  constexpr std::size_t kHeaderSize = 6;
  constexpr std::size_t kEntrySize = 16;
  if (bytes.size() < kHeaderSize + kEntrySize) return false;
  if (Le16(bytes, 0) != 0 || Le16(bytes, 2) != 1) return false;
  const std::size_t count = Le16(bytes, 4);
  if (count == 0 || kHeaderSize + count * kEntrySize > bytes.size()) {
    return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = kHeaderSize + i * kEntrySize;
    const std::uint64_t size = Le32(bytes, entry + 8);
    const std::uint64_t offset = Le32(bytes, entry + 12);
    if (size == 0 || offset + size > bytes.size()) return false;
  }
  return true;
}

}  // namespace vorela
