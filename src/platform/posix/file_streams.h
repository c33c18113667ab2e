// The file seam's block readers and writers on native paths.
#pragma once

#include <memory>
#include <string>

#include "platform/files.h"

namespace vorela::posix {

// Opens a regular file; a folder is refused with kErrorAccessDenied, as a
// whole-file read refuses it.
Win32Error OpenFileReader(const std::string& native, std::unique_ptr<FileReader>* reader);

// Starts an atomic replacement of native (its folder must exist).
Win32Error BeginFileReplacement(const std::string& native, std::unique_ptr<FileWriter>* writer);

}  // namespace vorela::posix
