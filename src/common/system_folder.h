// clsSystemFolder: where the well-known folders of this machine and user are.
//
// Every property asks the platform afresh (nothing is cached) and returns the
// folder exactly as the platform wrote it, or "" when it supplies none. All
// lookups go through a 256-byte buffer that starts all NUL; the result is the
// text in front of the first NUL, so anything that does not fit yields "".
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vorela {

class clsSystemFolder {
 public:
  explicit clsSystemFolder(const Platform& platform) : platform_(platform) {}

  std::string Windows() const;
  std::string System() const;
  std::string Temp() const;  // keeps the trailing "\" the platform returns
  std::string Desktop() const;
  std::string Programs() const;
  std::string Personal() const;
  std::string Appdata() const;
  std::string Favorites() const;
  std::string Startup() const;
  std::string Recent() const;
  std::string SendTo() const;
  std::string Fonts() const;
  std::string StartMenu() const;
  std::string Device() const;
  std::string CommonFiles() const;
  std::string Config() const;
  std::string Media() const;
  std::string ProgramFiles() const;
  std::string OldWindows() const;

 private:
  std::string SpecialFolderPath(int csidl) const;
  std::string MachineString(RegKey root, std::string_view sub_key,
                            std::string_view value_name) const;
  std::string FromBuffer(const char* buffer, std::size_t size) const;

  const Platform& platform_;
};

}  // namespace vorela
