// A fixed machine's folders: Windows in C:\windows, the system directory
// C:\windows\system32, application data C:\users\u\AppData\Roaming.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/folders.h"

namespace vorela::testing {

inline constexpr char kSystemDir[] = "C:\\windows\\system32";
inline constexpr char kAppData[] = "C:\\users\\u\\AppData\\Roaming";

class FixedFolders : public SpecialFolders {
 public:
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size) override {
    return Put("C:\\windows", buffer, size);
  }
  std::uint32_t SystemDirectory(char* buffer, std::uint32_t size) override {
    return Put(kSystemDir, buffer, size);
  }
  std::uint32_t TempPath(std::uint32_t size, char* buffer) override {
    return Put("C:\\users\\u\\Temp\\", buffer, size);
  }
  bool ShellFolderPath(int csidl, char* buffer) override {
    if (csidl != kCsidlAppData) return false;
    std::strcpy(buffer, kAppData);
    return true;
  }

 private:
  static std::uint32_t Put(const char* text, char* buffer, std::uint32_t size) {
    const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(text));
    if (length + 1 > size) return length + 1;
    std::memcpy(buffer, text, length + 1);
    return length;
  }
};

}  // namespace vorela::testing
