#include "common/system_folder.h"

#include <array>
#include <cstring>

#include "platform/registry_key.h"

namespace vorela {
namespace {

constexpr std::uint32_t kBufferSize = 256;
// The shell writes up to MAX_PATH bytes whatever the buffer: give it that many.
constexpr std::uint32_t kShellBufferSize = 260;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

}  // namespace

std::string clsSystemFolder::FromBuffer(const char* buffer, std::size_t size) const {
  const void* nul = std::memchr(buffer, '\0', size);
  const std::size_t length = nul ? static_cast<const char*>(nul) - buffer : 0;
  return platform_.text->FromAnsi(std::string_view(buffer, length));
}

std::string clsSystemFolder::Windows() const {
  std::array<char, kBufferSize> buffer{};
  platform_.folders->WindowsDirectory(buffer.data(), kBufferSize);
  return FromBuffer(buffer.data(), buffer.size());
}

std::string clsSystemFolder::System() const {
  std::array<char, kBufferSize> buffer{};
  platform_.folders->SystemDirectory(buffer.data(), kBufferSize);
  return FromBuffer(buffer.data(), buffer.size());
}

std::string clsSystemFolder::Temp() const {
  std::array<char, kBufferSize> buffer{};
  platform_.folders->TempPath(kBufferSize, buffer.data());
  return FromBuffer(buffer.data(), buffer.size());
}

std::string clsSystemFolder::SpecialFolderPath(int csidl) const {
  std::array<char, kShellBufferSize> buffer{};
  platform_.folders->ShellFolderPath(csidl, buffer.data());
  return FromBuffer(buffer.data(), buffer.size());
}

std::string clsSystemFolder::Desktop() const { return SpecialFolderPath(kCsidlDesktop); }
std::string clsSystemFolder::Programs() const { return SpecialFolderPath(kCsidlPrograms); }
std::string clsSystemFolder::Personal() const { return SpecialFolderPath(kCsidlPersonal); }
std::string clsSystemFolder::Appdata() const { return SpecialFolderPath(kCsidlAppData); }
std::string clsSystemFolder::Favorites() const { return SpecialFolderPath(kCsidlFavorites); }
std::string clsSystemFolder::Startup() const { return SpecialFolderPath(kCsidlStartup); }
std::string clsSystemFolder::Recent() const { return SpecialFolderPath(kCsidlRecent); }
std::string clsSystemFolder::SendTo() const { return SpecialFolderPath(kCsidlSendTo); }
std::string clsSystemFolder::Fonts() const { return SpecialFolderPath(kCsidlFonts); }
std::string clsSystemFolder::StartMenu() const { return SpecialFolderPath(kCsidlStartMenu); }

std::string clsSystemFolder::MachineString(RegKey root, std::string_view sub_key,
                                           std::string_view value_name) const {
  std::array<char, kBufferSize> buffer{};
  std::string result;
  Registry& registry = *platform_.registry;
  RegistryKey key(registry);
  if (key.Open(root, platform_.text->ToAnsi(sub_key), kMaximumAllowed) == kErrorSuccess) {
    std::uint32_t type = kRegSz;
    std::uint32_t size = kBufferSize;
    registry.QueryValue(key.get(), platform_.text->ToAnsi(value_name), &type,
                        reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
  }
  // The type is not checked (REG_EXPAND_SZ comes back unexpanded), and only
  // text followed by a NUL inside the buffer counts.
  if (std::memchr(buffer.data(), '\0', buffer.size())) {
    result = FromBuffer(buffer.data(), buffer.size());
  }
  return result;
}

std::string clsSystemFolder::Device() const {
  return MachineString(kHkeyLocalMachine, kCurrentVersion, "DevicePath");
}
std::string clsSystemFolder::CommonFiles() const {
  return MachineString(kHkeyLocalMachine, kCurrentVersion, "CommonFilesDir");
}
std::string clsSystemFolder::Config() const {
  return MachineString(kHkeyLocalMachine, kCurrentVersion, "ConfigPath");
}
std::string clsSystemFolder::Media() const {
  return MachineString(kHkeyLocalMachine, kCurrentVersion, "MediaPath");
}
std::string clsSystemFolder::ProgramFiles() const {
  return MachineString(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesDir");
}
std::string clsSystemFolder::OldWindows() const {
  return MachineString(kHkeyLocalMachine, kCurrentVersion, "OldWinDir");
}

}  // namespace vorela
