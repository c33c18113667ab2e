#include "cleaner/xml_file_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "xmlreader/parse_fixture.h"

namespace vorela::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

constexpr char kLabel[] = "[clsXMLFileParser][ParseXMLFile]";

using XmlFileParserTest = ParseFixture;

TEST_F(XmlFileParserTest, RepeatedElementsArriveInDocumentOrderUnderTheCallersSpelling) {
  const std::string document =
      "<XMLROOT>"
      "<Menu><url>u1</url><KEYNO><URL>hidden</URL><ICON>hidden</ICON></"
      "KEYNO><ICON>i1</ICON>"
      "</Menu>"
      "<menu><ICON>i2</ICON><URL>u2</URL></menu>"
      "</XMLROOT>";
  EXPECT_THAT(Parse(document, {"xmlroot\\menu\\URL", "XMLROOT\\MENU\\ICON"}),
              ElementsAre(Event{"xmlroot\\menu\\URL", "u1"}, Event{"xmlroot\\menu\\ICON", "i1"},
                          Event{"xmlroot\\menu\\ICON", "i2"}, Event{"xmlroot\\menu\\URL", "u2"}));
}

TEST_F(XmlFileParserTest, SelectsByFullSegmentsAndCapturesOnlyTheDeeperOfTwoEntries) {
  EXPECT_THAT(Parse("<a><b><c>1</c><cc>2</cc></b><c>3</c></a>", {"a\\b\\c"}),
              ElementsAre(Event{"a\\b\\c", "1"}));
  // a\b is a prefix of a\b\c, so b itself is not a leaf.
  EXPECT_THAT(Parse("<a><b><c>1</c><d>2</d></b></a>", {"a\\b", "a\\b\\c"}),
              ElementsAre(Event{"a\\b\\c", "1"}));
}

TEST_F(XmlFileParserTest, ContentHasReferencesResolvedAndChildTagsRebuiltBare) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<xmlroot xmlns:p=\"urn:p\">"
      "<URL>a&amp;b &lt;&#x3042;&gt; <![CDATA[<raw>&amp;]]></URL>"
      "<URL/>"
      "<URL>x<b id=\"1\">y</b><p:br/><!-- note --></URL>"
      "<URL>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</URL>"
      "</xmlroot>";
  EXPECT_THAT(Parse(document, {"xmlroot\\URL"}),
              ElementsAre(Event{"xmlroot\\URL", "a&b <\xE3\x81\x82> <raw>&amp;"},
                          Event{"xmlroot\\URL", ""}, Event{"xmlroot\\URL", "x<b>y</b><br></br>"},
                          Event{"xmlroot\\URL", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"}));
}

TEST_F(XmlFileParserTest, OneSegmentCapturesTheWholeDocumentElement) {
  EXPECT_THAT(Parse("<xmlroot><a>1</a>2</xmlroot>", {"XMLROOT"}),
              ElementsAre(Event{"XMLROOT", "<a>1</a>2"}));
}

TEST_F(XmlFileParserTest, ACaptureEndsAtTheFirstEndTagOfItsName) {
  EXPECT_THAT(Parse("<r><note>a<note>b</note>c</note><x>1</x></r>", {"r\\note", "r\\x"}),
              ElementsAre(Event{"r\\note", "a<note>b"}, Event{"r\\x", "1"}));
}

// The parser keeps the name of a skipped or captured element until its end tag;
// long names are kept differently from short ones.
TEST_F(XmlFileParserTest, LongNamesEndTheirSkipsAndCapturesLikeShortOnes) {
  const std::string skipped(60, 's');
  const std::string captured = std::string(45, 'c') + "Tail";
  const std::string document = "<r><" + skipped + "><x>hidden</x></" + skipped + "><x>1</x><" +
                               captured + ">a<" + skipped + "/>b</" + captured + "><x>2</x></r>";
  EXPECT_THAT(Parse(document, {"r\\x", "r\\" + std::string(45, 'C') + "TAIL"}),
              ElementsAre(Event{"r\\x", "1"},
                          Event{"r\\" + std::string(45, 'C') + "TAIL",
                                "a<" + skipped + "></" + skipped + ">b"},
                          Event{"r\\x", "2"}));
}

TEST_F(XmlFileParserTest, DocumentElementMeetsTheRootOrOneOfItsChildren) {
  EXPECT_THAT(Parse("<other><menu><URL>u</URL></menu></other>", {"xmlroot\\menu\\URL"}), IsEmpty());
  EXPECT_THAT(Parse("<menu><URL>u</URL></menu>", {"xmlroot\\menu\\URL"}),
              ElementsAre(Event{"xmlroot\\menu\\URL", "u"}));
}

// Readers cut text into chunks differently (per line, around references,
// whitespace between elements) and both builds must give the same content.
// Line ends arrive as "\n", a carriage return written as a reference too, as
// the Windows reader delivers it.
TEST_F(XmlFileParserTest, TextIsTheSameWhateverTheReaderChunking) {
  const std::string document =
      "<xmlroot>\r\n"
      "  <menu>\r\n"
      "    <URL>\r\n      <b>y</b>\r\n    </URL>\r\n"
      "    <URL>line1\r\nline2\rline3&amp;&#10;end</URL>\r\n"
      "    <URL><b/>&#13;&#10;<c/>\n<d/>&#13;\n</URL>\r\n"
      "  </menu>\r\n"
      "</xmlroot>\r\n";
  EXPECT_THAT(Parse(document, {"xmlroot\\menu\\URL"}),
              ElementsAre(Event{"xmlroot\\menu\\URL", "\n      <b>y</b>\n    "},
                          Event{"xmlroot\\menu\\URL", "line1\nline2\nline3&\nend"},
                          Event{"xmlroot\\menu\\URL", "<b></b>\n\n<c></c>\n<d></d>\n\n"}));
}

TEST_F(XmlFileParserTest, InvalidPathsFailWithTheirMessages) {
  const std::string file = Write("<a/>");
  struct Case {
    std::vector<std::string> paths;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{}, "Invalid XML Path Array Encountered."},
      {{""}, "Invalid XML Path."},
      {{"a\\b", "   "}, "Invalid XML Path."},
      {{"\\a\\b"}, "Invalid XML Path Encountered."},
      {{"a\\b\\"}, "Invalid XML Path Encountered."},
      {{"a\\\\b"}, "Invalid XML Path Encountered."},
      {{"a\\  \\b"}, "Invalid XML Path Encountered."},
      {{"\\"}, "Invalid XML Path Encountered."},
      {{"a\\b", "c\\d"}, "XML Paths Contain different Roots."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Error e = ParseError(file, c.paths);
    EXPECT_EQ(e.Number(), 1);
    EXPECT_EQ(e.Source(), kLabel);
    EXPECT_EQ(e.Description(), kLabel + c.message);
  }
}

TEST_F(XmlFileParserTest, TheFileIsCheckedBeforeThePaths) {
  const std::string missing = scratch_.Join("missing.xml");
  for (const std::string& path : {missing, std::string("   "), scratch_.path()}) {
    SCOPED_TRACE(path);
    Error e = ParseError(path, {"", "\\bad"});
    EXPECT_EQ(e.Number(), 1);
    EXPECT_EQ(e.Source(), kLabel);
    EXPECT_EQ(e.Description(), std::string(kLabel) + "File '" + path + "' does not exists.");
  }
}

// Marks chosen files hidden or system, as a directory search reports them.
class AttributeFileSystem : public FakeFileSystem {
 public:
  std::set<std::string> hidden, system;
  Win32Error FindEntry(std::string_view path, FileEntry* entry) override {
    Win32Error e = FakeFileSystem::FindEntry(path, entry);
    if (e == kErrorSuccess) {
      entry->is_hidden = hidden.count(std::string(path)) != 0;
      entry->is_system = system.count(std::string(path)) != 0;
    }
    return e;
  }
};

TEST_F(XmlFileParserTest, HiddenAndSystemFilesAreNotFoundAndUnreadableOnesAreMalformed) {
  AttributeFileSystem files;
  const std::string hidden = Write("<a/>", "hidden.xml");
  const std::string system = Write("<a/>", "system.xml");
  const std::string vanished = scratch_.Join("vanished.xml");  // listed, not on disk
  files.AddFile(hidden, "");
  files.AddFile(system, "");
  files.AddFile(vanished, "");
  files.hidden.insert(hidden);
  files.system.insert(system);
  platform_.files = &files;
  for (const std::string& path : {hidden, system}) {
    EXPECT_EQ(ParseError(path, {"a"}).Description(),
              std::string(kLabel) + "File '" + path + "' does not exists.");
  }
  Error e = ParseError(vanished, {"a"});
  EXPECT_NE(e.Number(), 0);
  EXPECT_EQ(e.Source(), kLabel);
  EXPECT_EQ(e.Description(), std::string(kLabel) + "Malformed XML File Encountered! " + vanished);
}

TEST_F(XmlFileParserTest, AMalformedFileKeepsTheEventsBeforeTheFault) {
  const std::string file = Write("<xmlroot>\n<URL>u</URL>\n<URL>v</URL><</xmlroot>");
  Events events;
  Error e = ParseError(file, {"xmlroot\\URL"}, &events);
  EXPECT_NE(e.Number(), 0);
  EXPECT_EQ(e.Source(), kLabel);
  EXPECT_EQ(e.Description(), std::string(kLabel) + "Malformed XML File Encountered! " + file);
  EXPECT_THAT(events, ElementsAre(Event{"xmlroot\\URL", "u"}, Event{"xmlroot\\URL", "v"}));

  clsXMLFileParser parser(platform_);
  EXPECT_THROW(parser.ParseXMLFile(file, {"xmlroot\\URL"}), Error);
  ASSERT_TRUE(parser.ReaderError().has_value());
  EXPECT_EQ(parser.ReaderError()->Number(), e.Number());
  const std::string& where = parser.ReaderError()->Source();
  EXPECT_THAT(where, StartsWith("Line: 3 Column: "));
  EXPECT_GT(where.size(), 16u);
  EXPECT_EQ(where.find_first_not_of("0123456789", 16), std::string::npos) << where;
  EXPECT_THAT(parser.ReaderError()->Description(),
              StartsWith("[clsXMLFileParser][IVBSAXErrorHandler_error] "));
}

TEST_F(XmlFileParserTest, DocumentTypeDeclarationsAreRefused) {
  const std::string file = Write(
      "<!DOCTYPE xmlroot [<!ENTITY e "
      "\"expanded\">]><xmlroot><URL>&e;</URL></xmlroot>");
  Events events;
  Error e = ParseError(file, {"xmlroot\\URL"}, &events);
  EXPECT_EQ(e.Description(), std::string(kLabel) + "Malformed XML File Encountered! " + file);
  EXPECT_THAT(events, IsEmpty());
}

TEST_F(XmlFileParserTest, AFailingHandlerStopsTheParseAsAMalformedFile) {
  const std::string file = Write("<r><x>1</x><x>2</x></r>");
  clsXMLFileParser parser(platform_);
  int calls = 0;
  parser.SetXMLNodeHandler([&](const std::string&, const std::string&) {
    ++calls;
    throw Error(77, "Caller", "boom");
  });
  try {
    parser.ParseXMLFile(file, {"r\\x"});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 77);
    EXPECT_EQ(e.Source(), kLabel);
    EXPECT_EQ(e.Description(), std::string(kLabel) + "Malformed XML File Encountered! " + file);
  }
  EXPECT_EQ(calls, 1);
  ASSERT_TRUE(parser.ReaderError().has_value());
  EXPECT_EQ(parser.ReaderError()->Source(), "Caller");
  EXPECT_EQ(parser.ReaderError()->Description(),
            "[clsXMLFileParser][IVBSAXContentHandler_endElement] boom");
}

TEST_F(XmlFileParserTest, AParserIsReusableAfterAFailureAndRefusesNestedParses) {
  const std::string broken = Write("<r><skip><x>", "broken.xml");
  const std::string good = Write("<r><x>1</x></r>", "good.xml");
  clsXMLFileParser parser(platform_);
  Events events;
  std::string nested;
  parser.SetXMLNodeHandler([&](const std::string& path, const std::string& content) {
    events.emplace_back(path, content);
    try {
      parser.ParseXMLFile(good, {"r\\x"});
    } catch (const Error& e) {
      nested = e.Description();
    }
  });
  EXPECT_THROW(parser.ParseXMLFile(broken, {"r\\x"}),
               Error);  // fails inside a skip
  parser.ParseXMLFile(good, {"r\\x"});
  EXPECT_THAT(events, ElementsAre(Event{"r\\x", "1"}));
  EXPECT_EQ(nested, std::string(kLabel) + "A parse of this parser is already running.");
}

TEST_F(XmlFileParserTest, AMissingReaderIsReportedWithThePrefix) {
  const std::string file = Write("<a/>");
  platform_.sax = nullptr;
  Error e = ParseError(file, {"a"});
  EXPECT_EQ(e.Number(), 429);
  EXPECT_EQ(e.Description(), std::string(kLabel) + "The XML reader is not available.");
}

}  // namespace
}  // namespace vorela::testing
