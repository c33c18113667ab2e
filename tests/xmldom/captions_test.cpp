#include "common/captions.h"

#include "xmldom/xml_files_fixture.h"

namespace vorela {
namespace {

constexpr char kLang[] = "C:\\windows\\system32\\tolresource\\lang.xml";

class CaptionsTest : public XmlFilesTest {
 protected:
  CaptionTable Load(const std::string& bytes) {
    files_.AddFile(kLang, bytes);
    CaptionTable table;
    table.LoadCaptions(platform_, kLang);
    return table;
  }
};

TEST_F(CaptionsTest, MarkersResolvedOnlyByTheCleanersLookup) {
  CaptionTable table =
      Load("<lang><c id=\"922\"><CAPTION>A@@B||C</CAPTION></c></lang>");
  EXPECT_EQ(table.GetCaption("922"), "A@@B||C");
  EXPECT_EQ(table.GetCaptionText("922"), "A&B\r\nC");
  // "@@" goes first, so "@@||" is "&" and a line break, and "@@@" keeps one
  // "@".
  table = Load("<lang><c k=\"1\"><CAPTION>@@||@@@</CAPTION></c></lang>");
  EXPECT_EQ(table.GetCaptionText("1"), "&\r\n&@");
}

TEST_F(CaptionsTest, FirstOfTwoEqualKeysAndExactKeysOnly) {
  CaptionTable table = Load(
      "<lang>\n  <a id=\"801\"><CAPTION>first</CAPTION></a>\n"
      "  <b name=\"801\"><CAPTION>second</CAPTION></b>\n"
      "  <c "
      "id=\"abc\"><CAPTION>\xE6\x97\xA5\xE6\x9C\xAC</CAPTION></c>\n</lang>\n");
  ASSERT_EQ(table.Entries().size(), 3u);
  EXPECT_EQ(table.GetCaption("801"), "first");
  EXPECT_EQ(table.GetCaptionText("801"), "first");
  EXPECT_EQ(table.GetCaption("ABC"), "");
  EXPECT_EQ(table.GetCaption("abc"), "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(table.GetCaption(" 801"), "");
  EXPECT_EQ(table.GetCaption("999"), "");
  EXPECT_EQ(table.GetCaptionText("999"), "");
}

TEST_F(CaptionsTest, EveryChildNodeIsAnEntryEvenWithoutKeyOrCaption) {
  CaptionTable table = Load(
      "<lang><a><CAPTION>no key</CAPTION></a><!-- note --><b id=\"2\"/>"
      "<c id=\"3\"><X><CAPTION>deep</CAPTION></X></c></lang>");
  ASSERT_EQ(table.Entries().size(), 4u);
  EXPECT_EQ(table.Entries()[0].CaptionKey, "");
  EXPECT_EQ(table.Entries()[0].CaptionText, "no key");
  EXPECT_EQ(table.Entries()[1].CaptionKey, "");  // the comment
  EXPECT_EQ(table.Entries()[1].CaptionText, "");
  EXPECT_EQ(table.Entries()[2].CaptionKey, "2");
  EXPECT_EQ(table.Entries()[2].CaptionText, "");
  EXPECT_EQ(table.GetCaption("3"),
            "");  // CAPTION is looked up among children only
  EXPECT_EQ(table.GetCaption(""), "no key");
}

TEST_F(CaptionsTest,
       NoCaptionsFromAFileThatIsMissingHasADeclarationOrIsBroken) {
  CaptionTable table =
      Load("<lang><a id=\"1\"><CAPTION>x</CAPTION></a></lang>");
  ASSERT_EQ(table.Entries().size(), 1u);
  table.LoadCaptions(platform_, "C:\\missing\\lang.xml");
  EXPECT_TRUE(table.Entries().empty());  // reloading empties the table first

  table = Load(
      "<?xml version=\"1.0\"?><lang><a "
      "id=\"1\"><CAPTION>x</CAPTION></a></lang>");
  EXPECT_TRUE(table.Entries().empty());
  table = Load("<!-- c --><lang><a id=\"1\"><CAPTION>x</CAPTION></a></lang>");
  EXPECT_TRUE(table.Entries().empty());
  table = Load("<lang><a id=\"1\"><CAPTION>x</CAPTION></a>");
  EXPECT_TRUE(table.Entries().empty());
  EXPECT_EQ(table.GetCaption("1"), "");
}

}  // namespace
}  // namespace vorela
