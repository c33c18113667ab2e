#include <gtest/gtest.h>

#include <chrono>
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

}  // namespace
}  // namespace vorela
