// One fixed set of cabinets through CabFile, recorded as a transcript of
// events, listings, errors and extracted files. Both builds compare against
// the same expected transcript, so the libmspack emulation and the setup API
// (under Wine) are held to identical results.
//
// To refresh the expectation after an intended change, run the native test with
// VORELA_WRITE_TRANSCRIPT=<file> and turn the file into
// differential_expected.inc (one C string literal per line).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_file.h"
#include "cabinet/cab_test_util.h"
#include "cabinet/gcab_sample.h"
#include "common/text_util.h"
#include "support/scratch.h"

namespace vorela::testing {
namespace {

const char kExpected[] =
#include "cabinet/differential_expected.inc"
    ;

struct Sample {
  std::string title;
  std::string bytes;
};

std::vector<Sample> Samples() {
  const std::vector<CabEntry> plain{
      {"readme.txt", "hello\r\n"},
      {"icons\\menu.ico", std::string(700, '\x01')},
      {"icons\\big\\deep.htm", std::string(40000, 'h')},
      {"x.enc", ""}};
  const std::vector<CabEntry> japanese{{"\x83\x5C\\\x95\x5C.txt", "so-hyou"},
                                       {"\x93\xFA\x96\x7B.ico", "nihon"}};
  const std::vector<CabEntry> hostile{
      {"..\\..\\escape.txt", "no"}, {"\\root.txt", "no"},
      {"C:\\drive.txt", "no"},      {"\\\\server\\share\\unc.txt", "no"},
      {"sub/../../fwd.txt", "no"},  {"safe\\kept.txt", "yes"}};
  std::vector<Sample> out{
      {"stored", BuildCabinet(plain, CabCompression::kNone)},
      {"mszip", BuildCabinet(plain, CabCompression::kMsZip)},
      {"gcab-mszip", GcabSampleCabinet()},
      {"japanese", BuildCabinet(japanese, CabCompression::kMsZip)},
      {"hostile", BuildCabinet(hostile, CabCompression::kNone)},
  };
  const std::string whole = BuildCabinet(plain, CabCompression::kMsZip);
  out.push_back({"truncated-header", whole.substr(0, 30)});
  out.push_back({"truncated-files", whole.substr(0, 60)});
  // Cut inside the first data block. (Cut in a later block, the setup API still
  // writes the files of the intact blocks before it fails, while libmspack's
  // read-ahead fails on the first file already; both end in error 13.)
  out.push_back(
      {"truncated-data", whole.substr(0, FirstPayloadOffset(plain) + 2000)});
  std::string flipped = whole;
  flipped[FirstPayloadOffset(plain) + 40] ^= 0x04;
  out.push_back({"bit-flipped-data", flipped});
  std::string flipped_header = whole;
  flipped_header[1] ^= 0x01;
  out.push_back({"bit-flipped-signature", flipped_header});
  return out;
}

std::string Relative(const std::string& path, const std::string& base) {
  return path.rfind(base, 0) == 0 ? "OUT" + path.substr(base.size()) : path;
}

std::string Transcript() {
  const Platform platform = SystemPlatform();
  std::ostringstream t;
  for (const Sample& sample : Samples()) {
    ScratchDir dir, out;
    t << "== " << sample.title << "\n";
    CabFile cab(platform);
    cab.CabName = PutCabinet(dir, "temp.cab", sample.bytes);
    cab.BeforeExtract = [&](const std::string& name, bool&) {
      t << "before " << name << "\n";
    };
    cab.AfterExtract = [&](const std::string& target) {
      t << "after " << Relative(target, out.path()) << "\n";
    };
    cab.FileFound = [&](const std::string& name, const CabDateTime& date,
                        std::int32_t size, const std::string& path) {
      t << "found " << path << "|" << name << "|" << FormatGeneralDate(date)
        << "|" << size << "\n";
    };
    const auto run = [&](const char* what, auto&& op) {
      try {
        op();
      } catch (const Error& e) {
        t << what << " error " << e.Number() << " " << e.Source() << " "
          << e.Description() << "\n";
      }
    };
    run("count", [&] {
      const std::int32_t count = cab.FileCount();
      t << "count " << count << "\n";
    });
    run("info", [&] { cab.GetInfo(""); });
    run("xml",
        [&] { t << ReplaceAll(cab.GetXML(""), cab.CabName, "CAB") << "\n"; });
    run("extract", [&] { cab.Extract("", out.path(), ""); });
    for (const std::string& line : TreeOf(out.native())) {
      t << "file " << (line.size() > 60 ? line.substr(0, 60) + "..." : line)
        << "\n";
    }
  }
  return t.str();
}

TEST(CabinetDifferential, BothBuildsGiveTheSameTranscript) {
  const std::string transcript = Transcript();
  // The samples also seed the fuzzer's corpus.
  if (const char* corpus = std::getenv("VORELA_WRITE_CORPUS")) {
    for (const Sample& sample : Samples()) {
      WriteNativeFile(std::string(corpus) + "/" + sample.title + ".cab", sample.bytes);
    }
  }
  if (const char* path = std::getenv("VORELA_WRITE_TRANSCRIPT")) {
    std::ofstream(path, std::ios::binary) << transcript;
  }
  if (SystemTextCodec().CodePage() != 932)
    GTEST_SKIP() << "the expectation is for code page 932";
  EXPECT_EQ(transcript, kExpected);
}

}  // namespace
}  // namespace vorela::testing
