#include "menu/file_ops.h"

#include "common/error.h"
#include "common/helpers.h"

namespace vorela {
namespace {

RuntimeError RunTimeNumber(Win32Error code) {
  switch (code) {
    case kErrorFileNotFound:
      return RuntimeError::kFileNotFound;
    case kErrorPathNotFound:
    case kErrorInvalidName:
    case kErrorBadPathname:
      return RuntimeError::kPathNotFound;
    case kErrorAccessDenied:
    case kErrorSharingViolation:
    case kErrorWriteProtect:
      return RuntimeError::kPermissionDenied;
    case kErrorDiskFull:
    case kErrorHandleDiskFull:
      return RuntimeError::kDiskFull;
    default:
      return RuntimeError::kPathFileAccess;
  }
}

// A copy fails on its source or its target; the code alone does not say
// which, so the source is blamed only when it cannot be read at all.
std::string_view CopyCulprit(const Platform& platform, std::string_view from,
                             std::string_view to, Win32Error code) {
  if (code == kErrorBadFileType || !FileExists(platform, from)) return from;
  return to;
}

}  // namespace

std::string FileErrorText(Win32Error code) {
  switch (RunTimeNumber(code)) {
    case RuntimeError::kFileNotFound:
      return "File not found";
    case RuntimeError::kPathNotFound:
      return "Path not found";
    case RuntimeError::kPermissionDenied:
      return "Permission denied";
    case RuntimeError::kDiskFull:
      return "Disk full";
    default:
      return "Path/File access error";
  }
}

void RaiseFileError(Win32Error code, const char* source, std::string_view path) {
  throw Error(RunTimeNumber(code), source, FileErrorText(code) + ": " + std::string(path));
}

void CopyFileOrRaise(const Platform& platform, std::string_view from,
                     std::string_view to) {
  if (Win32Error code = platform.files->Copy(from, to)) {
    RaiseFileError(code, "FileCopy", CopyCulprit(platform, from, to, code));
  }
}

void CopyPackageOrRaise(const Platform& platform, std::string_view from,
                        std::string_view to) {
  const Win32Error code = platform.files->CopyPlainFile(from, to);
  if (code == kErrorBadFileType) {
    throw Error(RuntimeError::kPathFileAccess, "FileCopy",
                "Not a regular file: " + std::string(from));
  }
  if (code) RaiseFileError(code, "FileCopy", CopyCulprit(platform, from, to, code));
}

void DeleteFileOrRaise(const Platform& platform, std::string_view path) {
  if (Win32Error code = platform.files->Delete(path)) {
    RaiseFileError(code, "Kill", path);
  }
}

void MakeDirectoryOrRaise(const Platform& platform, std::string_view path) {
  Win32Error code = platform.files->MakeDirectory(path);
  if (code == kErrorAlreadyExists) {
    // Another run of the tool, started at the same moment, made it between our
    // look and our call: the folder is there, which is all that was asked.
    FileEntry entry;
    if (platform.files->FindEntry(path, &entry) == kErrorSuccess && entry.is_directory) return;
  }
  if (code) RaiseFileError(code, "MkDir", path);
}

}  // namespace vorela
