// The cabinet walk of the setup API (SetupIterateCabinetA), held to the
// contract of platform/cabinet.h. The platform's structures pass through
// unchanged; a thin layer around the callback evens out what Wine does
// differently from what Windows documents:
//   - DOIT over an existing file: Wine writes into it without truncating, so
//     an existing target is written under a temporary name in its folder and
//     renamed over the old file once the platform reports it complete (a new
//     target is written in place, and removed again unless it completes);
//   - DOIT over a read-only file: Windows refuses to replace it (5), while
//     Wine's rename replaces it, so the layer refuses it itself: the platform
//     skips the file and the callback hears that it failed with 5;
//   - FILEOP_ABORT: Wine carries on as if the file were skipped, so after an
//     abort the layer answers SKIP for the rest of the walk without asking the
//     callback, and the walk reports kErrorCancelled;
//   - a file that is not a cabinet: Wine fails without an error code; a failure
//     without a code is reported as invalid data (13), as Windows reports it;
//   - a file whose data is corrupt: Wine reports it extracted (an empty file)
//     and fails only afterwards. So a file counts as written only once the
//     platform has moved on to the next file or ended the walk successfully:
//     its FILEEXTRACTED is held back until then, and dropped (with the
//     temporary file) when the walk fails first.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/cabinet.h"
#include "platform/win32/windows_lean.h"
// windows.h first: setupapi.h needs its types.
#include <setupapi.h>

namespace vorela {
namespace {

static_assert(offsetof(FileInCabinetInfoA, NameInCabinet) ==
              offsetof(FILE_IN_CABINET_INFO_A, NameInCabinet));
static_assert(offsetof(FileInCabinetInfoA, FileSize) == offsetof(FILE_IN_CABINET_INFO_A, FileSize));
static_assert(offsetof(FileInCabinetInfoA, Win32Error) ==
              offsetof(FILE_IN_CABINET_INFO_A, Win32Error));
static_assert(offsetof(FileInCabinetInfoA, DosDate) == offsetof(FILE_IN_CABINET_INFO_A, DosDate));
static_assert(offsetof(FileInCabinetInfoA, DosTime) == offsetof(FILE_IN_CABINET_INFO_A, DosTime));
static_assert(offsetof(FileInCabinetInfoA, DosAttribs) ==
              offsetof(FILE_IN_CABINET_INFO_A, DosAttribs));
static_assert(offsetof(FileInCabinetInfoA, FullTargetName) ==
              offsetof(FILE_IN_CABINET_INFO_A, FullTargetName));
static_assert(sizeof(FILE_IN_CABINET_INFO_A::FullTargetName) == kCabinetMaxPath);
static_assert(offsetof(FilePathsA, Target) == offsetof(FILEPATHS_A, Target));
static_assert(offsetof(FilePathsA, Source) == offsetof(FILEPATHS_A, Source));
static_assert(offsetof(FilePathsA, Win32Error) == offsetof(FILEPATHS_A, Win32Error));
static_assert(offsetof(FilePathsA, Flags) == offsetof(FILEPATHS_A, Flags));
static_assert(offsetof(CabinetInfoA, CabinetPath) == offsetof(CABINET_INFO_A, CabinetPath));
static_assert(offsetof(CabinetInfoA, CabinetFile) == offsetof(CABINET_INFO_A, CabinetFile));
static_assert(offsetof(CabinetInfoA, DiskName) == offsetof(CABINET_INFO_A, DiskName));
static_assert(offsetof(CabinetInfoA, SetId) == offsetof(CABINET_INFO_A, SetId));
static_assert(offsetof(CabinetInfoA, CabinetNumber) == offsetof(CABINET_INFO_A, CabinetNumber));
static_assert(SPFILENOTIFY_CABINETINFO == kNotifyCabinetInfo);
static_assert(SPFILENOTIFY_FILEINCABINET == kNotifyFileInCabinet);
static_assert(SPFILENOTIFY_NEEDNEWCABINET == kNotifyNeedNewCabinet);
static_assert(SPFILENOTIFY_FILEEXTRACTED == kNotifyFileExtracted);
static_assert(FILEOP_ABORT == kFileOpAbort && FILEOP_DOIT == kFileOpDoIt &&
              FILEOP_SKIP == kFileOpSkip);

struct Walk {
  CabinetCallback callback = nullptr;
  std::uintptr_t context = 0;
  bool aborted = false;
  DWORD failure = NO_ERROR;  // the callback's error answer, once it gave one
  std::string target;        // where the current file belongs
  // Where the platform is writing it, removed unless the file completes; empty
  // when no file is pending.
  std::string writing;
  bool rename = false;  // `writing` is a temporary name to rename over target
  bool held = false;    // the platform reported the current file written
  FILEPATHS_A report{};
  // The report's source, kept with it: the platform's own string lives only
  // as long as the notification that brought it.
  std::string source;
  unsigned serial = 0;
};

// Hands the callback the held FILEEXTRACTED of the previous file, now that the
// platform has gone past it. False when the callback ends the walk.
bool Settle(Walk& walk) {
  if (!walk.held) return true;
  walk.held = false;
  FILEPATHS_A report = walk.report;
  if (!walk.writing.empty()) {
    if (report.Win32Error == NO_ERROR && walk.rename &&
        !MoveFileExA(walk.writing.c_str(), walk.target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      report.Win32Error = GetLastError();
    }
    if (report.Win32Error != NO_ERROR) DeleteFileA(walk.writing.c_str());
    walk.writing.clear();
  }
  report.Target = walk.target.c_str();
  report.Source = walk.source.c_str();
  const UINT answer = walk.callback(walk.context, kNotifyFileExtracted,
                                    reinterpret_cast<std::uintptr_t>(&report), 0);
  if (answer != NO_ERROR) {
    walk.failure = answer;
    walk.aborted = true;
    return false;
  }
  return true;
}

// A temporary name in the target's folder, or empty when none fits the field.
std::string TempNameFor(const std::string& target, unsigned serial) {
  const std::size_t cut = target.find_last_of("\\/");
  const std::string folder = cut == std::string::npos ? "" : target.substr(0, cut + 1);
  char name[64];
  std::snprintf(name, sizeof name, "~vcab%lu-%u.tmp", GetCurrentProcessId(), serial);
  std::string temp = folder + name;
  if (temp.size() >= kCabinetMaxPath) return {};
  return temp;
}

// Tells the callback that the current file failed with `error` before the
// platform wrote anything. The answer for the platform: skip the file, or end
// the walk when the callback says so.
UINT RefuseFile(Walk& walk, const char* cabinet, DWORD error) {
  FILEPATHS_A report{};
  report.Target = walk.target.c_str();
  report.Source = cabinet;
  report.Win32Error = error;
  const UINT answer = walk.callback(walk.context, kNotifyFileExtracted,
                                    reinterpret_cast<std::uintptr_t>(&report), 0);
  if (answer == NO_ERROR) return FILEOP_SKIP;
  walk.failure = answer;
  walk.aborted = true;
  return FILEOP_ABORT;
}

UINT CALLBACK Forward(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2) {
  Walk& walk = *static_cast<Walk*>(context);
  if (walk.aborted) return notification == kNotifyFileInCabinet ? FILEOP_SKIP : NO_ERROR;
  if (notification != kNotifyFileExtracted && !Settle(walk)) {
    return notification == kNotifyFileInCabinet ? FILEOP_ABORT : walk.failure;
  }

  if (notification == kNotifyFileInCabinet) {
    auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
    const UINT answer = walk.callback(walk.context, notification, param1, param2);
    if (answer == FILEOP_SKIP) return FILEOP_SKIP;
    if (answer != FILEOP_DOIT) {
      walk.aborted = true;
      return FILEOP_ABORT;
    }
    walk.target.assign(info->FullTargetName, strnlen(info->FullTargetName, kCabinetMaxPath));
    const DWORD attributes = GetFileAttributesA(walk.target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      walk.writing = walk.target;
      walk.rename = false;
      return FILEOP_DOIT;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return RefuseFile(walk, reinterpret_cast<const char*>(param2), ERROR_ACCESS_DENIED);
    }
    const std::string temp = TempNameFor(walk.target, ++walk.serial);
    if (temp.empty()) {
      // No room for a temporary name: make sure the old file cannot survive in
      // part.
      DeleteFileA(walk.target.c_str());
      walk.writing = walk.target;
      walk.rename = false;
    } else {
      walk.writing = temp;
      walk.rename = true;
      std::memset(info->FullTargetName, 0, kCabinetMaxPath);
      std::memcpy(info->FullTargetName, temp.data(), temp.size());
    }
    return FILEOP_DOIT;
  }

  if (notification == kNotifyFileExtracted) {
    walk.report = *reinterpret_cast<const FILEPATHS_A*>(param1);
    walk.source = walk.report.Source ? walk.report.Source : "";
    if (walk.report.Win32Error == NO_ERROR) {
      walk.held = true;
      return NO_ERROR;
    }
    // A failed write is reported at once.
    walk.held = true;
    if (!Settle(walk)) return walk.failure;
    return NO_ERROR;
  }

  return walk.callback(walk.context, notification, param1, param2);
}

class SetupApiCabinetIterator final : public CabinetIterator {
 public:
  bool IterateCabinet(std::string_view cabinet_ansi, std::uint32_t reserved,
                      CabinetCallback callback, std::uintptr_t context,
                      Win32Error* last_error) override {
    Win32Error ignored;
    if (!last_error) last_error = &ignored;
    if (!callback) {
      *last_error = ERROR_INVALID_PARAMETER;
      return false;
    }
    const std::string cabinet(cabinet_ansi);
    Walk walk;
    walk.callback = callback;
    walk.context = context;
    SetLastError(NO_ERROR);
    const BOOL ok = SetupIterateCabinetA(cabinet.c_str(), reserved, Forward, &walk);
    const DWORD error = GetLastError();
    if (ok) Settle(walk);
    if (!walk.writing.empty()) DeleteFileA(walk.writing.c_str());
    if (walk.aborted) {
      *last_error = walk.failure != NO_ERROR ? walk.failure : kErrorCancelled;
      return false;
    }
    if (ok) {
      *last_error = kErrorSuccess;
      return true;
    }
    *last_error = error == NO_ERROR ? ERROR_INVALID_DATA : error;
    return false;
  }
};

}  // namespace

CabinetIterator& SystemCabinetIterator() {
  static SetupApiCabinetIterator iterator;
  return iterator;
}

}  // namespace vorela
