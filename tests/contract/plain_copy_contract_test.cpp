// FileSystem::CopyPlainFile on this build's real backend: exact bytes at every
// block boundary, nothing half-written, and only files of bytes as a source.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/files.h"
#include "support/scratch.h"

namespace vorela {
namespace {

using testing::ReadNativeFile;
using testing::ScratchDir;
using testing::WriteNativeFile;

class PlainCopy : public ::testing::Test {
 protected:
  // What the folder holds besides the files named: a leftover temporary
  // would show here.
  std::size_t Entries() {
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.native())) {
      (void)entry;
      ++n;
    }
    return n;
  }

  FileSystem& fs = SystemFileSystem();
  ScratchDir dir;
};

TEST_F(PlainCopy, CopiesEveryByteAcrossBlockBoundariesAndReplacesTheTarget) {
  WriteNativeFile(dir.NativeJoin("to.cab"), "old and longer than some of the copies");
  for (const std::size_t size : {0u, 1u, 65535u, 65536u, 65537u, 200003u}) {
    SCOPED_TRACE(size);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + 7) & 0xFF);
    WriteNativeFile(dir.NativeJoin("from.vorela"), bytes);
    ASSERT_EQ(fs.CopyPlainFile(dir.Join("from.vorela"), dir.Join("to.cab")), kErrorSuccess);
    EXPECT_EQ(ReadNativeFile(dir.NativeJoin("to.cab")), bytes);
    EXPECT_EQ(Entries(), 2u);
  }
}

TEST_F(PlainCopy, AFolderOrAMissingSourceLeavesTheTargetAsItWas) {
  std::filesystem::create_directory(dir.NativeJoin("folder.vorela"));
  WriteNativeFile(dir.NativeJoin("to.cab"), "kept");
  EXPECT_EQ(fs.CopyPlainFile(dir.Join("folder.vorela"), dir.Join("to.cab")), kErrorBadFileType);
  EXPECT_EQ(fs.CopyPlainFile(dir.Join("none.vorela"), dir.Join("to.cab")), kErrorFileNotFound);
  EXPECT_EQ(fs.CopyPlainFile(dir.Join("no\\x.vorela"), dir.Join("to.cab")), kErrorPathNotFound);
  WriteNativeFile(dir.NativeJoin("from.vorela"), "new");
  EXPECT_EQ(fs.CopyPlainFile(dir.Join("from.vorela"), dir.Join("no\\to.cab")),
            kErrorPathNotFound);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("to.cab")), "kept");
  EXPECT_EQ(Entries(), 3u);
}

TEST_F(PlainCopy, AReadOnlyTargetIsRefused) {
  WriteNativeFile(dir.NativeJoin("from.vorela"), "new");
  WriteNativeFile(dir.NativeJoin("to.cab"), "kept");
  ASSERT_EQ(fs.SetReadOnly(dir.Join("to.cab"), true), kErrorSuccess);
  EXPECT_EQ(fs.CopyPlainFile(dir.Join("from.vorela"), dir.Join("to.cab")), kErrorAccessDenied);
  fs.SetReadOnly(dir.Join("to.cab"), false);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("to.cab")), "kept");
}

#ifndef _WIN32
TEST_F(PlainCopy, FifosAndDevicesAreRefusedWithoutWaiting) {
  ASSERT_EQ(mkfifo(dir.NativeJoin("pipe.vorela").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", dir.NativeJoin("zero.vorela").c_str()), 0);
  for (const char* source : {"pipe.vorela", "zero.vorela"}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(fs.CopyPlainFile(dir.Join(source), dir.Join("to.cab")), kErrorBadFileType);
  }
  EXPECT_EQ(fs.CopyPlainFile("/dev/null", dir.Join("to.cab")), kErrorBadFileType);
  EXPECT_FALSE(std::filesystem::exists(dir.NativeJoin("to.cab")));
  EXPECT_EQ(Entries(), 2u);
}
#endif

}  // namespace
}  // namespace vorela
