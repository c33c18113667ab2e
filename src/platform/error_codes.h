// Win32 error codes that cross the platform seams. Every backend reports failure
// with these numbers, so callers see the same results on every build.
#pragma once

#include <cstdint>

namespace vorela {

using Win32Error = std::uint32_t;

inline constexpr Win32Error kErrorSuccess = 0;
inline constexpr Win32Error kErrorFileNotFound = 2;
inline constexpr Win32Error kErrorPathNotFound = 3;
inline constexpr Win32Error kErrorTooManyOpenFiles = 4;
inline constexpr Win32Error kErrorAccessDenied = 5;
inline constexpr Win32Error kErrorInvalidHandle = 6;
inline constexpr Win32Error kErrorNotEnoughMemory = 8;
inline constexpr Win32Error kErrorInvalidData = 13;
inline constexpr Win32Error kErrorOutOfMemory = 14;
inline constexpr Win32Error kErrorWriteProtect = 19;
inline constexpr Win32Error kErrorSharingViolation = 32;
inline constexpr Win32Error kErrorHandleDiskFull = 39;
inline constexpr Win32Error kErrorFileExists = 80;
inline constexpr Win32Error kErrorCannotMake = 82;
inline constexpr Win32Error kErrorInvalidParameter = 87;
inline constexpr Win32Error kErrorBufferOverflow = 111;
inline constexpr Win32Error kErrorDiskFull = 112;
inline constexpr Win32Error kErrorInvalidName = 123;
inline constexpr Win32Error kErrorDirNotEmpty = 145;
inline constexpr Win32Error kErrorBadPathname = 161;
inline constexpr Win32Error kErrorAlreadyExists = 183;
inline constexpr Win32Error kErrorBadFileType = 222;
inline constexpr Win32Error kErrorFilenameExcedRange = 206;
inline constexpr Win32Error kErrorMoreData = 234;
inline constexpr Win32Error kErrorNoMoreItems = 259;
inline constexpr Win32Error kErrorDirectory = 267;
inline constexpr Win32Error kErrorBadKey = 1010;
inline constexpr Win32Error kErrorCantOpenKey = 1011;
inline constexpr Win32Error kErrorCantRead = 1012;
inline constexpr Win32Error kErrorCantWrite = 1013;
inline constexpr Win32Error kErrorRegistryCorrupt = 1015;
inline constexpr Win32Error kErrorKeyDeleted = 1018;
inline constexpr Win32Error kErrorCantResolveFilename = 1921;

}  // namespace vorela
