// Shared set-up of the cabinet tests: cabinets written into scratch folders and
// a recorder of the platform's notifications.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "platform/cabinet.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vorela::testing {

// Writes a cabinet into dir and returns its path in Windows form.
inline std::string PutCabinet(const ScratchDir& dir, const std::string& name,
                              const std::string& bytes) {
  WriteNativeFile(dir.NativeJoin(name), bytes);
  return dir.Join(name);
}

inline bool NativeExists(const std::string& native) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::u8path(native), ec);
}

// Every file below a native folder, as "relative/path=contents" lines, sorted.
inline std::vector<std::string> TreeOf(const std::string& native) {
  std::vector<std::string> out;
  std::error_code ec;
  const auto root = std::filesystem::u8path(native);
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator();
       it.increment(ec)) {
    const auto rel =
        std::filesystem::relative(it->path(), root, ec).generic_u8string();
    std::string line(rel.begin(), rel.end());
    if (it->is_directory(ec)) {
      out.push_back(line + "/");
    } else {
      const std::u8string path = it->path().u8string();
      out.push_back(line + "=" +
                    ReadNativeFile(std::string(path.begin(), path.end())));
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace vorela::testing
