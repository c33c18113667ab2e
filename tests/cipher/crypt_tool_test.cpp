// vorelacrypt through its entry point, and once as a real process.
#include "cleaner/crypt_tool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "fakes/fake_file_system.h"
#include "support/scratch.h"

namespace vorela {
namespace {

class CryptToolTest : public ::testing::Test {
 protected:
  CryptToolTest() {
    fake_.AddDirectory("C:\\w");
    platform_.text = &SystemTextCodec();
    platform_.files = &fake_;
  }

  int Run(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    out_.str("");
    err_.str("");
    return RunCryptTool(args, in, out_, err_, platform_, options_);
  }

  testing::FakeFileSystem fake_;
  Platform platform_;
  CryptToolOptions options_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CryptToolTest, FilesRoundTripWithTheDefaultKey) {
  fake_.AddFile("C:\\w\\menu.xml", "<xmlroot/>");
  ASSERT_EQ(Run({"encrypt", "C:\\w\\menu.xml", "C:\\w\\menu.enc"}), 0)
      << err_.str();
  EXPECT_EQ(fake_.Contents("C:\\w\\menu.enc").size(), 24u);
  ASSERT_EQ(Run({"decrypt", "--key", "mossgate", "C:\\w\\menu.enc", "-"}), 0)
      << err_.str();
  EXPECT_EQ(out_.str(), "<xmlroot/>");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(CryptToolTest, StandardStreamsAndAnotherKey) {
  ASSERT_EQ(Run({"encrypt", "--key=other", "-", "C:\\w\\x.enc"},
                std::string("a\0b", 3)),
            0);
  ASSERT_EQ(Run({"decrypt", "--key", "other", "C:\\w\\x.enc", "-"}), 0);
  EXPECT_EQ(out_.str(), std::string("a\0b", 3));
}

TEST_F(CryptToolTest, WrongKeyOrDamagedInputFailsAndLeavesTheOutput) {
  fake_.AddFile("C:\\w\\in.xml", "text");
  ASSERT_EQ(Run({"encrypt", "C:\\w\\in.xml", "C:\\w\\in.enc"}), 0);
  fake_.AddFile("C:\\w\\out.xml", "keep me");
  fake_.AddFile("C:\\w\\cut.enc", fake_.Contents("C:\\w\\in.enc").substr(0, 8));

  EXPECT_EQ(
      Run({"decrypt", "--key", "nope", "C:\\w\\in.enc", "C:\\w\\out.xml"}), 1);
  EXPECT_NE(err_.str().find("wrong key"), std::string::npos) << err_.str();
  EXPECT_EQ(fake_.Contents("C:\\w\\out.xml"), "keep me");

  EXPECT_EQ(Run({"decrypt", "C:\\w\\cut.enc", "C:\\w\\new.xml"}), 1);
  EXPECT_FALSE(fake_.HasFile("C:\\w\\new.xml"));
  EXPECT_EQ(Run({"decrypt", "C:\\w\\cut.enc", "-"}), 1);
  EXPECT_EQ(out_.str(), "");

  EXPECT_EQ(Run({"decrypt", "C:\\w\\missing.enc", "C:\\w\\new.xml"}), 1);
  EXPECT_NE(err_.str().find("missing.enc"), std::string::npos);
}

TEST_F(CryptToolTest, XorCipher) {
  ASSERT_EQ(Run({"encrypt", "--xor", "--key", " ", "-", "-"}, "Hello"), 0);
  EXPECT_EQ(out_.str(), "hELLO");
  ASSERT_EQ(Run({"decrypt", "--xor", "-", "-"}, "plain"), 0);
  ASSERT_EQ(out_.str().size(), 5u);
  EXPECT_NE(out_.str(), "plain");
}

TEST_F(CryptToolTest, CommandLineProblemsAreUsageErrors) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"scramble", "a", "b"},
                                             {"encrypt", "a"},
                                             {"encrypt", "a", "b", "c"},
                                             {"encrypt", "--key"},
                                             {"encrypt", "--key", "", "a", "b"},
                                             {"encrypt", "--fast", "a", "b"}}) {
    EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
    EXPECT_NE(err_.str().find("usage:"), std::string::npos);
  }
  options_.version = "9.8.7";
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(out_.str(), "vorelacrypt 9.8.7\n");
  EXPECT_EQ(Run({"decrypt", "--help"}), 0);
  EXPECT_NE(out_.str().find("usage:"), std::string::npos);
}

TEST_F(CryptToolTest, ProgressBarOnlyForLargeInputsOnATerminal) {
  std::string large(kProgressBarMinimum + 1, 'x');
  ASSERT_EQ(Run({"encrypt", "-", "C:\\w\\big.enc"}, large), 0);
  EXPECT_EQ(err_.str(), "");
  options_.progress_bar = true;
  ASSERT_EQ(Run({"encrypt", "-", "C:\\w\\small.enc"}, "small"), 0);
  EXPECT_EQ(err_.str(), "");
  ASSERT_EQ(Run({"decrypt", "C:\\w\\big.enc", "C:\\w\\big.xml"}), 0);
  EXPECT_NE(err_.str().find("] 0%"), std::string::npos);
  EXPECT_NE(err_.str().find("] 100%\n"), std::string::npos);
  EXPECT_EQ(fake_.Contents("C:\\w\\big.xml"), large);
}

#ifndef _WIN32
// The built program itself (native build; under Wine the entry point above is
// what runs, since a test process cannot start the tool through the shell).
TEST(CryptToolProcessTest, ExitCodesOfTheRealProgram) {
  const char* bin = std::getenv("VORELA_TEST_BIN");
  ASSERT_NE(bin, nullptr);
  testing::ScratchDir dir;
  testing::WriteNativeFile(dir.NativeJoin("in.txt"), "real process");
  testing::WriteNativeFile(dir.NativeJoin("keep.txt"), "keep");
  std::string tool = std::string(bin) + "/vorelacrypt";
  auto run = [&](const std::string& args) {
    int status = std::system((tool + " " + args + " 2>/dev/null").c_str());
    return WEXITSTATUS(status);
  };
  std::string in = dir.NativeJoin("in.txt");
  std::string enc = dir.NativeJoin("in.enc");
  std::string keep = dir.NativeJoin("keep.txt");
  EXPECT_EQ(run("encrypt '" + in + "' '" + enc + "'"), 0);
  EXPECT_EQ(run("decrypt --key wrong '" + enc + "' '" + keep + "'"), 1);
  EXPECT_EQ(testing::ReadNativeFile(keep), "keep");
  EXPECT_EQ(run("decrypt '" + enc + "' '" + keep + "'"), 0);
  EXPECT_EQ(testing::ReadNativeFile(keep), "real process");
  EXPECT_EQ(run("frobnicate"), 2);
  EXPECT_EQ(run("--version >/dev/null"), 0);
}
#endif

}  // namespace
}  // namespace vorela
