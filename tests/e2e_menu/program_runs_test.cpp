// The real programs run as a user or another program would run them: several
// package imports at once, package paths that are no file, the programs'
// folder, and the help and version words of both programs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cabinet/cab_builder.h"
#include "cabinet/cab_routines.h"
#include "common/blowfish.h"
#include "common/registry_helpers.h"
#include "common/system_folder.h"
#include "common/version.h"
#include "platform/platform.h"
#include "support/machine_root.h"
#include "support/program_runner.h"
#include "support/scratch.h"

namespace vorela::testing {
namespace {

constexpr char kMenuExt[] = "Software\\Microsoft\\Internet Explorer\\MenuExt";
constexpr char kLegacyKey[] = "SOFTWARE\\VORELA";

std::string DataFile(const std::string& name) {
  return ReadNativeFile(std::string(VORELA_SCENARIO_DIR) + "/common/" + name);
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

class ProgramRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* hook = std::getenv("VORELA_TEST_PRESS_OK");
    if (!hook || std::string(hook) != "1") {
      GTEST_SKIP() << "run through ctest (VORELA_TEST_PRESS_OK=1 is not set)";
    }
    machine_.emplace(VORELA_E2E_MACHINE);
    platform_ = SystemPlatform();
    const clsSystemFolder folders(platform_);
    resource_ = folders.System() + "\\tolresource";
    user_ = folders.Appdata() + "\\vorela";
    for (const char* key : {kMenuExt, kLegacyKey}) {
      platform_.registry->DeleteTree(kHkeyCurrentUser, key);
    }
    platform_.files->DeleteTree(resource_, true);
    platform_.files->DeleteTree(user_, true);
    platform_.files->DeleteTree(platform_.process->ProgramFolder() + "\\work", true);
    ASSERT_TRUE(CreateFolderPath(*platform_.files, resource_ + "\\icon"));
    Write(resource_ + "\\lang.xml", DataFile("lang.xml"));
    std::filesystem::create_directories(scratch_.NativeJoin("prog"));
    const std::filesystem::path exe(VORELA_MENU_EXE);
    menu_tool_ = scratch_.NativeJoin("prog/" + exe.filename().string());
    std::filesystem::copy_file(exe, menu_tool_);
  }

  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(platform_.files->WriteAtomic(path, bytes), kErrorSuccess) << path;
  }

  // A package of one menu with its icon and script page; returns its path.
  std::string Package(const std::string& id) {
    const std::string plain = scratch_.Join(id + ".plain");
    const std::string encrypted = scratch_.Join(id + ".enc");
    Write(plain, "<xmlroot><menu><ID>" + id + "</ID><SNAME>Menu " + id +
                     "</SNAME><ICON>search.ico</ICON><HINT>h</HINT><IE>1</IE>"
                     "<PMENUID>P1</PMENUID><PDISPNAME>P</PDISPNAME><PICON>p.ico</PICON>"
                     "<CID>C1</CID><CNAME>Tools</CNAME><CICON>t.ico</CICON></menu></xmlroot>");
    clsBlowfish cipher(platform_);
    EXPECT_TRUE(cipher.EncryptFile(plain, encrypted, "mossgate"));
    std::string manifest;
    platform_.files->ReadAll(encrypted, &manifest);
    std::vector<CabEntry> entries(3);
    entries[0].name = "search.ico";
    entries[0].data = DataFile("search.ico");
    entries[1].name = id + ".htm";
    entries[1].data = "<html>" + id + "</html>";
    entries[2].name = "menu.enc";
    entries[2].data = manifest;
    const std::string path = scratch_.Join(id + ".vorela");
    Write(path, BuildCabinet(entries));
    return path;
  }

  std::string Read(const std::string& path) {
    std::string bytes;
    platform_.files->ReadAll(path, &bytes);
    return bytes;
  }

  std::optional<ScopedMachineRoot> machine_;
  Platform platform_;
  ScratchDir scratch_;
  std::string resource_;
  std::string user_;
  std::string menu_tool_;
};

// Four imports started together: each takes its turn, so each shows its own
// menu as added, and every menu ends up in the files and the registry.
TEST_F(ProgramRuns, ImportsStartedTogetherEachInstallTheirOwnMenu) {
  const std::vector<std::string> ids = {"300", "301", "302", "303"};
  std::vector<std::string> packages;
  for (const std::string& id : ids) packages.push_back(Package(id));
  std::vector<ProgramResult> results(ids.size());
  std::vector<std::thread> runs;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    runs.emplace_back(
        [&, i] { results[i] = RunProgram(menu_tool_, "\"" + packages[i] + "\"", {}, 120); });
  }
  for (std::thread& run : runs) run.join();

  const std::string webmenu = Read(user_ + "\\webmenu.xml");
  std::vector<std::string> entries;
  RegEnumSubKeys(platform_, kHkeyCurrentUser, kMenuExt, entries);
  for (std::size_t i = 0; i < ids.size(); ++i) {
    SCOPED_TRACE(ids[i]);
    EXPECT_FALSE(results[i].timed_out);
    EXPECT_EQ(results[i].exit_code, 0) << results[i].err;
#ifndef _WIN32
    // The headless window shows what this very run added.
    EXPECT_NE(results[i].out.find("[text]    " + ids[i] + "\n"), std::string::npos)
        << results[i].out;
    EXPECT_NE(results[i].out.find("(blue) The menu was added"), std::string::npos);
#endif
    EXPECT_EQ(Count(webmenu, "<MENUID>" + ids[i] + "</MENUID>"), 1u) << webmenu;
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [&](const std::string& name) {
                              return name.find("Menu " + ids[i]) != std::string::npos;
                            }),
              1);
    EXPECT_EQ(Read(resource_ + "\\htm\\" + ids[i] + ".htm"), "<html>" + ids[i] + "</html>");
  }
  EXPECT_EQ(entries.size(), ids.size());
  std::uint64_t length = 0;
  EXPECT_NE(
      platform_.files->GetLength(platform_.process->ProgramFolder() + "\\work\\temp.cab", &length),
      kErrorSuccess);
}

// Help and version words make both programs print and do nothing else: the
// menu tool does not repair, the cleaner does not migrate (which would delete
// the legacy tree).
TEST_F(ProgramRuns, BothProgramsAnswerHelpAndVersionAndDoNothingElse) {
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, kLegacyKey, "CALC10", "42", false));
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, std::string(kMenuExt) + "\\(&0)A", "",
                            resource_ + "\\htm\\1.htm", false));
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, std::string(kMenuExt) + "\\(&0)A",
                            "Contexts", "56", true));
  const std::filesystem::path cleaner_exe(VORELA_CLEANER_EXE);
  const std::string cleaner = scratch_.NativeJoin("prog/" + cleaner_exe.filename().string());
  std::filesystem::copy_file(cleaner_exe, cleaner);
  const std::pair<std::string, std::string> programs[] = {{menu_tool_, "vorelamenu"},
                                                          {cleaner, "vorelacleaner"}};
  for (const auto& [program, name] : programs) {
    for (const char* word : {"--help", "-h", "/?", "--version"}) {
      SCOPED_TRACE(name + " " + word);
      const ProgramResult run = RunProgram(program, word, {}, 60);
      EXPECT_EQ(run.exit_code, 0) << run.err;
      const std::string expected =
          std::string(word) == "--version" ? name + " " + kVersion + "\n" : "usage: " + name + " ";
      EXPECT_EQ(run.out.rfind(expected, 0), 0u) << run.out;
      EXPECT_EQ(run.out.find('\r'), std::string::npos) << "the same bytes on both builds";
    }
  }
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, kLegacyKey, "CALC10"), "42");
  EXPECT_EQ(
      RegReadString(platform_, kHkeyCurrentUser, std::string(kMenuExt) + "\\(&0)A", "Contexts"),
      "8")
      << "still the REG_DWORD 56: no repair ran";
  std::uint64_t length = 0;
  EXPECT_NE(platform_.files->GetLength(user_, &length), kErrorSuccess) << "no migration ran";
}

#ifndef _WIN32

// A FIFO, a link to a device and a device itself are refused at once, with
// their path; nothing waits for a writer or reads without end.
TEST_F(ProgramRuns, APackagePathThatIsNoRegularFileIsRefused) {
  const std::string fifo = scratch_.NativeJoin("pipe.vorela");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string zero = scratch_.NativeJoin("zero.vorela");
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  for (const std::string& package : {fifo, zero}) {
    SCOPED_TRACE(package);
    const ProgramResult run = RunProgram(menu_tool_, package, {}, 60);
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("vorelamenu: Not a regular file: " + package), std::string::npos)
        << run.err;
  }
  const std::string work = std::string(VORELA_E2E_MACHINE) + "/drive_c/Program Files/vorela/work";
  EXPECT_FALSE(std::filesystem::exists(work + "/temp.cab"));
}

// The work folder is the machine's, not the binaries': nothing is written
// beside the program, which may well sit in a read-only place.
TEST_F(ProgramRuns, TheWorkFolderLiesInTheMachinesProgramFolder) {
  const std::string package = Package("310");
  ASSERT_EQ(chmod(scratch_.NativeJoin("prog").c_str(), 0555), 0);
  const ProgramResult run = RunProgram(menu_tool_, package, {}, 60);
  chmod(scratch_.NativeJoin("prog").c_str(), 0755);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(scratch_.NativeJoin("prog/work")));
  const std::string work = std::string(VORELA_E2E_MACHINE) + "/drive_c/Program Files/vorela/work";
  EXPECT_TRUE(std::filesystem::exists(work + "/import.lock"));
  EXPECT_NE(Read(user_ + "\\webmenu.xml").find("<MENUID>310</MENUID>"), std::string::npos);
}

// A machine nobody has used yet. The repair run only reads it: it makes no
// registry store, and what it read was the seeded machine (a program that
// reads the seeded folder values afterwards still finds them). Two first
// writes started together both land in the one store they make.
TEST(FirstStarts, TheRepairRunReadsOnlyAndTwoFirstWritesShareTheStore) {
  const ScopedMachineRoot machine;
  const std::string store = machine.native() + "/registry.db";
  const ProgramResult repair = RunProgram(VORELA_MENU_EXE, "ie", {}, 60);
  EXPECT_EQ(repair.exit_code, 0) << repair.err;
  EXPECT_FALSE(std::filesystem::exists(store));
  // Of the machine's folders it makes its own alone.
  std::set<std::string> made;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(machine.native())) {
    made.insert(std::filesystem::relative(entry.path(), machine.native()).string());
  }
  EXPECT_EQ(made, (std::set<std::string>{"drive_c", "drive_c/Program Files",
                                         "drive_c/Program Files/vorela"}));
  const ProgramResult folders = RunProgram(VORELA_FOLDERS_EXE, "", {}, 60);
  EXPECT_EQ(folders.exit_code, 0) << folders.err;
  EXPECT_NE(folders.out.find("CommonFiles  C:\\Program Files\\Common Files\n"), std::string::npos)
      << folders.out;
  EXPECT_TRUE(
      std::filesystem::is_directory(machine.native() + "/drive_c/Program Files/Common Files"));
  EXPECT_FALSE(std::filesystem::exists(store));

  const ScratchDir files;
  std::vector<ProgramResult> imports(2);
  std::vector<std::thread> runs;
  for (std::size_t i = 0; i < imports.size(); ++i) {
    const std::string reg = files.NativeJoin("first" + std::to_string(i) + ".reg");
    WriteNativeFile(reg, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\First" + std::to_string(i) +
                             "]\r\n\"n\"=\"" + std::to_string(i) + "\"\r\n");
    runs.emplace_back([&imports, reg, i] {
      imports[i] = RunProgramWithArguments(VORELA_REG_EXE, {"import", reg}, {}, 60);
    });
  }
  for (std::thread& run : runs) run.join();
  const Platform platform = SystemPlatform();
  for (std::size_t i = 0; i < imports.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(imports[i].exit_code, 0) << imports[i].err;
    EXPECT_EQ(RegReadString(platform, kHkeyCurrentUser, "Software\\First" + std::to_string(i), "n"),
              std::to_string(i));
  }
}

#endif

}  // namespace
}  // namespace vorela::testing
