#include "menu/file_ops.h"

#include "common/error.h"

namespace vorela {

void RaiseFileError(Win32Error code, const char* source) {
  switch (code) {
    case kErrorFileNotFound:
      throw Error(kErrorFileNotFoundRt, source, "File not found");
    case kErrorPathNotFound:
    case kErrorInvalidName:
    case kErrorBadPathname:
      throw Error(kErrorPathNotFoundRt, source, "Path not found");
    case kErrorAccessDenied:
    case kErrorSharingViolation:
    case kErrorWriteProtect:
      throw Error(kErrorPermissionDenied, source, "Permission denied");
    case kErrorDiskFull:
    case kErrorHandleDiskFull:
      throw Error(kErrorDiskFullRt, source, "Disk full");
    default:
      throw Error(kErrorPathFileAccess, source, "Path/File access error");
  }
}

void CopyFileOrRaise(const Platform& platform, std::string_view from,
                     std::string_view to) {
  if (Win32Error code = platform.files->Copy(from, to)) {
    RaiseFileError(code, "FileCopy");
  }
}

void DeleteFileOrRaise(const Platform& platform, std::string_view path) {
  if (Win32Error code = platform.files->Delete(path)) {
    RaiseFileError(code, "Kill");
  }
}

void MakeDirectoryOrRaise(const Platform& platform, std::string_view path) {
  if (Win32Error code = platform.files->MakeDirectory(path)) {
    RaiseFileError(code, "MkDir");
  }
}

}  // namespace vorela
