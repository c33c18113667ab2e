#include "platform/posix/registry_names.h"

#include "base/ascii.h"
#include "base/utf.h"

namespace vorela::posix {

Win32Error SplitKeyPath(std::string_view utf8_path,
                        std::vector<std::string>* components) {
  components->clear();
  if (Utf16Length(utf8_path) > kMaxKeyPathLength) return kErrorMoreData;
  if (!utf8_path.empty() && utf8_path.front() == '\\') return kErrorBadPathname;
  std::size_t start = 0;
  while (start <= utf8_path.size()) {
    std::size_t end = utf8_path.find('\\', start);
    if (end == std::string_view::npos) end = utf8_path.size();
    std::string_view part = utf8_path.substr(start, end - start);
    if (!part.empty()) {
      if (Utf16Length(part) > kMaxKeyNameLength) return kErrorInvalidParameter;
      components->emplace_back(part);
    }
    start = end + 1;
  }
  return kErrorSuccess;
}

std::string FoldName(std::string_view utf8_name) {
  return AsciiLower(utf8_name);
}

}  // namespace vorela::posix
