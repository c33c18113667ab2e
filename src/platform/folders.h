// Special-folder seam: the Win32 calls behind clsSystemFolder, in their own shape
// (caller's buffer, ANSI bytes, NUL-terminated), so the class's buffer rules are
// the same on every build.
#pragma once

#include <cstdint>

namespace vorela {

inline constexpr int kCsidlDesktop = 0;
inline constexpr int kCsidlPrograms = 2;
inline constexpr int kCsidlPersonal = 5;
inline constexpr int kCsidlFavorites = 6;
inline constexpr int kCsidlStartup = 7;
inline constexpr int kCsidlRecent = 8;
inline constexpr int kCsidlSendTo = 9;
inline constexpr int kCsidlStartMenu = 11;
inline constexpr int kCsidlFonts = 20;
inline constexpr int kCsidlAppData = 26;

class SpecialFolders {
 public:
  virtual ~SpecialFolders() = default;
  // GetWindowsDirectoryA / GetSystemDirectoryA / GetTempPathA: the path's length
  // on success, the size needed when the buffer is too small, 0 on failure.
  virtual std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size) = 0;
  virtual std::uint32_t SystemDirectory(char* buffer, std::uint32_t size) = 0;
  virtual std::uint32_t TempPath(std::uint32_t size, char* buffer) = 0;
  // SHGetSpecialFolderLocation + SHGetPathFromIDListA into a buffer of at least
  // 260 bytes. False (buffer untouched) when the folder has no file-system path.
  virtual bool ShellFolderPath(int csidl, char* buffer) = 0;
};

SpecialFolders& SystemSpecialFolders();

}  // namespace vorela
