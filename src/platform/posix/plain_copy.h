// The streaming copy behind FileSystem::CopyPlainFile, on native paths.
#pragma once

#include <string>

#include "platform/error_codes.h"

namespace vorela::posix {

// Copies the regular file `from` over `to` through a temporary file beside
// `to`, block by block; see FileSystem::CopyPlainFile for the contract.
Win32Error CopyPlainFile(const std::string& from, const std::string& to);

}  // namespace vorela::posix
