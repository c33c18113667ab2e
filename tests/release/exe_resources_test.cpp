// Every shipped executable reads back its version block and manifest.
#include "release/exe_resources.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "common/version.h"

namespace vorela::release {
namespace {

std::string Exe(const std::string& name) {
  const char* bin = std::getenv("VORELA_TEST_BIN");
  return std::string(bin ? bin : ".") + "/" + name + ".exe";
}

class ShippedExe : public testing::TestWithParam<const char*> {};

TEST_P(ShippedExe, CarriesVersionBlockAndManifest) {
  const std::string exe = Exe(GetParam());
  EXPECT_EQ(ReleaseProblems(exe, kVersion), "") << exe;
  EXPECT_EQ(VersionString(exe, "OriginalFilename"), std::string(GetParam()) + ".exe");
}

INSTANTIATE_TEST_SUITE_P(All, ShippedExe,
                         testing::Values("vorelamenu", "vorelacleaner", "vorelapack",
                                         "vorelacrypt", "vorelareg", "vorelafolders"));

TEST(ExeResources, DescriptionsTellTheProgramsApart) {
  EXPECT_NE(VersionString(Exe("vorelamenu"), "FileDescription"),
            VersionString(Exe("vorelacleaner"), "FileDescription"));
}

TEST(ExeResources, MenuToolKeepsItsOwnResources) {
  // The installer window's button form and pictures come from the program's
  // own .rc, included by the generated one.
  HMODULE module = LoadLibraryExA(Exe("vorelamenu").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(FindResourceA(module, "VORELA_OK_FORM", MAKEINTRESOURCEA(10)), nullptr);
  EXPECT_NE(FindResourceA(module, "VORELA_PICTURE1", MAKEINTRESOURCEA(14)), nullptr);
  FreeLibrary(module);
}

TEST(ExeResources, FileWithoutResourcesReadsAsMissing) {
  const std::string problems = ReleaseProblems(Exe("no-such-program"), kVersion);
  EXPECT_NE(problems.find("ProductName: missing"), std::string::npos);
  EXPECT_NE(problems.find("manifest: missing"), std::string::npos);
}

}  // namespace
}  // namespace vorela::release
