// The one errno map of the POSIX backends: each failure gives the code the same
// situation gives on Windows.
#ifndef _WIN32
#include "platform/posix/errno_map.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace vorela::posix {
namespace {

TEST(ErrnoMap, AnswersAsWindowsDoes) {
  EXPECT_EQ(FromErrno(0), kErrorSuccess);
  EXPECT_EQ(FromErrno(ENOENT), kErrorFileNotFound);
  EXPECT_EQ(FromErrno(ENOTDIR), kErrorPathNotFound);
  EXPECT_EQ(FromErrno(EACCES), kErrorAccessDenied);
  EXPECT_EQ(FromErrno(EPERM), kErrorAccessDenied);
  EXPECT_EQ(FromErrno(EISDIR), kErrorAccessDenied);
  EXPECT_EQ(FromErrno(ENOSPC), kErrorDiskFull);
  EXPECT_EQ(FromErrno(ENAMETOOLONG), kErrorFilenameExcedRange);
  EXPECT_EQ(FromErrno(EMFILE), kErrorTooManyOpenFiles);
  EXPECT_EQ(FromErrno(ENOMEM), kErrorNotEnoughMemory);
}

TEST(ErrnoMap, ReadOnlyMediaIsWriteProtected) {
  // Writing to a read-only mount is writing to write-protected media, not a
  // permission the user could be given.
  EXPECT_EQ(FromErrno(EROFS), kErrorWriteProtect);
}

TEST(ErrnoMap, BusyIsASharingViolation) {
  // A file or folder held by someone else: another process's open handle.
  EXPECT_EQ(FromErrno(EBUSY), kErrorSharingViolation);
  EXPECT_EQ(FromErrno(ETXTBSY), kErrorSharingViolation);
}

TEST(ErrnoMap, UnknownErrorsStillFail) {
  EXPECT_EQ(FromErrno(EIO), kErrorAccessDenied);
  EXPECT_EQ(FromErrno(-1), kErrorAccessDenied);
  EXPECT_EQ(FromErrno(100000), kErrorAccessDenied);
}

}  // namespace
}  // namespace vorela::posix
#endif  // _WIN32
