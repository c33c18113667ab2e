// The file seam's block readers and writers over kernel32.
#pragma once

#include <memory>
#include <string>

#include "platform/files.h"

namespace vorela::win32 {

// Opens a disk file for reading; a folder is refused with kErrorAccessDenied.
Win32Error OpenFileReader(const std::wstring& path, std::unique_ptr<FileReader>* reader);

// Starts an atomic replacement of target (a path whose folder exists).
Win32Error BeginFileReplacement(const std::wstring& target, std::unique_ptr<FileWriter>* writer);

}  // namespace vorela::win32
