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
    case EISDIR:
    case EROFS: return kErrorAccessDenied;
    case EEXIST: return kErrorAlreadyExists;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOMEM: return kErrorNotEnoughMemory;
    case ELOOP: return kErrorCantResolveFilename;
    case EBUSY:
    case ETXTBSY: return kErrorSharingViolation;
    case EINVAL: return kErrorInvalidParameter;
    default: return kErrorAccessDenied;
  }
}

}  // namespace vorela::posix
