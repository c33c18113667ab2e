// The built tools of this build run on hostile, damaged and ordinary packages,
// recorded byte for byte: exit codes, standard output and error (a "\r" shows
// as \r, so a stream that translates line ends cannot hide), and the files
// each extraction left. Both builds compare against one expected transcript,
// so the Windows build (under Wine) and the POSIX build are held to the same
// bytes.
//
// Where Wine's cabinet walk differs from what Windows does (a read-only
// target replaced, FILEOP_ABORT taken as a skip, no error code for a file that
// is not a cabinet, corrupt data reported as extracted), the Windows backend
// evens it out (cabinet_setupapi.cpp lists each case), so the transcript holds
// what Windows does and nothing here is excused for Wine.
//
// To refresh the expectation after an intended change, run the native test with
// VORELA_WRITE_TOOL_TRANSCRIPT=<file> and turn the file into
// tool_transcript_expected.inc (one C string literal per line).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_test_util.h"
#include "common/blowfish.h"
#include "common/text_util.h"
#include "support/program_runner.h"
#include "support/scratch.h"

namespace vorela::testing {
namespace {

const char kExpected[] =
#include "cabinet/tool_transcript_expected.inc"
    ;

const char kManifest[] =
    "<menu><item><ID>m01</ID><SNAME>Search</SNAME><ICON>m01.ico</ICON>"
    "<IE>1</IE><CID>c1</CID></item></menu>";

// Output bytes as transcript lines: every "\n" ends a line, other control
// bytes are escaped.
std::string Lines(const char* label, const std::string& bytes) {
  std::string out, line;
  const auto flush = [&](bool newline) {
    out += label;
    out += "| " + line + (newline ? "" : " (no line end)") + "\n";
    line.clear();
  };
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\n') {
      flush(true);
    } else if (c == '\r') {
      line += "\\r";
    } else if (u < 0x20 || u == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      line += std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
    } else {
      line += c;
    }
  }
  if (!line.empty()) flush(false);
  return out;
}

class ToolTranscript {
 public:
  ToolTranscript() {
    // The POSIX tools keep their machine (temporary folder, registry) here.
    env_ = {{"VORELA_ROOT", machine_.native()}};
  }

  const ScratchDir& dir() const { return dir_; }
  std::string str() const { return t_.str(); }

  void Note(const std::string& text) { t_ << "== " << text << "\n"; }

  void Run(const std::string& tool, const std::vector<std::string>& args) {
    const std::string program = BuiltProgram(tool);
    ASSERT_FALSE(program.empty()) << "VORELA_TEST_BIN is not set";
    std::string shown = "$ " + tool;
    for (const std::string& arg : args) shown += " " + arg;
    t_ << Redacted(shown) << "\n";
    const ProgramResult r = RunProgramWithArguments(program, args, env_, 120);
    t_ << "exit " << r.exit_code << (r.timed_out ? " (timed out)" : "") << "\n"
       << Lines("out", Redacted(r.out)) << Lines("err", Redacted(r.err));
  }

  // Every file below `native` (a folder of dir()). Encrypted files start
  // from a random vector, so only their size is compared.
  void Tree(const std::string& native) {
    for (std::string line : TreeOf(native)) {
      const std::size_t eq = line.find(".enc=");
      if (eq != std::string::npos) {
        line = line.substr(0, eq + 5) + std::to_string(line.size() - eq - 5) +
               " bytes";
      }
      t_ << "file " << (line.size() > 60 ? line.substr(0, 60) + "..." : line)
         << "\n";
    }
  }

 private:
  std::string Redacted(std::string text) const {
    text = ReplaceAll(text, dir_.path(), "DIR");
    // Stamps of files the test wrote just now.
    for (std::size_t at = text.find("<DATE>"); at != std::string::npos;
         at = text.find("<DATE>", at + 1)) {
      const std::size_t end = text.find("</DATE>", at);
      if (end == std::string::npos) break;
      if (text.find("built.vorela") != std::string::npos)
        text.replace(at + 6, end - at - 6, "*");
    }
    return text;
  }

  ScratchDir dir_, machine_;
  std::vector<std::pair<std::string, std::string>> env_;
  std::ostringstream t_;
};

std::string Encrypted(const std::string& plain) {
  const Platform platform = SystemPlatform();
  ByteArray data(plain.begin(), plain.end());
  clsBlowfish(platform).EncryptByte(data, "mossgate");
  return std::string(data.begin(), data.end());
}

std::string Transcript() {
  ToolTranscript t;
  const ScratchDir& dir = t.dir();
  const auto put = [&](const std::string& name, const std::string& bytes) {
    WriteNativeFile(dir.NativeJoin(name), bytes);
    return dir.Join(name);
  };

  t.Note("what every tool prints about itself");
  t.Run("vorelapack", {"--help"});
  t.Run("vorelapack", {});
  t.Run("vorelacrypt", {"--help"});
  t.Run("vorelareg", {"--help"});
  t.Run("vorelafolders", {"--help"});

  t.Note("hostile names");
  const std::vector<CabEntry> hostile{{"m01.enc", Encrypted(kManifest)},
                                      {"..\\..\\escape.htm", "no"},
                                      {"\\rooted.htm", "no"},
                                      {"C:\\drive.htm", "no"},
                                      {"CON", "no"},
                                      {"icons\\nul.ico", "no"},
                                      {"Com1.htm", "no"},
                                      {"LPT9\\page.htm", "no"},
                                      {"a:b.htm", "no"},
                                      {"dot.\\x.htm", "no"},
                                      {"blank ", "no"},
                                      {"ask?.htm", "no"},
                                      {"m01.ico", "icon"},
                                      {"R&D <1>.htm", "amp"},
                                      {"m01.htm", "page"},
                                      {"\x93\xFA\x96\x7B.ico", "nihon"}};
  const std::string bad = put("hostile.vorela",
                              BuildCabinet(hostile, CabCompression::kMsZip));
  t.Run("vorelapack", {"list", bad});
  t.Run("vorelapack", {"check", bad});
  t.Run("vorelapack", {"extract", bad, dir.Join("hostile")});
  t.Tree(dir.NativeJoin("hostile"));

  t.Note("a read-only file in the way");
  std::filesystem::create_directories(
      std::filesystem::u8path(dir.NativeJoin("locked")));
  const std::string locked = put("locked/m01.ico", "old icon");
  SystemFileSystem().SetReadOnly(locked, true);
  t.Run("vorelapack", {"extract", bad, dir.Join("locked")});
  SystemFileSystem().SetReadOnly(locked, false);
  t.Tree(dir.NativeJoin("locked"));

  t.Note("damaged packages");
  const std::vector<CabEntry> plain{{"m01.enc", Encrypted(kManifest)},
                                    {"m01.ico", std::string(3000, 'i')},
                                    {"m01.htm", std::string(40000, 'h')}};
  const std::string whole = BuildCabinet(plain, CabCompression::kMsZip);
  std::string flipped = whole;
  flipped[FirstPayloadOffset(plain) + 40] ^= 0x04;
  for (const auto& [name, bytes] :
       std::vector<std::pair<std::string, std::string>>{
           {"truncated.vorela",
            whole.substr(0, FirstPayloadOffset(plain) + 2000)},
           {"flipped.vorela", flipped},
           {"header.vorela", whole.substr(0, 30)},
           {"text.vorela", "this is no cabinet at all\r\n"}}) {
    const std::string path = put(name, bytes);
    t.Run("vorelapack", {"list", path});
    t.Run("vorelapack", {"check", path});
    t.Run("vorelapack", {"extract", path, dir.Join("damaged")});
  }
  t.Run("vorelapack", {"list", dir.Join("missing.vorela")});
  // A name with a blank and characters of the code page: each argument
  // arrives whole and as typed.
  const std::string japanese = put("\xE6\x97\xA5 \xE6\x9C\xAC.vorela",
                                   BuildCabinet({{"a.htm", "a"}}));
  t.Run("vorelapack", {"list", japanese});
  t.Tree(dir.NativeJoin("damaged"));

  t.Note("a package built, listed, checked and unpacked");
  const std::string manifest = put("m01.xml", kManifest);
  const std::string icon = put("m01.ico", "icon bytes");
  const std::string page = put("m01.htm", "<html>page</html>\r\n");
  const std::string built = dir.Join("built.vorela");
  t.Run("vorelapack",
        {"build", "-o", built, "--manifest", manifest, icon, page});
  t.Run("vorelapack", {"list", built});
  t.Run("vorelapack", {"check", built});
  t.Run("vorelapack", {"extract", built, dir.Join("built")});
  t.Tree(dir.NativeJoin("built"));
  std::filesystem::create_directories(
      std::filesystem::u8path(dir.NativeJoin("again")));
  t.Run("vorelacrypt",
        {"decrypt", dir.Join("built\\m01.enc"), dir.Join("again\\m01.xml")});
  t.Tree(dir.NativeJoin("again"));
  return t.str();
}

TEST(ToolTranscript, BothBuildsPrintAndUnpackTheSameBytes) {
  const std::string transcript = Transcript();
  if (const char* path = std::getenv("VORELA_WRITE_TOOL_TRANSCRIPT")) {
    std::ofstream(path, std::ios::binary) << transcript;
  }
  if (SystemTextCodec().CodePage() != 932)
    GTEST_SKIP() << "the expectation is for code page 932";
  EXPECT_EQ(transcript, kExpected);
}

}  // namespace
}  // namespace vorela::testing
