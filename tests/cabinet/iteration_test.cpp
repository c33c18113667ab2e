// The platform's cabinet walk as the cabinet reader relies on it: the same
// protocol on this build's iterator (libmspack emulation, or the setup API
// under Wine) writing to the real disk, and on the fake iterator writing into
// the in-memory file system that the program tests stand on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_test_util.h"
#include "fakes/fake_cabinet.h"
#include "fakes/fake_file_system.h"
#include "platform/cabinet.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/scratch.h"
#include "support/wine.h"

namespace vorela::testing {
namespace {

// A backend and what it models; a case that needs something a backend does not
// model says which capability it needs.
struct CabinetBackend {
  const char* name;
  bool fake;
  // Cabinets of bytes, which can be damaged; the fake's cabinet is a list of
  // files, and it keeps no stamps or attributes of them.
  bool has_cabinet_bytes;
};

// Answers the walk from a script and records what arrived.
struct Recorder {
  std::vector<std::string> log;
  std::vector<std::string> names;
  std::uint32_t cabinet_answer = kNoError;
  std::uint32_t file_answer = kFileOpSkip;
  std::string target_folder;  // Windows form, for DOIT
  int abort_at = -1;          // index of the file to answer ABORT
  std::uint32_t extracted_answer_override = 0xFFFFFFFF;
  std::vector<FileInCabinetInfoA> infos;  // without names or targets
  std::vector<std::string> places;        // what each notification names

  static std::uint32_t Callback(std::uintptr_t context, std::uint32_t notification,
                                std::uintptr_t p1, std::uintptr_t p2) noexcept {
    auto& self = *reinterpret_cast<Recorder*>(context);
    switch (notification) {
      case kNotifyCabinetInfo: {
        const auto& info = *reinterpret_cast<const CabinetInfoA*>(p1);
        self.places.push_back(std::string("path ") + info.CabinetPath + " file " +
                              info.CabinetFile);
        self.log.push_back("cabinet");
        return self.cabinet_answer;
      }
      case kNotifyFileInCabinet: {
        auto& info = *reinterpret_cast<FileInCabinetInfoA*>(p1);
        const std::string name(info.NameInCabinet);
        // The target field arrives empty.
        bool zeroed = true;
        for (char c : info.FullTargetName) zeroed = zeroed && c == 0;
        self.log.push_back("file " + name + " " + std::to_string(info.FileSize) +
                           (zeroed ? "" : " dirty"));
        self.infos.push_back(info);
        self.infos.back().NameInCabinet = nullptr;
        self.places.push_back(std::string("cabinet ") + reinterpret_cast<const char*>(p2));
        const int index = static_cast<int>(self.names.size());
        self.names.push_back(name);
        if (index == self.abort_at) return kFileOpAbort;
        if (self.file_answer == kFileOpDoIt) {
          const std::string target = SystemTextCodec().ToAnsi(self.target_folder + "\\") + name;
          std::memcpy(info.FullTargetName, target.c_str(), target.size() + 1);
        }
        return self.file_answer;
      }
      case kNotifyFileExtracted: {
        const auto& paths = *reinterpret_cast<const FilePathsA*>(p1);
        self.log.push_back("extracted " + std::to_string(paths.Win32Error));
        self.places.push_back(std::string("target ") + paths.Target + " source " + paths.Source);
        return self.extracted_answer_override != 0xFFFFFFFF ? self.extracted_answer_override
                                                            : paths.Win32Error;
      }
      default:
        self.log.push_back("other " + std::to_string(notification));
        return 0;
    }
  }
};

class CabinetIteration : public ::testing::TestWithParam<CabinetBackend> {
 protected:
  CabinetIteration() {
    if (GetParam().fake) fake_files_.AddDirectory(kFakeCabinets);
  }

  FileSystem& files() {
    return GetParam().fake ? static_cast<FileSystem&>(fake_files_) : SystemFileSystem();
  }

  // Plants a cabinet of the files and returns its path (Windows form). The
  // fake holds one cabinet, whatever its name.
  std::string PlantCabinet(const std::string& name, const std::vector<CabEntry>& entries,
                           CabCompression compression = CabCompression::kNone) {
    if (!GetParam().fake) return PutCabinet(cabinets_, name, BuildCabinet(entries, compression));
    fake_cabinet_.entries.clear();
    for (const CabEntry& entry : entries) {
      fake_cabinet_.entries.emplace_back(SystemTextCodec().FromAnsi(entry.name), entry.data);
    }
    const std::string path = std::string(kFakeCabinets) + "\\" + name;
    fake_files_.AddFile(path, "a cabinet");
    return path;
  }
  // A cabinet path where there is none.
  std::string MissingCabinet() {
    return GetParam().fake ? std::string(kFakeCabinets) + "\\missing.cab"
                           : cabinets_.Join("missing.cab");
  }

  // A new empty folder for the walk to write into (Windows form).
  std::string NewFolder() {
    if (GetParam().fake) {
      const std::string path = "C:\\out" + std::to_string(folders_.size());
      fake_files_.AddDirectory(path);
      folders_.push_back(nullptr);
      return path;
    }
    folders_.push_back(std::make_unique<ScratchDir>());
    return folders_.back()->path();
  }
  void Plant(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(files().WriteAtomic(path, bytes), kErrorSuccess) << path;
  }

  // Every file below a folder made by NewFolder, hidden ones and temporaries
  // included, as "relative/path=contents" lines (folders "relative/"), sorted.
  std::vector<std::string> TreeOfFolder(const std::string& folder) {
    if (!GetParam().fake) {
      for (const auto& scratch : folders_) {
        if (scratch->path() == folder) return TreeOf(scratch->native());
      }
      ADD_FAILURE() << folder << " was not made by NewFolder";
      return {};
    }
    std::vector<std::string> out;
    FakeTree(folder, "", &out);
    std::sort(out.begin(), out.end());
    return out;
  }

  bool Walk(Recorder& recorder, const std::string& cabinet, Win32Error* error) {
    CabinetIterator& iterator =
        GetParam().fake ? static_cast<CabinetIterator&>(fake_cabinet_) : SystemCabinetIterator();
    return iterator.IterateCabinet(SystemTextCodec().ToAnsi(cabinet), 0, Recorder::Callback,
                                   reinterpret_cast<std::uintptr_t>(&recorder), error);
  }

  static constexpr const char* kFakeCabinets = "C:\\cabinets";

 private:
  void FakeTree(const std::string& folder, const std::string& prefix,
                std::vector<std::string>* out) {
    for (const std::string& name : fake_files_.EntriesIn(folder)) {
      const std::string path = folder + "\\" + name;
      if (fake_files_.HasFile(path)) {
        out->push_back(prefix + name + "=" + fake_files_.Contents(path));
      } else {
        out->push_back(prefix + name + "/");
        FakeTree(path, prefix + name + "/", out);
      }
    }
  }

  FakeFileSystem fake_files_;
  FakeCabinet fake_cabinet_{fake_files_, SystemTextCodec()};
  ScratchDir cabinets_;
  std::vector<std::unique_ptr<ScratchDir>> folders_;
};

void PrintTo(const CabinetBackend& backend, std::ostream* out) { *out << backend.name; }

INSTANTIATE_TEST_SUITE_P(Backends, CabinetIteration,
                         ::testing::Values(CabinetBackend{"System", false, true},
                                           CabinetBackend{"Fake", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<CabEntry> ThreeFiles() {
  return {{"a.txt", "alpha"}, {"b.txt", "bravo!"}, {"c.txt", "charlie"}};
}

TEST_P(CabinetIteration, ReportsCabinetThenEveryFileInOrder) {
  for (CabCompression compression : {CabCompression::kNone, CabCompression::kMsZip}) {
    const std::string cab = PlantCabinet("t.cab", ThreeFiles(), compression);
    Recorder r;
    Win32Error error = 99;
    ASSERT_TRUE(Walk(r, cab, &error));
    EXPECT_EQ(r.log, (std::vector<std::string>{"cabinet", "file a.txt 5", "file b.txt 6",
                                               "file c.txt 7"}));
  }
}

TEST_P(CabinetIteration, DoItWritesEachFileAndReportsIt) {
  for (CabCompression compression : {CabCompression::kNone, CabCompression::kMsZip}) {
    const std::string out = NewFolder();
    const std::string cab = PlantCabinet("t.cab", ThreeFiles(), compression);
    Recorder r;
    r.file_answer = kFileOpDoIt;
    r.target_folder = out;
    Win32Error error = 99;
    ASSERT_TRUE(Walk(r, cab, &error)) << error;
    EXPECT_EQ(r.log,
              (std::vector<std::string>{"cabinet", "file a.txt 5", "extracted 0", "file b.txt 6",
                                        "extracted 0", "file c.txt 7", "extracted 0"}));
    EXPECT_EQ(TreeOfFolder(out),
              (std::vector<std::string>{"a.txt=alpha", "b.txt=bravo!", "c.txt=charlie"}));
  }
}

TEST_P(CabinetIteration, ExistingTargetIsReplacedWhole) {
  const std::string out = NewFolder();
  Plant(out + "\\a.txt", "a much longer old content");
  const std::string cab = PlantCabinet("t.cab", {{"a.txt", "new"}});
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out;
  Win32Error error = 0;
  ASSERT_TRUE(Walk(r, cab, &error));
  // No temporary file is left beside it either.
  EXPECT_EQ(TreeOfFolder(out), std::vector<std::string>{"a.txt=new"});
}

TEST_P(CabinetIteration, ExistingTargetOfAnotherCaseIsTheOneReplaced) {
  const std::string out = NewFolder();
  Plant(out + "\\A.TXT", "old a");
  Plant(out + "\\Other.Txt", "old other");
  const std::string cab =
      PlantCabinet("t.cab", {{"new.txt", "n"}, {"a.txt", "new a"}, {"OTHER.TXT", "o"}});
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out;
  Win32Error error = 0;
  ASSERT_TRUE(Walk(r, cab, &error)) << error;
  // One file per name, whichever spelling the folder keeps.
  std::vector<std::string> tree = TreeOfFolder(out);
  for (std::string& line : tree) {
    for (char& c : line) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  std::sort(tree.begin(), tree.end());
  EXPECT_THAT(tree, ::testing::ElementsAre("a.txt=new a", "new.txt=n", "other.txt=o"));
}

TEST_P(CabinetIteration, ReadOnlyTargetIsRefusedAndKept) {
  const std::string out = NewFolder();
  Plant(out + "\\a.txt", "read-only");
  ASSERT_EQ(files().SetReadOnly(out + "\\a.txt", true), kErrorSuccess);
  const std::string cab = PlantCabinet("t.cab", ThreeFiles());
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out;
  Win32Error error = 0;
  // The failed write is reported, and the callback's answer (the same code)
  // ends the walk.
  EXPECT_FALSE(Walk(r, cab, &error));
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_THAT(r.log, ::testing::ElementsAre("cabinet", "file a.txt 5", "extracted 5"));
  files().SetReadOnly(out + "\\a.txt", false);
  EXPECT_THAT(TreeOfFolder(out), ::testing::ElementsAre("a.txt=read-only"));
}

TEST_P(CabinetIteration, AFailedWriteThatTheCallbackAcceptsLetsTheWalkGoOn) {
  const std::string out = NewFolder();
  Plant(out + "\\b.txt", "read-only");
  ASSERT_EQ(files().SetReadOnly(out + "\\b.txt", true), kErrorSuccess);
  const std::string cab = PlantCabinet("t.cab", ThreeFiles());
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out;
  r.extracted_answer_override = kNoError;
  Win32Error error = 0;
  EXPECT_TRUE(Walk(r, cab, &error)) << error;
  EXPECT_THAT(r.log,
              ::testing::ElementsAre("cabinet", "file a.txt 5", "extracted 0", "file b.txt 6",
                                     "extracted 5", "file c.txt 7", "extracted 0"));
  files().SetReadOnly(out + "\\b.txt", false);
  EXPECT_THAT(TreeOfFolder(out),
              ::testing::ElementsAre("a.txt=alpha", "b.txt=read-only", "c.txt=charlie"));
}

TEST_P(CabinetIteration, AnErrorAnswerToAReportEndsTheWalkWithIt) {
  const std::string out = NewFolder();
  const std::string cab = PlantCabinet("t.cab", ThreeFiles());
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out;
  r.extracted_answer_override = kErrorDiskFull;
  Win32Error error = 0;
  EXPECT_FALSE(Walk(r, cab, &error));
  EXPECT_EQ(error, kErrorDiskFull);
  EXPECT_THAT(r.log, ::testing::ElementsAre("cabinet", "file a.txt 5", "extracted 0"));
  EXPECT_THAT(TreeOfFolder(out), ::testing::ElementsAre("a.txt=alpha"));
}

TEST_P(CabinetIteration, AnErrorAnswerToTheCabinetEndsTheWalkBeforeAnyFile) {
  const std::string cab = PlantCabinet("t.cab", ThreeFiles());
  Recorder r;
  r.cabinet_answer = kErrorDiskFull;
  Win32Error error = 0;
  if (!GetParam().fake && RunningUnderWine()) {
    // Wine deviation: Wine's walk ignores this answer and goes on.
    EXPECT_TRUE(Walk(r, cab, &error));
    EXPECT_EQ(r.log.size(), 4u);
    return;
  }
  EXPECT_FALSE(Walk(r, cab, &error));
  EXPECT_EQ(error, kErrorDiskFull);
  EXPECT_THAT(r.log, ::testing::ElementsAre("cabinet"));
}

TEST_P(CabinetIteration, AbortStopsTheWalk) {
  const std::string cab = PlantCabinet("t.cab", ThreeFiles());
  Recorder r;
  r.abort_at = 1;
  Win32Error error = 0;
  // Windows documents that FILEOP_ABORT ends the walk. Wine on its own carries
  // on as if the file were skipped; the Windows backend holds it to the
  // documented contract, so both builds see the same.
  EXPECT_FALSE(Walk(r, cab, &error));
  EXPECT_EQ(error, kErrorCancelled);
  EXPECT_EQ(r.names, (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_P(CabinetIteration, AnAnswerOutsideTheProtocolStopsTheWalkAsAbortDoes) {
  const std::string out = NewFolder();
  const std::string cab = PlantCabinet("t.cab", ThreeFiles());
  Recorder r;
  r.file_answer = 7;
  r.target_folder = out;
  Win32Error error = 0;
  EXPECT_FALSE(Walk(r, cab, &error));
  EXPECT_EQ(error, kErrorCancelled);
  EXPECT_THAT(r.log, ::testing::ElementsAre("cabinet", "file a.txt 5"));
  EXPECT_THAT(TreeOfFolder(out), ::testing::IsEmpty());
}

TEST_P(CabinetIteration, FailuresCarryTheirErrorCodes) {
  Recorder r;
  Win32Error error = 0;
  EXPECT_FALSE(Walk(r, MissingCabinet(), &error));
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_TRUE(r.log.empty());
}

TEST_P(CabinetIteration, BytesThatAreNoCabinetFailAsInvalidData) {
  if (!GetParam().has_cabinet_bytes) GTEST_SKIP() << "the fake's cabinet has no bytes";
  ScratchDir dir;
  Recorder r;
  Win32Error error = 0;
  // Not a cabinet at all: Wine fails without a code, Windows (and so both of
  // our backends) with 13.
  const std::string junk = PutCabinet(dir, "junk.cab", "this is no cabinet at all");
  EXPECT_FALSE(Walk(r, junk, &error));
  EXPECT_EQ(error, kErrorInvalidData);
  EXPECT_TRUE(r.log.empty());
}

TEST_P(CabinetIteration, MissingTargetFolderFailsThePathNotFound) {
  const std::string out = NewFolder();
  const std::string cab = PlantCabinet("t.cab", {{"a.txt", "alpha"}});
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out + "\\no\\such";
  Win32Error error = 0;
  EXPECT_FALSE(Walk(r, cab, &error));
  EXPECT_EQ(error, kErrorPathNotFound);
  EXPECT_TRUE(TreeOfFolder(out).empty());
}

TEST_P(CabinetIteration, CorruptDataFailsAsInvalidDataAndLeavesNoFile) {
  if (!GetParam().has_cabinet_bytes) GTEST_SKIP() << "the fake's cabinet has no bytes";
  ScratchDir dir;
  const std::string out = NewFolder();
  const std::vector<CabEntry> entries{{"a.txt", std::string(3000, 'x')}};
  std::string bytes = BuildCabinet(entries);
  bytes[FirstPayloadOffset(entries) + 100] ^= 0x10;
  const std::string cab = PutCabinet(dir, "t.cab", bytes);
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out;
  Win32Error error = 0;
  EXPECT_FALSE(Walk(r, cab, &error));
  EXPECT_EQ(error, kErrorInvalidData);
  EXPECT_THAT(TreeOfFolder(out), ::testing::IsEmpty());
  // Nothing reports the file as written.
  EXPECT_THAT(r.log, ::testing::ElementsAre("cabinet", "file a.txt 3000"));
}

TEST_P(CabinetIteration, NotificationsNameTheCabinetAndTheTarget) {
  const std::string out = NewFolder();
  const std::string cab = PlantCabinet("t.cab", {{"a.txt", "alpha"}});
  Recorder r;
  r.file_answer = kFileOpDoIt;
  r.target_folder = out;
  Win32Error error = 0;
  ASSERT_TRUE(Walk(r, cab, &error));
  const std::string folder = cab.substr(0, cab.size() - 5);
  // Wine deviation: Wine names the cabinet by its folder alone.
  const std::string file = !GetParam().fake && RunningUnderWine() ? "" : "t.cab";
  const std::string target = out + "\\a.txt";
  EXPECT_THAT(r.places, ::testing::ElementsAre("path " + folder + " file " + file, "cabinet " + cab,
                                               "target " + target + " source " + cab));
}

TEST_P(CabinetIteration, NamesArriveAsStoredBytes) {
  // Shift-JIS for a katakana whose trail byte is 0x5C, then "\b.txt".
  const std::string name = "\x83\x5C\\b.txt";
  const std::string cab = PlantCabinet("t.cab", {{name, "x"}});
  Recorder r;
  Win32Error error = 0;
  ASSERT_TRUE(Walk(r, cab, &error));
  EXPECT_EQ(r.names, std::vector<std::string>{name});
}

TEST_P(CabinetIteration, StampsAndAttributesArriveAsStored) {
  if (!GetParam().has_cabinet_bytes) GTEST_SKIP() << "the fake's files carry no stamps";
  CabEntry entry{"a.txt", "alpha"};
  entry.dos_date = (45 << 9) | (12 << 5) | 31;   // 2025-12-31
  entry.dos_time = (23 << 11) | (59 << 5) | 29;  // 23:59:58
  entry.attribs = 0x21;                          // archive, read-only
  const std::string cab = PlantCabinet("t.cab", {entry});
  Recorder r;
  Win32Error error = 0;
  ASSERT_TRUE(Walk(r, cab, &error));
  ASSERT_EQ(r.infos.size(), 1u);
  EXPECT_EQ(r.infos[0].DosDate, entry.dos_date);
  EXPECT_EQ(r.infos[0].DosTime, entry.dos_time);
  EXPECT_EQ(r.infos[0].DosAttribs, entry.attribs);
}

}  // namespace
}  // namespace vorela::testing
