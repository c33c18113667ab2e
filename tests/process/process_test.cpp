#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vorela {
namespace {

using testing::ReadNativeFile;
using testing::ScratchDir;

// The child program as a path the seam takes (Windows form on both builds).
std::string ChildExe() {
  return VORELA_PROCESS_CHILD;
}

std::string WaitForFile(const std::string& native) {
  for (int i = 0; i < 200; ++i) {
    std::error_code ec;
    if (std::filesystem::exists(native, ec)) return ReadNativeFile(native);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return "(never written)";
}

TEST(ProcessStart, QuotesTheProgramAndPassesTheArgumentTextUnchanged) {
  ScratchDir dir;
  // A program in a folder with blanks, and a decoy named like the folder's
  // first word: an unquoted command line would start the decoy instead.
  const std::string suffix = std::filesystem::path(ChildExe()).extension().string();
  std::filesystem::create_directory(dir.NativeJoin("dir with spaces"));
  std::filesystem::copy_file(ChildExe(), dir.NativeJoin("dir with spaces/child" + suffix));
  std::filesystem::copy_file(ChildExe(), dir.NativeJoin("dir" + suffix));

  const std::string marker = dir.Join("marker.txt");
  const std::string program = dir.Join("dir with spaces\\child" + suffix);
  ASSERT_EQ(SystemProcess().StartDetached(program, marker + "| xml \"q\"", true), kErrorSuccess);
  const std::string report = WaitForFile(dir.NativeJoin("marker.txt"));
  EXPECT_NE(report.find("dir with spaces"), std::string::npos) << report;
  EXPECT_NE(report.find("\n xml \"q\""), std::string::npos) << report;
}

TEST(ProcessStart, AMissingProgramIsAnError) {
  ScratchDir dir;
  EXPECT_EQ(SystemProcess().StartDetached(dir.Join("none.exe"), "", false), kErrorFileNotFound);
}

TEST(ProcessStart, KnowsItsOwnProgramPath) {
  const std::string self = SystemProcess().ProgramPath();
  EXPECT_NE(self.find("process_tests"), std::string::npos) << self;
  EXPECT_EQ(self[1], ':') << "Windows form on every build: " << self;
}

TEST(ProcessLock, ASecondProcessWaitsUntilTheHolderLetsGo) {
  ScratchDir dir;
  const std::string lock_file = dir.Join("turn.lock");
  const std::string marker = dir.Join("got-it.txt");
  Win32Error error = kErrorInvalidData;
  std::unique_ptr<ProcessLock> held = SystemProcess().LockExclusive(lock_file, &error);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(error, kErrorSuccess);
  ASSERT_EQ(SystemProcess().StartDetached(ChildExe(), "lock:" + lock_file + "|" + marker, true),
            kErrorSuccess);
  // While the lock is held the child cannot have its turn, however long it
  // is given.
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  std::error_code ec;
  EXPECT_FALSE(std::filesystem::exists(dir.NativeJoin("got-it.txt"), ec));
  held.reset();
  EXPECT_NE(WaitForFile(dir.NativeJoin("got-it.txt")), "(never written)");
}

TEST(ProcessLock, ALockInAMissingFolderIsAnError) {
  ScratchDir dir;
  Win32Error error = kErrorSuccess;
  EXPECT_EQ(SystemProcess().LockExclusive(dir.Join("none\\turn.lock"), &error), nullptr);
  EXPECT_EQ(error, kErrorPathNotFound);
}

TEST(ProgramFolder, HoldsTheWorkFolderWhileProgramPathStaysTheRealProgram) {
  const std::string folder = SystemProcess().ProgramFolder();
  const std::string self = SystemProcess().ProgramPath();
#ifdef _WIN32
  EXPECT_EQ(folder, self.substr(0, self.find_last_of('\\')));
#else
  EXPECT_NE(self.find("process_tests"), std::string::npos) << self;
#endif
}

#ifndef _WIN32
TEST(ProgramFolder, IsAFolderOfTheMachineMadeWithIt) {
  ScratchDir dir;
  const char* old = std::getenv("VORELA_ROOT");
  const std::string saved = old ? old : "";
  setenv("VORELA_ROOT", dir.native().c_str(), 1);
  const std::string folder = SystemProcess().ProgramFolder();
  std::error_code ec;
  const bool made =
      std::filesystem::is_directory(dir.native() + "/drive_c/Program Files/vorela", ec);
  if (old) {
    setenv("VORELA_ROOT", saved.c_str(), 1);
  } else {
    unsetenv("VORELA_ROOT");
  }
  // Its own folder per machine, so two machines never share a work folder,
  // and the binaries may lie where nobody can write.
  EXPECT_EQ(folder, "C:\\Program Files\\vorela");
  EXPECT_TRUE(made);
}
#endif

}  // namespace
}  // namespace vorela
