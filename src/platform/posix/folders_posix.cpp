// Special folders of the POSIX machine, laid out as Wine lays out a prefix
// (C:\windows, C:\users\<user>\AppData\Roaming, ...). The machine's folders are
// created on first use; a shell folder that does not exist has no path.
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "platform/folders.h"
#include "platform/posix/machine.h"

namespace vorela {
namespace {

std::uint32_t CopyOut(const std::string& value, char* buffer, std::uint32_t size) {
  const std::uint32_t length = static_cast<std::uint32_t>(value.size());
  if (!buffer || length + 1 > size) return length + 1;  // the size needed, NUL included
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return length;
}

std::string UserFolder() { return "C:\\users\\" + posix::UserName(); }

bool IsFolder(const std::string& windows_path) {
  struct stat st;
  return stat(posix::NativePath(windows_path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class PosixSpecialFolders final : public SpecialFolders {
 public:
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size) override {
    posix::EnsureMachineFolders();
    return CopyOut("C:\\windows", buffer, size);
  }
  std::uint32_t SystemDirectory(char* buffer, std::uint32_t size) override {
    posix::EnsureMachineFolders();
    return CopyOut("C:\\windows\\system32", buffer, size);
  }
  std::uint32_t TempPath(std::uint32_t size, char* buffer) override {
    posix::EnsureMachineFolders();
    return CopyOut(UserFolder() + "\\Temp\\", buffer, size);
  }
  bool ShellFolderPath(int csidl, char* buffer) override {
    posix::EnsureMachineFolders();
    const std::string roaming = UserFolder() + "\\AppData\\Roaming";
    const std::string shell = roaming + "\\Microsoft\\Windows";
    std::string path;
    switch (csidl) {
      case kCsidlDesktop: path = UserFolder() + "\\Desktop"; break;
      case kCsidlPrograms: path = shell + "\\Start Menu\\Programs"; break;
      case kCsidlPersonal: path = UserFolder() + "\\Documents"; break;
      case kCsidlFavorites: path = UserFolder() + "\\Favorites"; break;
      case kCsidlStartup: path = shell + "\\Start Menu\\Programs\\StartUp"; break;
      case kCsidlRecent: path = shell + "\\Recent"; break;
      case kCsidlSendTo: path = shell + "\\SendTo"; break;
      case kCsidlStartMenu: path = shell + "\\Start Menu"; break;
      case kCsidlFonts: path = "C:\\windows\\Fonts"; break;
      case kCsidlAppData: path = roaming; break;
      default: return false;
    }
    if (!IsFolder(path)) return false;
    CopyOut(path, buffer, 260);
    return true;
  }
};

}  // namespace

SpecialFolders& SystemSpecialFolders() {
  static PosixSpecialFolders folders;
  return folders;
}

}  // namespace vorela
