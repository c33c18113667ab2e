// The streaming copy behind FileSystem::CopyPlainFile on kernel32.
#pragma once

#include <string_view>

#include "platform/error_codes.h"

namespace vorela::win32 {

// Copies the disk file `from` over `to` through a temporary file beside `to`,
// block by block; see FileSystem::CopyPlainFile for the contract.
Win32Error CopyPlainFile(std::string_view from, std::string_view to);

}  // namespace vorela::win32
