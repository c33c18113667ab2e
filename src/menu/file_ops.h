// File operations of the menu tool that raise, as the tool's batch modes and
// file handlers expect: a failure becomes a vorela::Error with the run-time
// number and description the error box shows.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace vorela {

// The run-time error for a failed file operation (53 file not found, 76 path
// not found, 70 permission denied, 61 disk full, 75 otherwise).
[[noreturn]] void RaiseFileError(Win32Error code, const char* source);

// Copies from over to (an existing target is replaced).
void CopyFileOrRaise(const Platform& platform, std::string_view from,
                     std::string_view to);
void DeleteFileOrRaise(const Platform& platform, std::string_view path);
// Creates one folder level.
void MakeDirectoryOrRaise(const Platform& platform, std::string_view path);

}  // namespace vorela
