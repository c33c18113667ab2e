// Backend-independent parts of the file seam.
#include "platform/files.h"

#include <algorithm>

#include "base/ascii.h"

namespace vorela {

Win32Error FileSystem::Copy(std::string_view from, std::string_view to) {
  std::string bytes;
  if (Win32Error e = ReadAll(from, &bytes); e != kErrorSuccess) return e;
  return WriteAtomic(to, bytes);
}

Win32Error FileSystem::CopyPlainFile(std::string_view from, std::string_view to) {
  FileEntry entry;
  if (Win32Error e = FindEntry(from, &entry); e != kErrorSuccess) return e;
  if (entry.is_directory) return kErrorBadFileType;
  return Copy(from, to);
}

void SortAsListed(std::vector<std::string>* names) {
  std::sort(names->begin(), names->end(),
            [](const std::string& a, const std::string& b) { return LessIgnoreCase(a, b); });
}

}  // namespace vorela
