// The POSIX machine: the small Windows-shaped world the substitutes keep off
// Windows, in the way Wine keeps a prefix.
//
//   root        $VORELA_ROOT, else ${XDG_DATA_HOME:-$HOME/.local/share}/vorela
//   C:          <root>/drive_c            Z:  /
//   registry    <root>/registry.db
//
// Windows-form paths map onto native ones: "\" and "/" both separate, "C:" and
// "Z:" select the drive, a path that starts with "/" is native already, and a
// relative path stays relative. A component whose exact spelling does not exist
// is matched without regard to (ASCII) case, as on Windows.
#pragma once

#include <string>
#include <string_view>

namespace vorela::posix {

// The machine's root folder (not created).
std::string MachineRoot();

// The login name of the process's user, as Wine uses it for C:\users\<user>.
std::string UserName();

// The programs' own folder on the machine, where the Windows build would have
// the folder of its executable (the menu tool's work folder lies in it).
inline constexpr char kProgramFolder[] = "C:\\Program Files\\vorela";

// Creates the root and the folders of a fresh machine when they are missing:
// C:\windows\system32, C:\users\<user>\AppData\Roaming, C:\users\<user>\Temp,
// C:\Program Files\Common Files, C:\Program Files\vorela. Idempotent; returns
// false if the root cannot be created.
bool EnsureMachineFolders();

// Creates the programs' own folder (and the root) when missing, and no other
// folder of the machine: all that a program that only starts needs. False if
// it cannot be created.
bool EnsureProgramFolder();

// Maps a Windows-form path onto the native file system. Trailing separators are
// kept as one "/" so that callers can tell "C:\dir\" from "C:\dir".
std::string NativePath(std::string_view windows_path);

// The reverse for paths below the machine: "<root>/drive_c/x" -> "C:\x";
// any other absolute path -> "Z:\..." with "\" separators.
std::string WindowsPath(std::string_view native_path);

// True when the Windows-form path ends in "\" or "/".
bool HasTrailingSeparator(std::string_view windows_path);

}  // namespace vorela::posix
