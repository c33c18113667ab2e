// The icon check of the installer window reads the header and directory of
// an icon that came in a package: any bytes must give an answer, never a read
// outside them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/installer_window.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  vorela::LooksLikeIconFile(
      std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
