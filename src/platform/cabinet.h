// Cabinet iteration seam: the platform walks a cabinet and hands each file to a
// callback, which decides whether the platform writes it and where.
//
// The protocol is the setup API's cabinet iteration (ANSI form), with its
// structures as our own types of identical layout and meaning, so that the
// Windows backend hands the platform's own structures straight through.
//
// Order of notifications for one walk:
//   kNotifyCabinetInfo   once, param1 = const CabinetInfoA*; a non-zero answer
//                        ends the walk with that error.
//   per file, in cabinet order:
//     kNotifyFileInCabinet  param1 = FileInCabinetInfoA* (FullTargetName
//     zeroed),
//                           param2 = the cabinet path (const char*). Answers:
//                           kFileOpDoIt   write the file to FullTargetName (an
//                                         existing file there is replaced
//                                         whole, never partly overwritten;
//                                         a read-only one is kept and the
//                                         file fails with 5);
//                           kFileOpSkip   go on with the next file;
//                           kFileOpAbort  stop the walk: no further
//                           notification
//                                         arrives and the walk fails with
//                                         kErrorCancelled.
//     kNotifyNeedNewCabinet only for a file continued in another cabinet,
//                           param1 = const CabinetInfoA* of that cabinet,
//                           param2 = char[260] for a new path. Spanning is not
//                           supported: the walk then fails.
//     kNotifyFileExtracted  after kFileOpDoIt, param1 = const FilePathsA* whose
//                           Win32Error says whether the file was written. A
//                           non-zero answer ends the walk with that error.
//
// The walk's result is true on success; on failure false with the Win32 error
// code in *last_error (2 for a missing cabinet, 13 for bytes that are not a
// valid cabinet or fail a checksum, 3/5/112/... for target problems). The
// callback must not throw: nothing may unwind through the platform's walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error_codes.h"

namespace vorela {

inline constexpr std::uint32_t kNotifyCabinetInfo = 0x10;
inline constexpr std::uint32_t kNotifyFileInCabinet = 0x11;
inline constexpr std::uint32_t kNotifyNeedNewCabinet = 0x12;
inline constexpr std::uint32_t kNotifyFileExtracted = 0x13;

inline constexpr std::uint32_t kFileOpAbort = 0;
inline constexpr std::uint32_t kFileOpDoIt = 1;
inline constexpr std::uint32_t kFileOpSkip = 2;
inline constexpr std::uint32_t kNoError = 0;

// What a walk stopped by kFileOpAbort reports.
inline constexpr Win32Error kErrorCancelled = 1223;

// The size of FullTargetName and of the new-cabinet path buffer.
inline constexpr std::size_t kCabinetMaxPath = 260;

// FILE_IN_CABINET_INFO_A.
struct FileInCabinetInfoA {
  const char* NameInCabinet;  // ANSI bytes as stored, zero-terminated
  std::uint32_t FileSize;
  std::uint32_t Win32Error;
  std::uint16_t DosDate;
  std::uint16_t DosTime;
  std::uint16_t DosAttribs;
  char FullTargetName[kCabinetMaxPath];  // ANSI, zero-terminated, set by the
                                         // callback
};

// FILEPATHS_A.
struct FilePathsA {
  const char* Target;
  const char* Source;
  std::uint32_t Win32Error;
  std::uint32_t Flags;
};

// CABINET_INFO_A.
struct CabinetInfoA {
  const char* CabinetPath;
  const char* CabinetFile;
  const char* DiskName;
  std::uint16_t SetId;
  std::uint16_t CabinetNumber;
};

using CabinetCallback = std::uint32_t (*)(std::uintptr_t context,
                                          std::uint32_t notification,
                                          std::uintptr_t param1,
                                          std::uintptr_t param2) noexcept;

class CabinetIterator {
 public:
  virtual ~CabinetIterator() = default;

  // Walks the cabinet named by cabinet_ansi (a path in the ANSI code page),
  // calling callback with context for every notification. `reserved` must be 0.
  virtual bool IterateCabinet(std::string_view cabinet_ansi,
                              std::uint32_t reserved, CabinetCallback callback,
                              std::uintptr_t context,
                              Win32Error* last_error) = 0;
};

// The iteration of this build: the setup API on Windows, libmspack elsewhere.
CabinetIterator& SystemCabinetIterator();

}  // namespace vorela

namespace vorela {

// One file to store in a new cabinet.
struct CabinetSource {
  std::string name;  // the stored name (UTF-8; stored in the ANSI code page)
  std::string path;  // the file to read, in Windows form
};

// Writes new cabinets (for the package tool): one MSZIP folder holding the
// files in the order given. The cabinet replaces `cabinet_path` whole, or on
// failure leaves it as it was. Returns a Win32 error code.
class CabinetWriter {
 public:
  virtual ~CabinetWriter() = default;
  virtual Win32Error WriteCabinet(std::string_view cabinet_path,
                                  const std::vector<CabinetSource>& files) = 0;
};

// libgcab off Windows, the platform's cabinet compressor (FCI) on Windows.
CabinetWriter& SystemCabinetWriter();

}  // namespace vorela
