// The file seam's contract: the same expectations on this build's real backend
// (POSIX calls natively, kernel32 under Wine) and on the in-memory fake the
// program tests stand on. Files are planted and checked through the seam
// itself; only a folder's entries (where a save's temporaries would hide from
// listings) are read per backend. What only a real disk has is in
// files_on_disk_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "common/helpers.h"
#include "fakes/fake_file_system.h"
#include "platform/files.h"
#include "support/scratch.h"
#include "support/wine.h"

namespace vorela {
namespace {

// A backend and what it models; a case that needs something a backend does not
// model says which capability it needs.
struct FilesBackend {
  const char* name;
  bool fake;
  // The hidden attribute: the seam cannot set it, so only names the system
  // hides show it (dot names, on POSIX by convention and under Wine by its
  // default). The fake has no hidden files.
  bool has_hidden_attribute;
};

class FilesContract : public ::testing::TestWithParam<FilesBackend> {
 protected:
  FilesContract() {
    if (GetParam().fake) fake_.AddDirectory(root_);
  }

  std::string Join(const std::string& name) const { return root_ + "\\" + name; }

  void Plant(const std::string& name, const std::string& bytes) {
    ASSERT_EQ(fs.WriteAtomic(Join(name), bytes), kErrorSuccess) << name;
  }
  void PlantFolder(const std::string& name) {
    ASSERT_EQ(fs.MakeDirectory(Join(name)), kErrorSuccess) << name;
  }
  // The file's bytes, or the error that reading it gave.
  std::string Read(const std::string& name) {
    std::string bytes;
    const Win32Error e = fs.ReadAll(Join(name), &bytes);
    return e == kErrorSuccess ? bytes : "<error " + std::to_string(e) + ">";
  }
  bool Exists(const std::string& name) {
    return fs.GetLength(Join(name), nullptr) == kErrorSuccess;
  }
  bool IsReadOnly(const std::string& name) {
    FileEntry entry;
    return fs.FindEntry(Join(name), &entry) == kErrorSuccess && entry.is_read_only;
  }
  // Every entry of a folder (of the scratch folder when empty; spelt as made),
  // hidden ones and temporaries included, sorted: what listings do not show.
  std::vector<std::string> EntriesIn(const std::string& folder = "") {
    std::vector<std::string> names;
    if (GetParam().fake) {
      names = fake_.EntriesIn(folder.empty() ? root_ : Join(folder));
    } else {
      const std::string native = folder.empty() ? scratch_.native() : scratch_.NativeJoin(folder);
      for (const auto& entry :
           std::filesystem::directory_iterator(std::filesystem::u8path(native))) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
      }
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::FakeFileSystem fake_;
  testing::ScratchDir scratch_;
  FileSystem& fs = GetParam().fake ? static_cast<FileSystem&>(fake_) : SystemFileSystem();
  const std::string root_ = GetParam().fake ? std::string("C:\\scratch") : scratch_.path();
};

void PrintTo(const FilesBackend& backend, std::ostream* out) { *out << backend.name; }

INSTANTIATE_TEST_SUITE_P(Backends, FilesContract,
                         ::testing::Values(FilesBackend{"System", false, true},
                                           FilesBackend{"Fake", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(FilesContract, ExistenceIsAskedByLength) {
  Plant("a.txt", "12345");
  PlantFolder("sub");
  std::uint64_t length = 99;
  EXPECT_EQ(fs.GetLength(Join("a.txt"), &length), kErrorSuccess);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(fs.GetLength(Join("A.TXT"), &length), kErrorSuccess) << "names ignore case";
  EXPECT_EQ(fs.GetLength(Join("sub"), &length), kErrorSuccess);
  EXPECT_EQ(length, 0u) << "a folder has no length";
  EXPECT_EQ(fs.GetLength(Join("sub\\"), &length), kErrorFileNotFound);
  EXPECT_EQ(fs.GetLength(Join("a.txt\\"), &length), kErrorFileNotFound);
  EXPECT_EQ(fs.GetLength(Join("none.txt"), &length), kErrorFileNotFound);
  EXPECT_EQ(fs.GetLength(Join("none\\x.txt"), &length), kErrorPathNotFound);
  EXPECT_EQ(fs.GetLength("", &length), kErrorPathNotFound);
  EXPECT_EQ(fs.GetLength(Join("a.txt"), nullptr), kErrorSuccess) << "the length is optional";

  Platform platform;
  platform.files = &fs;
  EXPECT_TRUE(FileExists(platform, Join("sub")));
  EXPECT_FALSE(FileExists(platform, Join("sub\\")));
  EXPECT_FALSE(FileExists(platform, ""));
  EXPECT_FALSE(FileExists(Platform{}, Join("a.txt"))) << "no file system: false, no crash";
}

TEST_P(FilesContract, EntriesAreFoundAsADirectorySearchFindsThem) {
  Plant("b.htm", "b.htm");
  Plant("locked.htm", "locked");
  ASSERT_EQ(fs.SetReadOnly(Join("locked.htm"), true), kErrorSuccess);
  PlantFolder("folder.htm");
  FileEntry entry;
  ASSERT_EQ(fs.FindEntry(Join("folder.htm"), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_directory);
  ASSERT_EQ(fs.FindEntry(Join("b.htm"), &entry), kErrorSuccess);
  EXPECT_FALSE(entry.is_directory || entry.is_hidden || entry.is_system);
  EXPECT_FALSE(entry.is_read_only || entry.is_link);
  EXPECT_EQ(entry.size, 5u);
  ASSERT_EQ(fs.FindEntry(Join("LOCKED.HTM"), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_read_only);
  EXPECT_EQ(entry.size, 6u);
  EXPECT_NE(fs.FindEntry(Join("*.htm"), &entry), kErrorSuccess) << "no wildcards";
  EXPECT_EQ(fs.FindEntry(Join("b.ht?"), &entry), kErrorInvalidName);
  EXPECT_EQ(fs.FindEntry(Join("folder.htm\\"), &entry), kErrorFileNotFound);
  EXPECT_EQ(fs.FindEntry(Join("none.htm"), &entry), kErrorFileNotFound);
  EXPECT_EQ(fs.FindEntry(Join("none\\b.htm"), &entry), kErrorPathNotFound);
  EXPECT_EQ(fs.FindEntry(Join("b.htm"), nullptr), kErrorSuccess);
  ASSERT_EQ(fs.SetReadOnly(Join("locked.htm"), false), kErrorSuccess);
  EXPECT_FALSE(IsReadOnly("locked.htm"));
  EXPECT_EQ(fs.SetReadOnly(Join("none.htm"), true), kErrorFileNotFound);
  EXPECT_EQ(fs.SetReadOnly(Join("none\\b.htm"), true), kErrorPathNotFound);
}

TEST_P(FilesContract, DotNamesAreHiddenAndNotListed) {
  if (!GetParam().has_hidden_attribute) {
    GTEST_SKIP() << "the fake has no hidden attribute";
  }
  Plant("b.htm", "b.htm");
  Plant(".hidden.htm", ".hidden.htm");
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(root_, "*.htm", &names), kErrorSuccess);
  EXPECT_EQ(names, std::vector<std::string>{"b.htm"});
  FileEntry entry;
  ASSERT_EQ(fs.FindEntry(Join(".hidden.htm"), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_hidden);
}

TEST_P(FilesContract, ReadingTakesWholeFilesOnly) {
  Plant("a.bin", std::string("a\0b", 3));
  PlantFolder("sub");
  std::string bytes = "kept";
  EXPECT_EQ(fs.ReadAll(Join("sub"), &bytes), kErrorAccessDenied);
  EXPECT_EQ(fs.ReadAll(Join("a.bin\\"), &bytes), kErrorFileNotFound);
  EXPECT_EQ(fs.ReadAll(Join("none.bin"), &bytes), kErrorFileNotFound);
  EXPECT_EQ(fs.ReadAll(Join("none\\a.bin"), &bytes), kErrorPathNotFound);
  EXPECT_EQ(bytes, "kept") << "nothing is read on failure";
  EXPECT_EQ(fs.ReadAll(Join("a.bin"), nullptr), kErrorSuccess);

  std::unique_ptr<FileReader> reader;
  EXPECT_EQ(fs.OpenForReading(Join("sub"), &reader), kErrorAccessDenied);
  EXPECT_EQ(fs.OpenForReading(Join("none.bin"), &reader), kErrorFileNotFound);
  EXPECT_EQ(fs.OpenForReading(Join("none\\a.bin"), &reader), kErrorPathNotFound);
  ASSERT_EQ(fs.OpenForReading(Join("A.BIN"), &reader), kErrorSuccess);
  EXPECT_EQ(reader->Length(), 3u);
  char block[2];
  std::size_t got = 0;
  std::string back;
  do {
    ASSERT_EQ(reader->Read(block, sizeof block, &got), kErrorSuccess);
    back.append(block, got);
  } while (got != 0);
  EXPECT_EQ(back, std::string("a\0b", 3));
}

TEST_P(FilesContract, AtomicWriteReplacesWholeAndLeavesNothingBehind) {
  const std::string target = Join("data.xml");
  ASSERT_EQ(fs.WriteAtomic(target, std::string(1000, 'x')), kErrorSuccess);
  ASSERT_EQ(fs.WriteAtomic(target, "short"), kErrorSuccess);
  EXPECT_EQ(Read("data.xml"), "short");
  EXPECT_EQ(EntriesIn().size(), 1u) << "no temporary file may remain";

  // A read-only file is refused and kept as it was.
  ASSERT_EQ(fs.SetReadOnly(target, true), kErrorSuccess);
  EXPECT_EQ(fs.WriteAtomic(target, "new"), kErrorAccessDenied);
  EXPECT_EQ(fs.WriteAtomicOwnerOnly(target, "new"), kErrorAccessDenied);
  EXPECT_EQ(Read("data.xml"), "short");
  EXPECT_EQ(fs.Delete(target), kErrorAccessDenied);
  ASSERT_EQ(fs.SetReadOnly(target, false), kErrorSuccess);
  EXPECT_EQ(fs.Delete(target), kErrorSuccess);

  // A missing folder: nothing is created.
  EXPECT_EQ(fs.WriteAtomic(Join("missing\\x.xml"), "x"), kErrorPathNotFound);
  EXPECT_EQ(EntriesIn().size(), 0u);
}

TEST_P(FilesContract, NoFileIsWrittenWhereNoneCanBe) {
  Plant("a.txt", "a");
  PlantFolder("sub");
  for (auto write : {&FileSystem::WriteAtomic, &FileSystem::WriteAtomicOwnerOnly}) {
    EXPECT_EQ((fs.*write)(Join("sub"), "x"), kErrorAccessDenied);
    EXPECT_EQ((fs.*write)(Join("new.txt\\"), "x"), kErrorPathNotFound);
    EXPECT_EQ((fs.*write)(Join("a.txt\\x.txt"), "x"), kErrorPathNotFound);
    EXPECT_EQ((fs.*write)("", "x"), kErrorPathNotFound);
  }
  EXPECT_EQ(Read("a.txt"), "a");
  EXPECT_EQ(EntriesIn(), (std::vector<std::string>{"a.txt", "sub"}));
  EXPECT_TRUE(EntriesIn("sub").empty());
}

TEST_P(FilesContract, ReplacementInBlocksIsRefusedUpFrontAndCommittedWhole) {
  Plant("locked.xml", "locked");
  ASSERT_EQ(fs.SetReadOnly(Join("locked.xml"), true), kErrorSuccess);
  PlantFolder("sub");
  std::unique_ptr<FileWriter> writer;
  EXPECT_EQ(fs.BeginReplace(Join("locked.xml"), &writer), kErrorAccessDenied);
  EXPECT_EQ(fs.BeginReplace(Join("sub"), &writer), kErrorAccessDenied);
  EXPECT_EQ(fs.BeginReplace(Join("none\\x.xml"), &writer), kErrorPathNotFound);
  EXPECT_EQ(fs.BeginReplace(Join("x.xml\\"), &writer), kErrorPathNotFound);

  Plant("data.xml", "old");
  ASSERT_EQ(fs.BeginReplace(Join("data.xml"), &writer), kErrorSuccess);
  ASSERT_EQ(writer->Write("ne", 2), kErrorSuccess);
  ASSERT_EQ(writer->Write("w", 1), kErrorSuccess);
  EXPECT_EQ(Read("data.xml"), "old") << "nothing shows before the commit";
  ASSERT_EQ(writer->Commit(), kErrorSuccess);
  writer.reset();
  EXPECT_EQ(Read("data.xml"), "new");

  ASSERT_EQ(fs.BeginReplace(Join("data.xml"), &writer), kErrorSuccess);
  ASSERT_EQ(writer->Write("abandoned", 9), kErrorSuccess);
  writer.reset();
  EXPECT_EQ(Read("data.xml"), "new") << "a writer dropped before its commit changes nothing";
  EXPECT_EQ(EntriesIn(), (std::vector<std::string>{"data.xml", "locked.xml", "sub"}));
}

TEST_P(FilesContract, CopyDeleteRenameAndFolders) {
  Plant("src.bin", std::string("a\0b", 3));
  Plant("dst.bin", "a much longer old destination");
  EXPECT_EQ(fs.Copy(Join("src.bin"), Join("dst.bin")), kErrorSuccess);
  EXPECT_EQ(Read("dst.bin"), std::string("a\0b", 3));
  EXPECT_EQ(fs.Copy(Join("none"), Join("x")), kErrorFileNotFound);

  EXPECT_EQ(fs.Rename(Join("dst.bin"), Join("src.bin")), kErrorSuccess);
  EXPECT_EQ(fs.GetLength(Join("dst.bin"), nullptr), kErrorFileNotFound);
  EXPECT_EQ(fs.Delete(Join("src.bin")), kErrorSuccess);
  EXPECT_EQ(fs.Delete(Join("src.bin")), kErrorFileNotFound);

  EXPECT_EQ(fs.MakeDirectory(Join("d")), kErrorSuccess);
  EXPECT_EQ(fs.MakeDirectory(Join("d")), kErrorAlreadyExists);
  EXPECT_EQ(fs.MakeDirectory(Join("x\\y")), kErrorPathNotFound);
  EXPECT_EQ(fs.Delete(Join("d")), kErrorAccessDenied) << "Delete never removes a folder";
  EXPECT_EQ(fs.RemoveEmptyDirectory(Join("d")), kErrorSuccess);
}

TEST_P(FilesContract, CopyWritesAsAReplacementWouldFromAFileOfBytes) {
  Plant("src.bin", "source");
  Plant("locked.bin", "locked");
  ASSERT_EQ(fs.SetReadOnly(Join("locked.bin"), true), kErrorSuccess);
  PlantFolder("sub");
  EXPECT_EQ(fs.Copy(Join("sub"), Join("x.bin")), kErrorAccessDenied);
  EXPECT_EQ(fs.Copy(Join("none\\src.bin"), Join("x.bin")), kErrorPathNotFound);
  EXPECT_EQ(fs.Copy(Join("src.bin"), Join("sub")), kErrorAccessDenied);
  EXPECT_EQ(fs.Copy(Join("src.bin"), Join("locked.bin")), kErrorAccessDenied);
  EXPECT_EQ(fs.Copy(Join("src.bin"), Join("none\\x.bin")), kErrorPathNotFound);
  EXPECT_EQ(Read("locked.bin"), "locked");
  EXPECT_EQ(EntriesIn(), (std::vector<std::string>{"locked.bin", "src.bin", "sub"}));

  // A copy is a new plain file, whatever the source's attribute.
  EXPECT_EQ(fs.Copy(Join("LOCKED.BIN"), Join("sub\\copy.bin")), kErrorSuccess);
  EXPECT_EQ(Read("sub\\copy.bin"), "locked");
  EXPECT_FALSE(IsReadOnly("sub\\copy.bin"));

  EXPECT_EQ(fs.CopyPlainFile(Join("sub"), Join("x.bin")), kErrorBadFileType);
  EXPECT_EQ(fs.CopyPlainFile(Join("none.bin"), Join("x.bin")), kErrorFileNotFound);
  EXPECT_EQ(fs.CopyPlainFile(Join("none\\x.bin"), Join("x.bin")), kErrorPathNotFound);
  EXPECT_EQ(fs.CopyPlainFile(Join("src.bin"), Join("none\\x.bin")), kErrorPathNotFound);
  EXPECT_EQ(fs.CopyPlainFile(Join("src.bin"), Join("locked.bin")), kErrorAccessDenied);
  EXPECT_EQ(fs.CopyPlainFile(Join("src.bin"), Join("sub\\copy.bin")), kErrorSuccess);
  EXPECT_EQ(Read("sub\\copy.bin"), "source");
  ASSERT_EQ(fs.SetReadOnly(Join("locked.bin"), false), kErrorSuccess);
}

TEST_P(FilesContract, DeleteTakesOneWritableFile) {
  Plant("a.txt", "a");
  PlantFolder("sub");
  EXPECT_EQ(fs.Delete(Join("sub")), kErrorAccessDenied);
  EXPECT_EQ(fs.Delete(Join("none.txt")), kErrorFileNotFound);
  EXPECT_EQ(fs.Delete(Join("none\\a.txt")), kErrorPathNotFound);
  EXPECT_EQ(fs.Delete(Join("A.TXT")), kErrorSuccess);
  EXPECT_EQ(EntriesIn(), std::vector<std::string>{"sub"});
}

TEST_P(FilesContract, RenameReplacesAFileAndMovesAFolderWhole) {
  Plant("a.txt", "a");
  Plant("b.txt", "b");
  Plant("locked.txt", "locked");
  ASSERT_EQ(fs.SetReadOnly(Join("locked.txt"), true), kErrorSuccess);
  PlantFolder("d");
  Plant("d\\inner.txt", "inner");

  EXPECT_EQ(fs.Rename(Join("none.txt"), Join("x.txt")), kErrorFileNotFound);
  EXPECT_EQ(fs.Rename(Join("none\\a.txt"), Join("x.txt")), kErrorPathNotFound);
  EXPECT_EQ(fs.Rename(Join("a.txt"), Join("none\\a.txt")), kErrorPathNotFound);
  EXPECT_EQ(fs.Rename(Join("a.txt"), Join("d")), kErrorAccessDenied);
  EXPECT_EQ(Read("a.txt"), "a");

  EXPECT_EQ(fs.Rename(Join("A.TXT"), Join("B.TXT")), kErrorSuccess);
  EXPECT_EQ(Read("b.txt"), "a");
  EXPECT_FALSE(Exists("a.txt"));
  // A read-only file may be renamed, and stays read-only.
  EXPECT_EQ(fs.Rename(Join("locked.txt"), Join("d\\locked.txt")), kErrorSuccess);
  EXPECT_TRUE(IsReadOnly("d\\locked.txt"));
  ASSERT_EQ(fs.SetReadOnly(Join("d\\locked.txt"), false), kErrorSuccess);
  // A folder moves with everything in it.
  EXPECT_EQ(fs.Rename(Join("d"), Join("e")), kErrorSuccess);
  EXPECT_EQ(Read("e\\inner.txt"), "inner");
  EXPECT_EQ(Read("e\\locked.txt"), "locked");
  EXPECT_EQ(fs.GetLength(Join("d\\inner.txt"), nullptr), kErrorPathNotFound);
  EXPECT_EQ(EntriesIn(), (std::vector<std::string>{"b.txt", "e"}));
}

TEST_P(FilesContract, RenameOverAReadOnlyFileIsRefused) {
  Plant("a.txt", "a");
  Plant("locked.txt", "locked");
  ASSERT_EQ(fs.SetReadOnly(Join("locked.txt"), true), kErrorSuccess);
  if (!GetParam().fake && testing::RunningUnderWine()) {
    // Wine deviation: Wine's rename replaces a read-only file, which Windows
    // refuses (5).
    EXPECT_EQ(fs.Rename(Join("a.txt"), Join("locked.txt")), kErrorSuccess);
    EXPECT_EQ(Read("locked.txt"), "a");
    return;
  }
  EXPECT_EQ(fs.Rename(Join("a.txt"), Join("locked.txt")), kErrorAccessDenied);
  EXPECT_EQ(Read("locked.txt"), "locked");
  EXPECT_EQ(Read("a.txt"), "a");
  ASSERT_EQ(fs.SetReadOnly(Join("locked.txt"), false), kErrorSuccess);
}

TEST_P(FilesContract, FoldersAreMadeAndRemovedOneLevelAtATime) {
  Plant("a.txt", "a");
  EXPECT_EQ(fs.MakeDirectory(Join("a.txt")), kErrorAlreadyExists);
  EXPECT_EQ(fs.MakeDirectory(Join("a.txt\\d")), kErrorPathNotFound);
  EXPECT_EQ(fs.MakeDirectory(""), kErrorPathNotFound);
  EXPECT_EQ(fs.MakeDirectory(Join("d\\")), kErrorSuccess) << "a trailing separator is allowed";
  EXPECT_EQ(fs.MakeDirectory(Join("D")), kErrorAlreadyExists);
  Plant("d\\inner.txt", "inner");
  EXPECT_TRUE(Exists("D\\INNER.TXT"));

  EXPECT_EQ(fs.RemoveEmptyDirectory(Join("d")), kErrorDirNotEmpty);
  EXPECT_EQ(fs.RemoveEmptyDirectory(Join("a.txt")), kErrorDirectory);
  EXPECT_EQ(fs.RemoveEmptyDirectory(Join("none")), kErrorFileNotFound);
  EXPECT_EQ(fs.RemoveEmptyDirectory(Join("none\\d")), kErrorPathNotFound);
  ASSERT_EQ(fs.Delete(Join("d\\inner.txt")), kErrorSuccess);
  EXPECT_EQ(fs.RemoveEmptyDirectory(Join("D\\")), kErrorSuccess);
  EXPECT_EQ(EntriesIn(), std::vector<std::string>{"a.txt"});
}

TEST_P(FilesContract, NamesMatchWithoutRegardToAsciiCase) {
  PlantFolder("Sub");
  Plant("Sub\\Data.Xml", "one");
  ASSERT_EQ(fs.WriteAtomic(Join("SUB\\DATA.XML"), "two"), kErrorSuccess);
  EXPECT_EQ(Read("sub\\data.xml"), "two");
  EXPECT_EQ(EntriesIn("Sub").size(), 1u) << "one file, whichever spelling it keeps";
  EXPECT_EQ(fs.Copy(Join("sub\\data.xml"), Join("SUB\\Data.xml")), kErrorSuccess);
  EXPECT_EQ(EntriesIn("Sub").size(), 1u);
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(Join("SUB"), "*.XML", &names), kErrorSuccess);
  EXPECT_EQ(names.size(), 1u);
  ASSERT_EQ(fs.SetReadOnly(Join("sub\\DATA.xml"), true), kErrorSuccess);
  EXPECT_TRUE(IsReadOnly("Sub\\Data.Xml"));
  ASSERT_EQ(fs.SetReadOnly(Join("SUB\\data.XML"), false), kErrorSuccess);
  EXPECT_EQ(fs.Delete(Join("sub\\data.xml")), kErrorSuccess);
  EXPECT_TRUE(EntriesIn("Sub").empty());
  EXPECT_EQ(fs.DeleteTree(Join("SUB"), false), kErrorSuccess);
  EXPECT_TRUE(EntriesIn().empty());
}

TEST_P(FilesContract, PathsAreResolvedBeforeAnyLookup) {
  PlantFolder("sub");
  Plant("sub\\a.txt", "a");
  EXPECT_EQ(Read("sub/a.txt"), "a");
  EXPECT_EQ(Read("sub\\\\a.txt"), "a");
  EXPECT_EQ(Read("sub\\.\\a.txt"), "a");
  EXPECT_EQ(Read("none\\..\\sub\\a.txt"), "a") << "a missing folder left again";
  ASSERT_EQ(fs.WriteAtomic(Join("sub\\..\\b.txt"), "b"), kErrorSuccess);
  EXPECT_EQ(EntriesIn(), (std::vector<std::string>{"b.txt", "sub"}));
}

TEST_P(FilesContract, ReadsAndWritesJapaneseNamesAndContent) {
  const std::string name = "\xE3\x83\xA1\xE3\x83\x8B\xE3\x83\xA5\xE3\x83\xBC.xml";  // メニュー.xml
  const std::string text = "<xmlroot>\xE8\xBF\xBD\xE5\x8A\xA0</xmlroot>";
  ASSERT_EQ(fs.WriteAtomic(Join(name), text), kErrorSuccess);
  std::string back;
  ASSERT_EQ(fs.ReadAll(Join(name), &back), kErrorSuccess);
  EXPECT_EQ(back, text);
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(root_, "*.xml", &names), kErrorSuccess);
  EXPECT_EQ(names, std::vector<std::string>{name});
}

TEST_P(FilesContract, ListsPlainFilesByPattern) {
  for (const char* n : {"b.htm", "A.HTM", "c.txt"}) Plant(n, n);
  PlantFolder("folder.htm");
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(root_, "*.htm", &names), kErrorSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"A.HTM", "b.htm"}));
  ASSERT_EQ(fs.ListFiles(Join("none"), "*.htm", &names), kErrorPathNotFound);
  ASSERT_EQ(fs.ListFiles(root_, "*.zzz", &names), kErrorSuccess);
  EXPECT_TRUE(names.empty());
}

TEST_P(FilesContract, ListingsFollowTheirPatternAndOneOrder) {
  for (const char* n : {"b.xml", "_a.xml", "C.xml", "a1.xml", "A.xml", "plain"}) Plant(n, n);
  PlantFolder("sub");
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(root_, "*", &names), kErrorSuccess);
  EXPECT_EQ(names,
            (std::vector<std::string>{"_a.xml", "A.xml", "a1.xml", "b.xml", "C.xml", "plain"}));
  std::vector<std::string> same;
  ASSERT_EQ(fs.ListFiles(root_ + "\\", "", &same), kErrorSuccess) << "no pattern: every file";
  EXPECT_EQ(same, names);
  ASSERT_EQ(fs.ListFiles(root_, "*.*", &same), kErrorSuccess) << "names without a dot too";
  EXPECT_EQ(same, names);
  ASSERT_EQ(fs.ListFiles(root_, "?.XML", &names), kErrorSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"A.xml", "b.xml", "C.xml"}));
  ASSERT_EQ(fs.ListFiles(root_, "a*", &names), kErrorSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"A.xml", "a1.xml"}));
  EXPECT_EQ(fs.ListFiles(Join("plain"), "*", &names), kErrorPathNotFound);
  EXPECT_EQ(fs.ListFiles(Join("none\\sub"), "*", &names), kErrorPathNotFound);
  ASSERT_EQ(fs.ListFiles(Join("sub"), "*", &names), kErrorSuccess);
  EXPECT_TRUE(names.empty());
}

TEST_P(FilesContract, TreeDeletionNeedsForceForReadOnlyFiles) {
  PlantFolder("data");
  PlantFolder("data\\sub");
  PlantFolder("data\\sub\\deeper");
  Plant("data\\a.xml", "a");
  Plant("data\\sub\\deeper\\locked.xml", "b");
  ASSERT_EQ(fs.SetReadOnly(Join("data\\sub\\deeper\\locked.xml"), true), kErrorSuccess);

  EXPECT_EQ(fs.DeleteTree(Join("data"), false), kErrorAccessDenied);
  EXPECT_TRUE(Exists("data\\sub\\deeper\\locked.xml"));
  EXPECT_EQ(fs.DeleteTree(Join("data"), true), kErrorSuccess);
  EXPECT_FALSE(Exists("data"));
  EXPECT_EQ(fs.DeleteTree(Join("data"), true), kErrorPathNotFound);
}

TEST_P(FilesContract, TreeDeletionNeedsForceForAReadOnlyFolder) {
  PlantFolder("data");
  Plant("data\\a.xml", "a");
  ASSERT_EQ(fs.SetReadOnly(Join("data"), true), kErrorSuccess);
  if (!GetParam().fake && testing::RunningUnderWine()) {
    // Wine deviation: Wine keeps no read-only attribute on a folder (Windows
    // does), so nothing stops the plain removal.
    EXPECT_FALSE(IsReadOnly("data"));
    EXPECT_EQ(fs.DeleteTree(Join("data"), false), kErrorSuccess);
    return;
  }
  EXPECT_TRUE(IsReadOnly("data"));
  EXPECT_EQ(fs.DeleteTree(Join("data"), false), kErrorAccessDenied);
  EXPECT_EQ(Read("data\\a.xml"), "a");
  EXPECT_EQ(fs.DeleteTree(Join("data"), true), kErrorSuccess);
  EXPECT_TRUE(EntriesIn().empty());
}

TEST_P(FilesContract, TreeDeletionTakesFoldersOnly) {
  Plant("a.txt", "a");
  PlantFolder("Data");
  PlantFolder("data\\empty");
  Plant("data\\x.txt", "x");
  EXPECT_EQ(fs.DeleteTree(Join("a.txt"), true), kErrorPathNotFound);
  EXPECT_EQ(fs.DeleteTree(Join("none\\data"), true), kErrorPathNotFound);
  EXPECT_EQ(fs.DeleteTree(Join("DATA\\"), false), kErrorSuccess);
  EXPECT_EQ(EntriesIn(), std::vector<std::string>{"a.txt"});
}

}  // namespace
}  // namespace vorela
