// The platform's cabinet walk as the cabinet reader relies on it, on whichever
// backend this build has (libmspack emulation or the setup API under Wine).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_test_util.h"
#include "platform/cabinet.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/scratch.h"

namespace vorela::testing {
namespace {

// Answers the walk from a script and records what arrived.
struct Recorder {
  std::vector<std::string> log;
  std::vector<std::string> names;
  std::uint32_t file_answer = kFileOpSkip;
  std::string target_folder;  // Windows form, for DOIT
  int abort_at = -1;          // index of the file to answer ABORT
  std::uint32_t extracted_answer_override = 0xFFFFFFFF;

  static std::uint32_t Callback(std::uintptr_t context,
                                std::uint32_t notification, std::uintptr_t p1,
                                std::uintptr_t p2) noexcept {
    auto& self = *reinterpret_cast<Recorder*>(context);
    switch (notification) {
      case kNotifyCabinetInfo:
        self.log.push_back("cabinet");
        return kNoError;
      case kNotifyFileInCabinet: {
        auto& info = *reinterpret_cast<FileInCabinetInfoA*>(p1);
        const std::string name(info.NameInCabinet);
        // The target field arrives empty.
        bool zeroed = true;
        for (char c : info.FullTargetName) zeroed = zeroed && c == 0;
        self.log.push_back("file " + name + " " +
                           std::to_string(info.FileSize) +
                           (zeroed ? "" : " dirty"));
        const int index = static_cast<int>(self.names.size());
        self.names.push_back(name);
        if (index == self.abort_at) return kFileOpAbort;
        if (self.file_answer == kFileOpDoIt) {
          const std::string target =
              SystemTextCodec().ToAnsi(self.target_folder + "\\") + name;
          std::memcpy(info.FullTargetName, target.c_str(), target.size() + 1);
        }
        return self.file_answer;
      }
      case kNotifyFileExtracted: {
        const auto& paths = *reinterpret_cast<const FilePathsA*>(p1);
        self.log.push_back("extracted " + std::to_string(paths.Win32Error));
        return self.extracted_answer_override != 0xFFFFFFFF
                   ? self.extracted_answer_override
                   : paths.Win32Error;
      }
      default:
        self.log.push_back("other " + std::to_string(notification));
        return 0;
    }
  }

  bool Walk(const std::string& cabinet, Win32Error* error) {
    return SystemCabinetIterator().IterateCabinet(
        SystemTextCodec().ToAnsi(cabinet), 0, Callback,
        reinterpret_cast<std::uintptr_t>(this), error);
  }
};

std::vector<CabEntry> ThreeFiles() {
  return {{"a.txt", "alpha"}, {"b.txt", "bravo!"}, {"c.txt", "charlie"}};
}

TEST(CabinetIteration, ReportsCabinetThenEveryFileInOrder) {
  ScratchDir dir;
  for (CabCompression compression :
       {CabCompression::kNone, CabCompression::kMsZip}) {
    const std::string cab =
        PutCabinet(dir, "t.cab", BuildCabinet(ThreeFiles(), compression));
    Recorder r;
    Win32Error error = 99;
    ASSERT_TRUE(r.Walk(cab, &error));
    EXPECT_EQ(r.log,
              (std::vector<std::string>{"cabinet", "file a.txt 5",
                                        "file b.txt 6", "file c.txt 7"}));
  }
}

TEST(CabinetIteration, DoItWritesEachFileAndReportsIt) {
  ScratchDir dir;
  for (CabCompression compression :
       {CabCompression::kNone, CabCompression::kMsZip}) {
    ScratchDir out;
    const std::string cab =
        PutCabinet(dir, "t.cab", BuildCabinet(ThreeFiles(), compression));
    Recorder r;
    r.file_answer = kFileOpDoIt;
    r.target_folder = out.path();
    Win32Error error = 99;
    ASSERT_TRUE(r.Walk(cab, &error)) << error;
    EXPECT_EQ(r.log,
              (std::vector<std::string>{
                  "cabinet", "file a.txt 5", "extracted 0", "file b.txt 6",
                  "extracted 0", "file c.txt 7", "extracted 0"}));
    EXPECT_EQ(TreeOf(out.native()),
              (std::vector<std::string>{"a.txt=alpha", "b.txt=bravo!",
                                        "c.txt=charlie"}));
  }
}

TEST(CabinetIteration, ExistingTargetIsReplacedWhole) {
  ScratchDir dir, out;
  WriteNativeFile(out.NativeJoin("a.txt"), "a much longer old content");
  const std::string cab =
      PutCabinet(dir, "t.cab", BuildCabinet({{"a.txt", "new"}}));
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out.path();
  Win32Error error = 0;
  ASSERT_TRUE(r.Walk(cab, &error));
  // No temporary file is left beside it either.
  EXPECT_EQ(TreeOf(out.native()), std::vector<std::string>{"a.txt=new"});
}

TEST(CabinetIteration, ExistingTargetOfAnotherCaseIsTheOneReplaced) {
  ScratchDir dir, out;
  WriteNativeFile(out.NativeJoin("A.TXT"), "old a");
  WriteNativeFile(out.NativeJoin("Other.Txt"), "old other");
  const std::string cab = PutCabinet(
      dir, "t.cab",
      BuildCabinet({{"new.txt", "n"}, {"a.txt", "new a"}, {"OTHER.TXT", "o"}}));
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out.path();
  Win32Error error = 0;
  ASSERT_TRUE(r.Walk(cab, &error)) << error;
  // One file per name, whichever spelling the folder keeps.
  std::vector<std::string> tree = TreeOf(out.native());
  for (std::string& line : tree) {
    for (char& c : line) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  std::sort(tree.begin(), tree.end());
  EXPECT_THAT(tree, ::testing::ElementsAre("a.txt=new a", "new.txt=n", "other.txt=o"));
}

TEST(CabinetIteration, ReadOnlyTargetIsRefusedAndKept) {
  ScratchDir dir, out;
  WriteNativeFile(out.NativeJoin("a.txt"), "read-only");
  FileSystem& files = SystemFileSystem();
  ASSERT_EQ(files.SetReadOnly(out.Join("a.txt"), true), kErrorSuccess);
  const std::string cab = PutCabinet(dir, "t.cab", BuildCabinet(ThreeFiles()));
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out.path();
  Win32Error error = 0;
  // The failed write is reported, and the callback's answer (the same code)
  // ends the walk.
  EXPECT_FALSE(r.Walk(cab, &error));
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_THAT(r.log, ::testing::ElementsAre("cabinet", "file a.txt 5", "extracted 5"));
  files.SetReadOnly(out.Join("a.txt"), false);
  EXPECT_THAT(TreeOf(out.native()), ::testing::ElementsAre("a.txt=read-only"));
}

TEST(CabinetIteration, AbortStopsTheWalk) {
  ScratchDir dir;
  const std::string cab = PutCabinet(dir, "t.cab", BuildCabinet(ThreeFiles()));
  Recorder r;
  r.abort_at = 1;
  Win32Error error = 0;
  // Windows documents that FILEOP_ABORT ends the walk. Wine on its own carries
  // on as if the file were skipped; the Windows backend holds it to the
  // documented contract, so both builds see the same.
  EXPECT_FALSE(r.Walk(cab, &error));
  EXPECT_EQ(error, kErrorCancelled);
  EXPECT_EQ(r.names, (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(CabinetIteration, FailuresCarryTheirErrorCodes) {
  ScratchDir dir;
  Recorder r;
  Win32Error error = 0;
  EXPECT_FALSE(r.Walk(dir.Join("missing.cab"), &error));
  EXPECT_EQ(error, kErrorFileNotFound);

  // Not a cabinet at all: Wine fails without a code, Windows (and so both of
  // our backends) with 13.
  const std::string junk =
      PutCabinet(dir, "junk.cab", "this is no cabinet at all");
  EXPECT_FALSE(r.Walk(junk, &error));
  EXPECT_EQ(error, kErrorInvalidData);
  EXPECT_TRUE(r.log.empty());
}

TEST(CabinetIteration, MissingTargetFolderFailsThePathNotFound) {
  ScratchDir dir, out;
  const std::string cab =
      PutCabinet(dir, "t.cab", BuildCabinet({{"a.txt", "alpha"}}));
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out.Join("no\\such");
  Win32Error error = 0;
  EXPECT_FALSE(r.Walk(cab, &error));
  EXPECT_EQ(error, kErrorPathNotFound);
  EXPECT_TRUE(TreeOf(out.native()).empty());
}

TEST(CabinetIteration, CorruptDataFailsAsInvalidDataAndLeavesNoFile) {
  ScratchDir dir, out;
  const std::vector<CabEntry> entries{{"a.txt", std::string(3000, 'x')}};
  std::string bytes = BuildCabinet(entries);
  bytes[FirstPayloadOffset(entries) + 100] ^= 0x10;
  const std::string cab = PutCabinet(dir, "t.cab", bytes);
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out.path();
  Win32Error error = 0;
  EXPECT_FALSE(r.Walk(cab, &error));
  EXPECT_EQ(error, kErrorInvalidData);
  EXPECT_THAT(TreeOf(out.native()), ::testing::IsEmpty());
  // Nothing reports the file as written.
  EXPECT_THAT(r.log, ::testing::ElementsAre("cabinet", "file a.txt 3000"));
}

TEST(CabinetIteration, NamesArriveAsStoredBytes) {
  ScratchDir dir;
  // Shift-JIS for a katakana whose trail byte is 0x5C, then "\b.txt".
  const std::string name = "\x83\x5C\\b.txt";
  const std::string cab = PutCabinet(dir, "t.cab", BuildCabinet({{name, "x"}}));
  Recorder r;
  Win32Error error = 0;
  ASSERT_TRUE(r.Walk(cab, &error));
  EXPECT_EQ(r.names, std::vector<std::string>{name});
}

}  // namespace
}  // namespace vorela::testing
