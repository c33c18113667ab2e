// Backend-independent parts of the file seam.
#include "platform/files.h"

namespace vorela {

Win32Error FileSystem::CopyPlainFile(std::string_view from, std::string_view to) {
  FileEntry entry;
  if (Win32Error e = FindEntry(from, &entry); e != kErrorSuccess) return e;
  if (entry.is_directory) return kErrorBadFileType;
  return Copy(from, to);
}

}  // namespace vorela
