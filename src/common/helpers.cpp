#include "common/helpers.h"

namespace vorela {

bool FileExists(const Platform& platform, std::string_view path) noexcept {
  if (!platform.files) return false;
  std::uint64_t length = 0;
  return platform.files->GetLength(path, &length) == kErrorSuccess;
}

}  // namespace vorela
