// vorelacrypt through its entry point, and once as a real process.
#include "tools/vorelacrypt/crypt_tool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "common/blowfish.h"
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

TEST_F(CryptToolTest, SaysWhatIsWrongWithEmptyTruncatedAndFolderPaths) {
  fake_.AddFile("C:\\w\\empty.enc", "");
  fake_.AddFile("C:\\w\\odd.enc", std::string(20, 'x'));
  fake_.AddFile("C:\\w\\plain.txt", "plain");
  fake_.AddDirectory("C:\\w\\sub");
  EXPECT_EQ(Run({"decrypt", "C:\\w\\empty.enc", "C:\\w\\out.xml"}), 1);
  EXPECT_EQ(err_.str(), "vorelacrypt: C:\\w\\empty.enc: cannot decrypt: the file is empty, so it "
                        "is not an encrypted file\n");
  EXPECT_EQ(Run({"decrypt", "-", "-"}, std::string(9, 'x')), 1);
  EXPECT_NE(err_.str().find("truncated or not an encrypted file (9 bytes"), std::string::npos)
      << err_.str();
  EXPECT_EQ(Run({"decrypt", "C:\\w\\odd.enc", "-"}), 1);
  EXPECT_NE(err_.str().find("odd.enc: cannot decrypt: the file is truncated"), std::string::npos);
  EXPECT_EQ(err_.str().find("Subscript"), std::string::npos);
  EXPECT_EQ(Run({"encrypt", "C:\\w\\sub", "C:\\w\\out.enc"}), 1);
  EXPECT_EQ(err_.str(), "vorelacrypt: C:\\w\\sub: is a folder, not a file\n");
  EXPECT_EQ(Run({"encrypt", "C:\\w\\plain.txt", "C:\\w\\sub"}), 1);
  EXPECT_EQ(err_.str(), "vorelacrypt: C:\\w\\sub: is a folder; name the output file inside it\n");
  EXPECT_FALSE(fake_.HasFile("C:\\w\\out.xml"));
  EXPECT_FALSE(fake_.HasFile("C:\\w\\out.enc"));
}

// The real file system streams: the output decrypts with the array form, an
// existing destination is replaced whole, and a failed run leaves it.
TEST(CryptToolStreamTest, RealFilesGoThroughInBlocks) {
  testing::ScratchDir dir;
  Platform platform;
  platform.text = &SystemTextCodec();
  platform.files = &SystemFileSystem();
  std::string plain(300 * 1024 + 5, '\0');
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>(i % 253);
  testing::WriteNativeFile(dir.NativeJoin("in.bin"), plain);
  testing::WriteNativeFile(dir.NativeJoin("out.bin"), "old");
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(RunCryptTool({"encrypt", dir.Join("in.bin"), dir.Join("out.bin")}, in, out, err,
                         platform),
            0)
      << err.str();
  std::string encrypted = testing::ReadNativeFile(dir.NativeJoin("out.bin"));
  ByteArray bytes(encrypted.begin(), encrypted.end());
  clsBlowfish(platform).DecryptByte(bytes, "mossgate");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), plain);

  ASSERT_EQ(RunCryptTool({"decrypt", dir.Join("out.bin"), dir.Join("back.bin")}, in, out, err,
                         platform),
            0);
  EXPECT_EQ(testing::ReadNativeFile(dir.NativeJoin("back.bin")), plain);
  EXPECT_EQ(RunCryptTool({"decrypt", "--key", "x", dir.Join("out.bin"), dir.Join("back.bin")}, in,
                         out, err, platform),
            1);
  EXPECT_EQ(testing::ReadNativeFile(dir.NativeJoin("back.bin")), plain);
  EXPECT_EQ(err.str().find(".tmp"), std::string::npos) << err.str();
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
