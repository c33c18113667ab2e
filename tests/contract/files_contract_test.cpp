// The file seam's contract, run against this build's real backend (POSIX calls
// natively, kernel32 under Wine): the same expectations on both.
#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "common/helpers.h"
#include "platform/files.h"
#include "support/scratch.h"

namespace vorela {
namespace {

using testing::ReadNativeFile;
using testing::ScratchDir;
using testing::WriteNativeFile;

class FilesContract : public ::testing::Test {
 protected:
  FileSystem& fs = SystemFileSystem();
  ScratchDir dir;
};

size_t EntriesIn(const std::string& native) {
  size_t n = 0;
  for (auto it = std::filesystem::directory_iterator(native); it != std::filesystem::directory_iterator(); ++it) ++n;
  return n;
}

TEST_F(FilesContract, ExistenceIsAskedByLength) {
  WriteNativeFile(dir.NativeJoin("a.txt"), "12345");
  std::filesystem::create_directory(dir.NativeJoin("sub"));
  std::uint64_t length = 99;
  EXPECT_EQ(fs.GetLength(dir.Join("a.txt"), &length), kErrorSuccess);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(fs.GetLength(dir.Join("A.TXT"), &length), kErrorSuccess) << "names ignore case";
  EXPECT_EQ(fs.GetLength(dir.Join("sub"), &length), kErrorSuccess);
  EXPECT_EQ(fs.GetLength(dir.Join("sub\\"), &length), kErrorFileNotFound);
  EXPECT_EQ(fs.GetLength(dir.Join("none.txt"), &length), kErrorFileNotFound);
  EXPECT_EQ(fs.GetLength(dir.Join("none\\x.txt"), &length), kErrorPathNotFound);

  Platform platform;
  platform.files = &fs;
  EXPECT_TRUE(FileExists(platform, dir.Join("sub")));
  EXPECT_FALSE(FileExists(platform, dir.Join("sub\\")));
  EXPECT_FALSE(FileExists(platform, ""));
  EXPECT_FALSE(FileExists(Platform{}, dir.Join("a.txt"))) << "no file system: false, no crash";
}

TEST_F(FilesContract, AtomicWriteReplacesWholeAndLeavesNothingBehind) {
  const std::string target = dir.Join("data.xml");
  ASSERT_EQ(fs.WriteAtomic(target, std::string(1000, 'x')), kErrorSuccess);
  ASSERT_EQ(fs.WriteAtomic(target, "short"), kErrorSuccess);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("data.xml")), "short");
  EXPECT_EQ(EntriesIn(dir.native()), 1u) << "no temporary file may remain";

  // A read-only file is refused and kept as it was.
  ASSERT_EQ(fs.SetReadOnly(target, true), kErrorSuccess);
  EXPECT_EQ(fs.WriteAtomic(target, "new"), kErrorAccessDenied);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("data.xml")), "short");
  EXPECT_EQ(fs.Delete(target), kErrorAccessDenied);
  ASSERT_EQ(fs.SetReadOnly(target, false), kErrorSuccess);
  EXPECT_EQ(fs.Delete(target), kErrorSuccess);

  // A missing folder: nothing is created.
  EXPECT_EQ(fs.WriteAtomic(dir.Join("missing\\x.xml"), "x"), kErrorPathNotFound);
  EXPECT_EQ(EntriesIn(dir.native()), 0u);
}

TEST_F(FilesContract, CopyDeleteRenameAndFolders) {
  WriteNativeFile(dir.NativeJoin("src.bin"), std::string("a\0b", 3));
  WriteNativeFile(dir.NativeJoin("dst.bin"), "a much longer old destination");
  EXPECT_EQ(fs.Copy(dir.Join("src.bin"), dir.Join("dst.bin")), kErrorSuccess);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("dst.bin")), std::string("a\0b", 3));
  EXPECT_EQ(fs.Copy(dir.Join("none"), dir.Join("x")), kErrorFileNotFound);

  EXPECT_EQ(fs.Rename(dir.Join("dst.bin"), dir.Join("src.bin")), kErrorSuccess);
  EXPECT_EQ(fs.GetLength(dir.Join("dst.bin"), nullptr), kErrorFileNotFound);
  EXPECT_EQ(fs.Delete(dir.Join("src.bin")), kErrorSuccess);
  EXPECT_EQ(fs.Delete(dir.Join("src.bin")), kErrorFileNotFound);

  EXPECT_EQ(fs.MakeDirectory(dir.Join("d")), kErrorSuccess);
  EXPECT_EQ(fs.MakeDirectory(dir.Join("d")), kErrorAlreadyExists);
  EXPECT_EQ(fs.MakeDirectory(dir.Join("x\\y")), kErrorPathNotFound);
  EXPECT_EQ(fs.Delete(dir.Join("d")), kErrorAccessDenied) << "Delete never removes a folder";
  EXPECT_EQ(fs.RemoveEmptyDirectory(dir.Join("d")), kErrorSuccess);
}

TEST_F(FilesContract, ReadsAndWritesJapaneseNamesAndContent) {
  const std::string name = "\xE3\x83\xA1\xE3\x83\x8B\xE3\x83\xA5\xE3\x83\xBC.xml";  // メニュー.xml
  const std::string text = "<xmlroot>\xE8\xBF\xBD\xE5\x8A\xA0</xmlroot>";
  ASSERT_EQ(fs.WriteAtomic(dir.Join(name), text), kErrorSuccess);
  std::string back;
  ASSERT_EQ(fs.ReadAll(dir.Join(name), &back), kErrorSuccess);
  EXPECT_EQ(back, text);
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(dir.path(), "*.xml", &names), kErrorSuccess);
  EXPECT_EQ(names, std::vector<std::string>{name});
}

TEST_F(FilesContract, ListsPlainFilesByPattern) {
  for (const char* n : {"b.htm", "A.HTM", "c.txt", ".hidden.htm"}) WriteNativeFile(dir.NativeJoin(n), n);
  std::filesystem::create_directory(dir.NativeJoin("folder.htm"));
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(dir.path(), "*.htm", &names), kErrorSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"A.HTM", "b.htm"}));
  ASSERT_EQ(fs.ListFiles(dir.Join("none"), "*.htm", &names), kErrorPathNotFound);
  ASSERT_EQ(fs.ListFiles(dir.path(), "*.zzz", &names), kErrorSuccess);
  EXPECT_TRUE(names.empty());

  FileEntry entry;
  ASSERT_EQ(fs.FindEntry(dir.Join(".hidden.htm"), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_hidden);
  ASSERT_EQ(fs.FindEntry(dir.Join("folder.htm"), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_directory);
  ASSERT_EQ(fs.FindEntry(dir.Join("b.htm"), &entry), kErrorSuccess);
  EXPECT_FALSE(entry.is_directory || entry.is_hidden || entry.is_system);
  EXPECT_EQ(entry.size, 5u);
  EXPECT_NE(fs.FindEntry(dir.Join("*.htm"), &entry), kErrorSuccess) << "no wildcards";
}

TEST_F(FilesContract, TreeDeletionNeedsForceForReadOnlyFiles) {
  std::filesystem::create_directories(dir.NativeJoin("data/sub/deeper"));
  WriteNativeFile(dir.NativeJoin("data/a.xml"), "a");
  WriteNativeFile(dir.NativeJoin("data/sub/deeper/locked.xml"), "b");
  ASSERT_EQ(fs.SetReadOnly(dir.Join("data\\sub\\deeper\\locked.xml"), true), kErrorSuccess);

  EXPECT_EQ(fs.DeleteTree(dir.Join("data"), false), kErrorAccessDenied);
  EXPECT_TRUE(std::filesystem::exists(dir.NativeJoin("data/sub/deeper/locked.xml")));
  EXPECT_EQ(fs.DeleteTree(dir.Join("data"), true), kErrorSuccess);
  EXPECT_FALSE(std::filesystem::exists(dir.NativeJoin("data")));
  EXPECT_EQ(fs.DeleteTree(dir.Join("data"), true), kErrorPathNotFound);
}

}  // namespace
}  // namespace vorela
