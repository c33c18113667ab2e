// The SAX seam's contract, run against the reader of each build.
#include "platform/sax_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch.h"
#include "support/wine.h"

namespace vorela {
namespace {

using ::testing::ElementsAre;

// Records the calls as text; text chunks are joined into runs between the
// element calls, since their cutting is the reader's affair.
class Recorder : public SaxContentHandler, public SaxErrorHandler {
 public:
  std::vector<std::string> log;
  int fatal_errors = 0;
  SaxLocation fatal_where;
  int stop_after = -1;  // stop with 55 when this many element calls were seen
  int element_calls = 0;

  // Keeps text only inside elements of this name, and says so to the reader.
  void KeepTextOnlyIn(std::string name) {
    text_element_ = std::move(name);
    set_wants_characters(false);
  }

  SaxResult StartElement(std::string_view uri, std::string_view local) override {
    Flush();
    log.push_back("<" + std::string(local) + (uri.empty() ? "" : "@" + std::string(uri)));
    if (!text_element_.empty() && local == text_element_) set_wants_characters(true);
    return Count();
  }
  SaxResult EndElement(std::string_view, std::string_view local) override {
    Flush();
    log.push_back("/" + std::string(local));
    if (!text_element_.empty() && local == text_element_) set_wants_characters(false);
    return Count();
  }
  SaxResult Characters(std::string_view text) override {
    // A reader may still send text nobody asked for; it is not kept.
    if (wants_characters()) run_.append(text);
    return kSaxContinue;
  }
  SaxResult RecoverableError(const SaxLocation&, std::string_view, std::int32_t code) override {
    return code;
  }
  SaxResult FatalError(const SaxLocation& where, std::string_view, std::int32_t code) override {
    ++fatal_errors;
    fatal_where = where;
    return code;
  }
  SaxResult IgnorableWarning(const SaxLocation&, std::string_view, std::int32_t) override {
    return kSaxContinue;
  }

 private:
  void Flush() {
    if (!run_.empty()) log.push_back("'" + run_ + "'");
    run_.clear();
  }
  SaxResult Count() { return ++element_calls == stop_after ? 55 : kSaxContinue; }
  std::string run_;
  std::string text_element_;
};

class SaxReaderTest : public ::testing::Test {
 protected:
  SaxStatus Parse(const std::string& document) {
    testing::WriteNativeFile(scratch_.NativeJoin("doc.xml"), document);
    return SystemSaxReader().Parse(scratch_.Join("doc.xml"), recorder_, recorder_);
  }
  testing::ScratchDir scratch_;
  Recorder recorder_;
};

TEST_F(SaxReaderTest, DeliversLocalNamesAndResolvedText) {
  SaxStatus status = Parse(
      "<?xml version=\"1.0\"?>\n<p:root xmlns:p=\"urn:x\"><a>1 &amp; "
      "&#x41;\r\n2</a> "
      "<b/></p:root>");
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_THAT(recorder_.log,
              ElementsAre("<root@urn:x", "<a", "'1 & A\n2'", "/a", "' '", "<b", "/b", "/root"));
}

// Namespaces come and go with the elements that declare them.
TEST_F(SaxReaderTest, ANamespaceAppliesWhileItsDeclaringElementIsOpen) {
  SaxStatus status = Parse(
      "<r><p:a xmlns:p=\"urn:p\"><p:b/><c/></p:a><d/>"
      "<e xmlns=\"urn:e\"><f/><g xmlns=\"\"><h/></g></e><i/></r>");
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_THAT(recorder_.log, ElementsAre("<r", "<a@urn:p", "<b@urn:p", "/b", "<c", "/c", "/a", "<d",
                                         "/d", "<e@urn:e", "<f@urn:e", "/f", "<g", "<h", "/h", "/g",
                                         "/e", "<i", "/i", "/r"));
}

// The reader may leave text out while the handler wants none, but must send
// every chunk once it does (around references, line ends and sections too),
// however often the wish changes during the parse.
TEST_F(SaxReaderTest, TextArrivesWholeWheneverTheHandlerWantsIt) {
  recorder_.KeepTextOnlyIn("k");
  SaxStatus status = Parse(
      "<r>out<k>a &amp; &#13;b\r\nc</k>\r\n  out<x>out</x>"
      "<k><![CDATA[<d>]]>e<k>f</k>g</k>out</r>");
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_THAT(recorder_.log, ElementsAre("<r", "<k", "'a & \nb\nc'", "/k", "<x", "/x", "<k",
                                         "'<d>e'", "<k", "'f'", "/k", "/k", "/r"));
}

// A carriage return written as a reference arrives as "\n" wherever it
// stands in a run, whatever encoding the file is in.
TEST_F(SaxReaderTest, ACarriageReturnReferenceArrivesAsALineEnd) {
  const std::string text = "&#13;a&#13;&#13;b &#13;\r\n&#13;";
  const std::string utf8 = "\na\n\nb \n\n\n";
  std::string utf16 = "\xFF\xFE";  // little-endian, with its byte order mark
  for (char c : "<r>" + text + "</r>") utf16 += {c, '\0'};
  for (const std::string& document :
       {"<r>" + text + "</r>",
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>" + text + "</r>", utf16}) {
    SCOPED_TRACE(document.substr(0, 30));
    recorder_.log.clear();
    SaxStatus status = Parse(document);
    ASSERT_TRUE(status.ok()) << status.message;
    EXPECT_THAT(recorder_.log, ElementsAre("<r", "'" + utf8 + "'", "/r"));
  }
}

TEST_F(SaxReaderTest, ReadsTheEncodingsUsersFilesAreIn) {
  struct Case {
    const char* encoding;
    std::string bytes;  // the text of element a
    std::string utf8;
    bool japanese;
  };
  const Case cases[] = {
      // Code page 932's vendor rows too (circled one at 0x8740), and "ソ",
      // whose second byte is the ASCII backslash.
      {"Shift_JIS", "\x93\xFA\x96\x7B\x87\x40\x83\x5C",
       "\xE6\x97\xA5\xE6\x9C\xAC\xE2\x91\xA0\xE3\x82\xBD", true},
      // Two- and three-byte sequences (JIS X 0212 behind 0x8F).
      {"EUC-JP", "\xC6\xFC\x8E\xB1\x8F\xB0\xA1", "\xE6\x97\xA5\xEF\xBD\xB1\xE4\xB8\x82", true},
      {"windows-1252", "\x80 caf\xE9", "\xE2\x82\xAC caf\xC3\xA9", false},
      {"us-ascii", "plain", "plain", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoding);
    recorder_.log.clear();
    SaxStatus status = Parse(std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding +
                             "\"?><r><a k=\"" + c.bytes + "\">" + c.bytes + "</a></r>");
    if (::vorela::testing::RunningUnderWine() && c.japanese) {
      // Wine deviation: Wine's reader refuses these encodings, which Windows
      // reads. Under Wine the document counts as malformed.
      EXPECT_EQ(status.outcome, SaxOutcome::kDocumentError);
      continue;
    }
    ASSERT_TRUE(status.ok()) << status.message;
    EXPECT_THAT(recorder_.log, ElementsAre("<r", "<a", "'" + c.utf8 + "'", "/a", "/r"));
  }
  // Bytes the encoding does not have, and names no converter knows.
  recorder_.log.clear();
  EXPECT_EQ(Parse("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r>\x85\x40"
                  "</r>")
                .outcome,
            SaxOutcome::kDocumentError);
  EXPECT_EQ(Parse("<?xml version=\"1.0\" encoding=\"x-no-such\"?><r/>").outcome,
            SaxOutcome::kDocumentError);
  // An encoding whose sequences have no fixed length (UTF-7) is refused, and
  // finding that out takes no time.
  EXPECT_EQ(Parse("<?xml version=\"1.0\" encoding=\"UTF-7\"?><r>+AGE-</r>").outcome,
            SaxOutcome::kDocumentError);
}

TEST_F(SaxReaderTest, AHandlerStopsTheParseWithItsNumber) {
  recorder_.stop_after = 2;
  SaxStatus status = Parse("<r><a>text</a><b/></r>");
  EXPECT_EQ(status.outcome, SaxOutcome::kStoppedByHandler);
  EXPECT_EQ(status.number, 55);
  EXPECT_EQ(recorder_.element_calls, 2);  // nothing after the stop
  EXPECT_EQ(recorder_.fatal_errors, 0);
}

TEST_F(SaxReaderTest, MalformedDocumentsReportWhereTheyFail) {
  SaxStatus status = Parse("<r>\n<a>\n</b></r>");
  EXPECT_EQ(status.outcome, SaxOutcome::kDocumentError);
  EXPECT_NE(status.number, 0);
  EXPECT_EQ(recorder_.fatal_errors, 1);
  EXPECT_EQ(recorder_.fatal_where.line, 3);
  EXPECT_GT(recorder_.fatal_where.column, 0);
  EXPECT_EQ(status.where.line, 3);

  // An empty file fails; the Windows reader does not say whether as unreadable
  // or as malformed.
  EXPECT_FALSE(Parse("").ok());
  for (const char* bad : {"<r>", "<r></r><r/>", "<r>&undefined;</r>", "\xFF\xFE<"}) {
    SCOPED_TRACE(bad);
    SaxStatus s = Parse(bad);
    EXPECT_EQ(s.outcome, SaxOutcome::kDocumentError) << std::hex << s.number << " " << s.message;
  }
}

TEST_F(SaxReaderTest, AMissingFileIsAReadError) {
  SaxStatus status = SystemSaxReader().Parse(scratch_.Join("none.xml"), recorder_, recorder_);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.number, 0);
  EXPECT_EQ(recorder_.element_calls, 0);
}

}  // namespace
}  // namespace vorela
