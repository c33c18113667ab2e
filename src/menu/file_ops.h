// File operations of the menu tool that raise, as the tool's batch modes and
// file handlers expect: a failure becomes a vorela::Error with the run-time
// number the error box has always had, and a description that names the path
// at fault ("Permission denied: C:\...\work"), so the user can act on it.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vorela {

// The text of a failed file operation: "File not found", "Path not found",
// "Permission denied", "Disk full", else "Path/File access error".
std::string FileErrorText(Win32Error code);

// Raises the run-time error for code (53 file not found, 76 path not found,
// 70 permission denied, 61 disk full, 75 otherwise), described as its text,
// ": " and path.
[[noreturn]] void RaiseFileError(Win32Error code, const char* source,
                                 std::string_view path);

// Copies from over to (an existing target is replaced). The description names
// from when it cannot be read, else to.
void CopyFileOrRaise(const Platform& platform, std::string_view from,
                     std::string_view to);
// Copies a package file in blocks; a folder, device or pipe is refused with
// "Not a regular file: " and its path.
void CopyPackageOrRaise(const Platform& platform, std::string_view from,
                        std::string_view to);
void DeleteFileOrRaise(const Platform& platform, std::string_view path);
// Creates one folder level. A folder that already stands there when the
// call is made counts as made; a file of that name does not.
void MakeDirectoryOrRaise(const Platform& platform, std::string_view path);

}  // namespace vorela
