// Special folders from shell32 and kernel32, called exactly as the resolver
// needs them (ANSI entry points, caller's buffer).
#include <shlobj.h>

#include <cstring>

#include "platform/folders.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

class Win32SpecialFolders final : public SpecialFolders {
 public:
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size) override {
    return GetWindowsDirectoryA(buffer, size);
  }
  std::uint32_t SystemDirectory(char* buffer, std::uint32_t size) override {
    return GetSystemDirectoryA(buffer, size);
  }
  std::uint32_t TempPath(std::uint32_t size, char* buffer) override {
    return GetTempPathA(size, buffer);
  }
  bool ShellFolderPath(int csidl, char* buffer) override {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), csidl, &list)) || !list) {
      return false;
    }
    char path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    if (!ok) return false;
    std::memcpy(buffer, path, MAX_PATH);
    return true;
  }
};

}  // namespace

SpecialFolders& SystemSpecialFolders() {
  static Win32SpecialFolders folders;
  return folders;
}

}  // namespace vorela
