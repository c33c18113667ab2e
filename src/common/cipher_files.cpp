#include "common/cipher_files.h"

#include "common/error.h"

namespace vorela {

namespace {

Error FileError(Win32Error code, const char* source) {
  switch (code) {
    case kErrorFileNotFound:
      return Error(RuntimeError::kFileNotFound, source, "File not found");
    case kErrorPathNotFound:
    case kErrorInvalidName:
    case kErrorBadPathname:
      return Error(RuntimeError::kPathNotFound, source, "Path not found");
    case kErrorAccessDenied:
    case kErrorSharingViolation:
    case kErrorWriteProtect:
      return Error(RuntimeError::kPermissionDenied, source, "Permission denied");
    case kErrorDiskFull:
    case kErrorHandleDiskFull:
      return Error(RuntimeError::kDiskFull, source, "Disk full");
    case kErrorNotEnoughMemory:
    case kErrorOutOfMemory:
      return Error(RuntimeError::kOutOfMemory, source, "Out of memory");
    default:
      return Error(RuntimeError::kPathFileAccess, source, "Path/File access error");
  }
}

FileSystem& Files(const Platform& platform, const char* source) {
  if (platform.files == nullptr) {
    throw Error(RuntimeError::kPathFileAccess, source, "Path/File access error");
  }
  return *platform.files;
}

}  // namespace

bool CipherSourceExists(const Platform& platform, std::string_view path) {
  if (platform.files == nullptr) return false;
  std::uint64_t length = 0;
  return platform.files->GetLength(path, &length) == kErrorSuccess;
}

ByteArray ReadCipherFile(const Platform& platform, std::string_view path,
                         const char* source) {
  std::string bytes;
  Win32Error code = Files(platform, source).ReadAll(path, &bytes);
  if (code != kErrorSuccess) throw FileError(code, source);
  // Room for the cipher's header and padding, so encryption need not move
  // the data to a larger array.
  ByteArray array;
  array.reserve(bytes.size() + 24);
  array.assign(bytes.begin(), bytes.end());
  return array;
}

void WriteCipherFile(const Platform& platform, std::string_view path,
                     const ByteArray& bytes, const char* source) {
  std::string_view view(reinterpret_cast<const char*>(bytes.data()),
                        bytes.size());
  Win32Error code = Files(platform, source).WriteAtomic(path, view);
  if (code != kErrorSuccess) throw FileError(code, source);
}

}  // namespace vorela
