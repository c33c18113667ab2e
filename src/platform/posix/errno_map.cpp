#include "platform/posix/errno_map.h"

#include <cerrno>

namespace vorela::posix {

Win32Error FromErrno(int e) {
  switch (e) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    // A file system mounted read-only is what Windows calls write-protected
    // media: writing there fails with "the media is write protected".
    case EROFS: return kErrorWriteProtect;
    case EEXIST: return kErrorAlreadyExists;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOMEM: return kErrorNotEnoughMemory;
    case ELOOP: return kErrorCantResolveFilename;
    // Something else holds the file or folder (a running program, a mount):
    // on Windows that is another process's open handle.
    case EBUSY:
    case ETXTBSY: return kErrorSharingViolation;
    case EINVAL: return kErrorInvalidParameter;
    // Anything else is still a failure; callers treat "access denied" as
    // "could not be done" and never mistake it for a missing file.
    default: return kErrorAccessDenied;
  }
}

}  // namespace vorela::posix
