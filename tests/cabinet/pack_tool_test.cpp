// The package tool end to end on this build's platform (libgcab or FCI for
// writing, the cabinet walk for reading), and the manifest reader it checks
// with.
#include "cabinet/pack_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_test_util.h"
#include "cabinet/pack_check.h"
#include "cabinet/pack_manifest.h"
#include "common/blowfish.h"
#include "support/machine_root.h"
#include "support/scratch.h"

namespace vorela::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const char kManifest[] =
    "<menu><item><ID>m01</ID><SNAME>Search &amp; go</SNAME><ICON>m01.ico</ICON>"
    "<IE>1</IE><CID>c1</CID></item></menu>";

class PackToolTest : public ::testing::Test {
 protected:
  ScopedMachineRoot machine_;  // its temporary folder is the machine's
  Platform platform_ = SystemPlatform();
  ScratchDir dir_;
  std::string out_, err_;

  int Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int rc =
        RunPackTool(args, out, err, platform_, SystemCabinetWriter(), "9.9");
    out_ = out.str();
    err_ = err.str();
    return rc;
  }

  std::string Put(const std::string& name, const std::string& bytes) {
    WriteNativeFile(dir_.NativeJoin(name), bytes);
    return dir_.Join(name);
  }

  std::string Encrypted(const std::string& plain) {
    ByteArray data(plain.begin(), plain.end());
    clsBlowfish(platform_).EncryptByte(data, "mossgate");
    return std::string(data.begin(), data.end());
  }

  // A package written directly, for layouts the build command refuses.
  std::string Package(const std::vector<CabEntry>& entries) {
    return PutCabinet(dir_, "crafted.vorela",
                      BuildCabinet(entries, CabCompression::kMsZip));
  }
};

TEST_F(PackToolTest, BuildListExtractAndCheckRoundTrip) {
  const std::string manifest = Put("m01.xml", kManifest);
  const std::string icon = Put("m01.ico", std::string(5000, 'i'));
  const std::string page = Put("m01.htm", "<html></html>");
  const std::string package = dir_.Join("m01.vorela");
  ASSERT_EQ(Run({"build", "-o", package, "--manifest", manifest, icon, page}),
            0)
      << err_;

  ASSERT_EQ(Run({"list", package}), 0) << err_;
  EXPECT_THAT(out_, HasSubstr("<FULLNAME>m01.enc</FULLNAME>"));
  EXPECT_THAT(out_, HasSubstr("<FULLNAME>m01.ico</FULLNAME>"));
  EXPECT_THAT(out_, HasSubstr("<SIZE>5000</SIZE>"));

  EXPECT_EQ(Run({"check", package}), 0) << out_;
  EXPECT_THAT(out_, HasSubstr("installs cleanly"));

  ScratchDir out;
  ASSERT_EQ(Run({"extract", package, out.path()}), 0) << err_;
  EXPECT_EQ(ReadNativeFile(out.NativeJoin("m01.ico")), std::string(5000, 'i'));
  // The manifest went in encrypted with the system's key.
  ByteArray enc;
  const std::string bytes = ReadNativeFile(out.NativeJoin("m01.enc"));
  enc.assign(bytes.begin(), bytes.end());
  clsBlowfish(platform_).DecryptByte(enc, "mossgate");
  EXPECT_EQ(std::string(enc.begin(), enc.end()), kManifest);
}

TEST_F(PackToolTest, BuildRefusesBadInput) {
  const std::string manifest = Put("m.xml", kManifest);
  const std::string package = dir_.Join("p.vorela");
  EXPECT_EQ(Run({"build", "--manifest", manifest}), 2);
  EXPECT_EQ(Run({"build", "-o", package}), 2);
  EXPECT_EQ(Run({"build", "-o", package, "--manifest", dir_.Join("none.xml")}),
            1);
  EXPECT_EQ(Run({"build", "-o", package, "--manifest", manifest,
                 dir_.Join("none.ico")}),
            1);
  EXPECT_EQ(Run({"build", "-o", package, "--manifest",
                 Put("bad.xml", "<menu><item>")}),
            1);
  EXPECT_THAT(err_, HasSubstr("does not parse"));
  EXPECT_EQ(Run({"build", "-o", package, "--manifest",
                 Put("noid.xml", "<m><i><ID/></i></m>")}),
            1);
  const std::string clash = Put("m.enc", "x");
  EXPECT_EQ(Run({"build", "-o", package, "--manifest", manifest, clash}), 1);
  EXPECT_THAT(err_, HasSubstr("two files would be stored as"));
  EXPECT_FALSE(NativeExists(dir_.NativeJoin("p.vorela")));
}

TEST_F(PackToolTest, CommandLineErrorsAndInformation) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"pack"}), 2);
  EXPECT_EQ(Run({"list"}), 2);
  EXPECT_EQ(Run({"extract", "a"}), 2);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(out_, "vorelapack 9.9\n");
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_THAT(out_, HasSubstr("usage:"));
  EXPECT_EQ(Run({"list", dir_.Join("missing.vorela")}), 1);
  EXPECT_THAT(err_, HasSubstr("The system cannot find the file specified."));
  EXPECT_EQ(Run({"check", Put("junk.vorela", "not a cabinet")}), 1);
  EXPECT_THAT(out_, HasSubstr("Invalid data."));
}

TEST_F(PackToolTest, CheckReportsManifestProblems) {
  const std::string good_icon = "m01.ico";
  struct Case {
    std::vector<CabEntry> entries;
    const char* finding;
  } cases[] = {
      {{{"m01.ico", "i"}}, "no manifest"},
      {{{"a.enc", Encrypted(kManifest)}, {"b.enc", Encrypted(kManifest)}},
       "2 manifests"},
      {{{"m.enc", "garbage that is no cipher text"}}, "does not decrypt"},
      {{{"m.enc", Encrypted("<menu><item>")}}, "does not parse"},
      {{{"m.enc",
         Encrypted(
             "<?xml version=\"1.0\"?><menu><item><ID>m01</ID></item></menu>")}},
       "finds no menu"},
      {{{"m.enc", Encrypted("<menu><item><ID></ID></item></menu>")}},
       "ID is empty"},
      {{{"m.enc", Encrypted(kManifest)}, {"m01.htm", "p"}},
       "ICON \"m01.ico\" names no icon"},
      {{{"m.enc", Encrypted(kManifest)}, {"m01.ico", "i"}},
       "no page \"m01.htm\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run({"check", Package(c.entries)}), 1) << c.finding;
    EXPECT_THAT(out_, HasSubstr(c.finding));
  }
}

TEST_F(PackToolTest, CheckReportsNamesTheInstallerIgnoresOrRefuses) {
  const std::string ok_manifest =
      Encrypted("<menu><item><ID>m01</ID></item></menu>");
  EXPECT_EQ(
      Run({"check", Package({{"m.enc", ok_manifest}, {"notes.txt", "n"}})}), 0)
      << out_;
  EXPECT_THAT(out_, HasSubstr("warning: \"notes.txt\""));

  EXPECT_EQ(
      Run({"check", Package({{"m.enc", ok_manifest}, {"icons\\a.ico", "i"}})}),
      1);
  EXPECT_THAT(out_, HasSubstr("only looks at files at the top level"));
  EXPECT_EQ(
      Run({"check", Package({{"m.enc", ok_manifest}, {"..\\a.ico", "i"}})}), 1);
  EXPECT_THAT(out_, HasSubstr("refused"));
  // Longer names than a cabinet holds: refused before they are stored.
  const std::vector<PackFinding> long_name =
      CheckStoredName(platform_, std::string(252, 'n') + ".ico");
  ASSERT_EQ(long_name.size(), 1u);
  EXPECT_THAT(long_name[0].text, HasSubstr("at most 255"));
  EXPECT_EQ(
      Run({"check",
           Package({{"m.enc", ok_manifest}, {"A.ICO", "i"}, {"a.ico", "j"}})}),
      1);
  EXPECT_THAT(out_, HasSubstr("stored twice"));
}

TEST_F(PackToolTest, ExtractReportsRefusedFiles) {
  ScratchDir out;
  EXPECT_EQ(Run({"extract", Package({{"..\\evil.ico", "e"}, {"ok.ico", "o"}}),
                 out.path()}),
            1);
  EXPECT_THAT(err_, HasSubstr("1 files were not unpacked"));
  EXPECT_THAT(TreeOf(out.native()), ::testing::ElementsAre("ok.ico=o"));
}

TEST(ReadManifest, ReadsTheFirstChildElementOfTheRoot) {
  ManifestReading r = ReadManifest(
      "\xEF\xBB\xBF<root>\r\n  <!-- note --><menu "
      "a='1'><ID>x&amp;y&#x41;&#66;</ID>"
      "<ICON><![CDATA[a<b]]></ICON><ID>second</ID><empty/></menu><menu><ID>no</"
      "ID></menu>"
      "</root>\n");
  ASSERT_TRUE(r.parsed) << r.problem;
  EXPECT_EQ(r.problem, "");
  EXPECT_EQ(r.Field("ID"), "x&yAB");
  EXPECT_EQ(r.Field("ICON"), "a<b");
  EXPECT_EQ(r.Field("empty"), "");
  EXPECT_EQ(r.Field("MISSING"), "");

  r = ReadManifest("<root/>");
  EXPECT_TRUE(r.parsed);
  EXPECT_THAT(r.problem, HasSubstr("no child element"));

  for (const char* bad :
       {"", "text", "<a><b></a>", "<a>&bogus;</a>", "<a></a><b></b>",
        "<a x=1></a>", "<a>&#0;</a>", "<a><![CDATA[x</a>"}) {
    EXPECT_FALSE(ReadManifest(bad).parsed) << bad;
  }
  // Deep nesting is refused, not followed into a stack overflow.
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  EXPECT_FALSE(ReadManifest(deep).parsed);
}

}  // namespace
}  // namespace vorela::testing
