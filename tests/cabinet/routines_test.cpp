// The path, name, time and target routines of the per-file handlers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "cabinet/cab_routines.h"
#include "common/error.h"
#include "fakes/fake_file_system.h"

namespace vorela::testing {
namespace {

using ::testing::ElementsAre;

TEST(CabRoutines, PathSplitting) {
  EXPECT_EQ(EnsureTrailingBackslash(""), "\\");
  EXPECT_EQ(EnsureTrailingBackslash("C:\\w"), "C:\\w\\");
  EXPECT_EQ(EnsureTrailingBackslash("C:\\w\\"), "C:\\w\\");
  EXPECT_EQ(FolderOf("C:\\w\\temp.cab"), "C:\\w\\");
  EXPECT_EQ(FolderOf("temp.cab"), "");

  std::string folder = "stale", name = "stale";
  SplitStoredName("a\\b\\c.txt", &folder, &name);
  EXPECT_EQ(folder, "a\\b\\");
  EXPECT_EQ(name, "c.txt");
  SplitStoredName("c.txt", &folder, &name);
  EXPECT_EQ(folder, "");
  EXPECT_EQ(name, "c.txt");
  SplitStoredName("a\\", &folder, &name);
  EXPECT_EQ(folder, "a\\");
  EXPECT_EQ(name, "");
}

TEST(CabRoutines, DosStampsConvertWithoutZoneAndFormatAsGeneralDate) {
  const CabDateTime t =
      DosStampToDate((44 << 9) | (2 << 5) | 29, (23 << 11) | (59 << 5) | 29);
  EXPECT_EQ(t, (CabDateTime{2024, 2, 29, 23, 59, 58}));
  EXPECT_EQ(FormatGeneralDate(t), "2024/02/29 23:59:58");
  EXPECT_EQ(FormatGeneralDate({1980, 1, 1, 0, 0, 0}), "1980/01/01");
  EXPECT_EQ(FormatGeneralDate({2001, 10, 9, 0, 0, 2}), "2001/10/09 0:00:02");
  // A stamp that names no day: the zero file time.
  EXPECT_EQ(DosStampToDate((43 << 9) | (2 << 5) | 29, 0),
            (CabDateTime{1601, 1, 1, 0, 0, 0}));
  EXPECT_EQ(DosStampToDate(0, 0), (CabDateTime{1601, 1, 1, 0, 0, 0}));
  EXPECT_EQ(DosStampToDate((1 << 5) | 1, 24 << 11),
            (CabDateTime{1601, 1, 1, 0, 0, 0}));
}

TEST(CabRoutines, WriteTargetNameNeverWritesPastTheField) {
  const TextCodec& codec = SystemTextCodec();
  char field[16 + 4];
  std::memset(field, '#', sizeof field);
  WriteTargetName(codec, field, 16, std::string(15, 'a'));
  EXPECT_EQ(std::string(field, 16), std::string(15, 'a') + '\0');
  EXPECT_EQ(field[16], '#');

  std::memset(field, '#', sizeof field);
  EXPECT_THROW(WriteTargetName(codec, field, 16, std::string(16, 'a')), Error);
  EXPECT_EQ(std::string(field, sizeof field), std::string(sizeof field, '#'));
}

TEST(CabRoutines, AnsiPointerToString) {
  EXPECT_EQ(AnsiPointerToString(SystemTextCodec(), nullptr), "");
  EXPECT_EQ(AnsiPointerToString(SystemTextCodec(), "plain\\name.txt"),
            "plain\\name.txt");
}

TEST(CabRoutines, ContainedStoredNames) {
  for (const char* ok :
       {"a.txt", "a\\b\\c.txt", "..a", "a..b\\c", "x.y.z", "a\\\\b", "CONSOLE.txt",
        "icon\\com10.ico", "lpt.htm", "nul1", "auxiliary\\x", "COM", "a b.txt",
        " lead.txt", "\xE3\x82\xBD\\b.txt"}) {
    EXPECT_TRUE(IsContainedStoredName(ok)) << ok;
  }
  for (const char* bad :
       {"", "..\\x", "a\\..\\..\\x", "../x", "\\x", "/x", "C:\\x", "C:x",
        "\\\\server\\share\\x", "a\\. .\\x", "a\\...\\x", "a\\", "x:stream"}) {
    EXPECT_FALSE(IsContainedStoredName(bad)) << bad;
  }
}

TEST(CabRoutines, DeviceNamesAndNamesWindowsCannotCreateAreRefused) {
  for (const char* device :
       {"CON", "con", "Con.txt", "prn.tar.gz", "AUX", "nul.ico", "COM1", "com9.htm", "LPT1",
        "lpt9", "COM0", "icons\\CON", "CON\\x.txt", "a\\nul\\b.txt", "sub/aux.htm",
        "CON .txt", "conin$", "CONOUT$.x", "COM\xC2\xB9", "lpt\xC2\xB3.txt"}) {
    EXPECT_STREQ(StoredNameProblem(device), "names a device") << device;
  }
  for (const char* invalid :
       {"a:b.txt", "dir\\file.txt:stream", "trailing.", "trailing ", "dir.\\x.txt",
        "dir \\x.txt", "a..\\b", "what?.htm", "a*b", "q\"uote", "l<t", "g>t", "p|pe",
        "tab\there", "bell\x07"}) {
    EXPECT_NE(StoredNameProblem(invalid), nullptr) << invalid;
    EXPECT_FALSE(IsContainedStoredName(invalid)) << invalid;
  }
  // A part that folds into ".." is reported as climbing, whatever else it has.
  EXPECT_STREQ(StoredNameProblem("CON\\. .\\x"),
               "climbs out of or starts above the unpack folder");
}

TEST(CreateFolderPath, CreatesMissingLevelsBelowTheDeepestExistingOne) {
  FakeFileSystem files;
  files.AddDirectory("C:");
  files.AddDirectory("C:\\w");
  EXPECT_TRUE(CreateFolderPath(files, "C:\\w\\a\\b\\c\\"));
  EXPECT_THAT(
      files.calls(),
      ElementsAre("MakeDirectory C:\\w\\a\\b\\c", "MakeDirectory C:\\w\\a\\b",
                  "MakeDirectory C:\\w\\a", "MakeDirectory C:\\w\\a\\b",
                  "MakeDirectory C:\\w\\a\\b\\c"));
  // Now it exists: accepted at once.
  EXPECT_TRUE(CreateFolderPath(files, "C:\\w\\a\\b\\c"));
}

TEST(CreateFolderPath, FailsWithoutCreatableAncestorOrOnOtherErrors) {
  FakeFileSystem files;
  EXPECT_FALSE(CreateFolderPath(files, ""));
  EXPECT_FALSE(CreateFolderPath(files, "\\"));
  // No level can be created.
  files.FailOn("MakeDirectory", "Q:\\x", kErrorPathNotFound);
  files.FailOn("MakeDirectory", "Q:", kErrorPathNotFound);
  EXPECT_FALSE(CreateFolderPath(files, "Q:\\x\\y"));

  files.AddDirectory("C:");
  files.FailOn("MakeDirectory", "C:\\locked", kErrorAccessDenied);
  EXPECT_FALSE(CreateFolderPath(files, "C:\\locked\\x"));
}

}  // namespace
}  // namespace vorela::testing
