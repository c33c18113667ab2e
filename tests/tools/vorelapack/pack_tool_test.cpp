// The package tool end to end on this build's platform (libgcab or FCI for
// writing, the cabinet walk for reading), and the manifest reading it checks
// with.
#include "tools/vorelapack/pack_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_test_util.h"
#include "common/blowfish.h"
#include "tools/vorelapack/pack_check.h"
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

// Packages the install does not take as their author meant, though each one
// unpacks and decrypts.
TEST_F(PackToolTest, CheckReportsWhatTheInstallDoesWrong) {
  const std::string ok = Encrypted("<menu><item><ID>m01</ID></item></menu>");
  const std::string lang =
      "<lang><c k='801'><CAPTION>t</CAPTION></c><c k='802'><CAPTION>i</CAPTION></c>"
      "<c k='803'><CAPTION>n</CAPTION></c><c k='804'><CAPTION>c</CAPTION></c>"
      "<c k='805'><CAPTION>h</CAPTION></c><c k='806'><CAPTION>r</CAPTION></c>"
      "<c k='807'><CAPTION>f</CAPTION></c><c k='808'><CAPTION>s</CAPTION></c></lang>";
  EXPECT_EQ(Run({"check", Package({{"m.enc", ok}, {"lang.xml", lang}})}), 0) << out_;
  struct Case {
    std::vector<CabEntry> entries;
    const char* finding;
  } cases[] = {
      // Shift_JIS bytes without a declaration: "ﾒﾆｭｰ" and "検索".
      {{{"m.enc", Encrypted("<menu><item><ID>m01</ID><SNAME>\xD2\xC6\xAD\xB0\x8C\x9F"
                            "\x8D\xF5</SNAME></item></menu>")}},
       "not UTF-8"},
      {{{"m.enc", ok}, {"lang.xml", "<lang><c k='801'>"}}, "every later window has no captions"},
      {{{"m.enc", ok}, {"lang.xml", "<lang><c k='801'><CAPTION>t</CAPTION></c></lang>"}},
       "no caption 802, 803, 804, 805, 806, 807, 808"},
      {{{"m.enc", ok}, {"webmain.xml", ""}}, "\"webmain.xml\" replaces the shared file"},
      {{{"search.enc", ok}, {"search.xml", "<web/>"}}, "over the shipped file"},
      {{{"search.xml", "<web/>"}, {"SEARCH.enc", ok}}, "over the shipped file"},
      {{{"m.enc", ok}, {"a/b.ico", "i"}}, "the whole install fails"},
      {{{"m.enc", Encrypted("<menu><item><ID>..\\x</ID></item></menu>")}}, "cannot name a file"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run({"check", Package(c.entries)}), 1) << c.finding;
    EXPECT_THAT(out_, HasSubstr(c.finding));
    // The check unpacks into a scratch folder of its own and never names it.
    EXPECT_THAT(out_, Not(HasSubstr("vorelapack-check")));
  }
}

TEST_F(PackToolTest, BuildRefusesAnOutputThatIsAnInputAndFolders) {
  const std::string manifest = Put("m2.xml", kManifest);
  const std::string icon = Put("m01.ico", "icon");
  EXPECT_EQ(Run({"build", "-o", manifest, "--manifest", manifest}), 1);
  EXPECT_THAT(err_, HasSubstr("is also an input"));
  EXPECT_EQ(Run({"build", "-o", icon, "--manifest", manifest, icon}), 1);
  EXPECT_EQ(ReadNativeFile(dir_.NativeJoin("m2.xml")), kManifest);
  EXPECT_EQ(ReadNativeFile(dir_.NativeJoin("m01.ico")), "icon");

  ScratchDir folder;
  const std::string package = dir_.Join("p.vorela");
  EXPECT_EQ(Run({"build", "-o", package, "--manifest", manifest, icon, folder.path()}), 1);
  EXPECT_THAT(err_, HasSubstr("\"" + folder.path() + "\" is a folder"));
  EXPECT_FALSE(NativeExists(dir_.NativeJoin("p.vorela")));
  EXPECT_EQ(Run({"build", "-o", folder.path(), "--manifest", manifest}), 1);
  EXPECT_THAT(err_, HasSubstr("is a folder"));
  EXPECT_EQ(Run({"build", "-o", package, "--manifest", folder.path()}), 1);
  EXPECT_THAT(err_, HasSubstr("is a folder"));
  // The manifest's decrypted name is taken at install time.
  ScratchDir web;
  WriteNativeFile(web.NativeJoin("search.xml"), "<web/>");
  EXPECT_EQ(Run({"build", "-o", package, "--manifest", Put("search.xml", kManifest),
                 web.Join("search.xml")}),
            1);
  EXPECT_THAT(err_, HasSubstr("would be overwritten"));
  // A manifest the installer cannot read is not packed either.
  EXPECT_EQ(Run({"build", "-o", package, "--manifest",
                 Put("sjis.xml", "<m><i><ID>\x8C\x9F</ID></i></m>")}),
            1);
  EXPECT_THAT(err_, HasSubstr("not UTF-8"));
}

TEST_F(PackToolTest, ExtractReportsRefusedFiles) {
  ScratchDir out;
  EXPECT_EQ(Run({"extract", Package({{"..\\evil.ico", "e"}, {"ok.ico", "o"}}),
                 out.path()}),
            1);
  EXPECT_THAT(err_, HasSubstr("1 files were not unpacked"));
  EXPECT_THAT(TreeOf(out.native()), ::testing::ElementsAre("ok.ico=o"));
}

TEST(ReadManifestRecord, ReadsTheFirstChildElementOfTheRoot) {
  const Platform platform = SystemPlatform();
  const std::string xml =
      "\xEF\xBB\xBF<root>\r\n  <!-- note --><menu "
      "a='1'><ID>x&amp;y&#x41;&#66;</ID>"
      "<ICON><![CDATA[a<b]]></ICON><ID>second</ID><empty/></menu><menu><ID>no</"
      "ID></menu>"
      "</root>\n";
  EXPECT_TRUE(CheckManifestText(platform, xml).empty());
  const MenuRecord r = ReadManifestRecord(platform, xml);
  EXPECT_EQ(r.ID, "x&yAB");
  EXPECT_EQ(r.ICON, "a<b");
  EXPECT_EQ(r.SNAME, "");

  ASSERT_EQ(CheckManifestText(platform, "<root/>").size(), 1u);
  EXPECT_THAT(CheckManifestText(platform, "<root/>")[0].text,
              HasSubstr("no child element"));

  for (const char* bad :
       {"", "text", "<a><b></a>", "<a>&bogus;</a>", "<a></a><b></b>",
        "<a x=1></a>", "<a><![CDATA[x</a>"}) {
    const std::vector<PackFinding> found = CheckManifestText(platform, bad);
    ASSERT_EQ(found.size(), 1u) << bad;
    EXPECT_THAT(found[0].text, HasSubstr("does not parse")) << bad;
  }
}

}  // namespace
}  // namespace vorela::testing
