// Small path, text and time routines of the cabinet reader's per-file handlers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/text.h"

namespace vorela {

// A calendar date and time of day without zone (what a DOS stamp holds).
struct CabDateTime {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;

  friend bool operator==(const CabDateTime&, const CabDateTime&) = default;
};

// path unchanged when it ends in "\", else path + "\" ("" becomes "\").
std::string EnsureTrailingBackslash(std::string_view path);

// Splits at the last "\": folder up to and including it ("" when there is
// none) and the file name after it.
void SplitStoredName(std::string_view name, std::string* folder,
                     std::string* file_name);

// The text up to and including the last "\", or "".
std::string FolderOf(std::string_view path);

// Creates path and every missing folder above it through the file seam.
// True when the folder exists afterwards.
bool CreateFolderPath(FileSystem& files, std::string_view path);

// The zero-terminated ANSI string at pointer (null reads as empty), as UTF-8.
std::string AnsiPointerToString(const TextCodec& codec, const char* pointer);

// Stores text (converted to ANSI) and a zero byte at the start of a field of
// `size` bytes. Text that does not fit with its zero byte raises error 9 and
// leaves the field untouched.
void WriteTargetName(const TextCodec& codec, char* field, std::size_t size,
                     std::string_view text);

// The stored stamp as date and time, unchanged (no zone conversion). A stamp
// that names no valid time gives the platform's zero file time, 1601-01-01.
CabDateTime DosStampToDate(std::uint16_t dos_date, std::uint16_t dos_time);

// The system's general date format: "yyyy/MM/dd H:mm:ss", the time omitted
// when it is exactly midnight.
std::string FormatGeneralDate(const CabDateTime& value);

// Why a stored name may not be written below an output folder, or nullptr when
// it may. A name is refused when it would leave the folder (a root, a drive, a
// share, a part that Windows folds into ".."), when it names a device
// ("CON", "com1.txt", ...) in any part, or when a part is one that Windows
// cannot create as written (a ":" or another reserved character, a control
// character, a trailing dot or blank). Both builds refuse the same names, so
// that a package unpacks to the same files everywhere.
const char* StoredNameProblem(std::string_view name);

// True when StoredNameProblem finds nothing.
bool IsContainedStoredName(std::string_view name);

}  // namespace vorela
