#include "platform/posix/registry_names.h"

namespace vorela::posix {
namespace {

// UTF-16 code units of UTF-8 text: lead bytes count one, four-byte sequences
// two.
std::size_t Utf16Units(std::string_view utf8) {
  std::size_t units = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) == 0x80) continue;
    units += (c >= 0xF0) ? 2 : 1;
  }
  return units;
}

}  // namespace

Win32Error SplitKeyPath(std::string_view utf8_path,
                        std::vector<std::string>* components) {
  components->clear();
  if (Utf16Units(utf8_path) > kMaxKeyPathLength) return kErrorMoreData;
  if (!utf8_path.empty() && utf8_path.front() == '\\') return kErrorBadPathname;
  std::size_t start = 0;
  while (start <= utf8_path.size()) {
    std::size_t end = utf8_path.find('\\', start);
    if (end == std::string_view::npos) end = utf8_path.size();
    std::string_view part = utf8_path.substr(start, end - start);
    if (!part.empty()) {
      if (Utf16Units(part) > kMaxKeyNameLength) return kErrorInvalidParameter;
      components->emplace_back(part);
    }
    start = end + 1;
  }
  return kErrorSuccess;
}

std::string FoldName(std::string_view utf8_name) {
  std::string folded(utf8_name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace vorela::posix
