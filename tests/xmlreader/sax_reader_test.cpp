// The SAX seam's contract, run against the reader of each build.
#include "platform/sax_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch.h"

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

  SaxResult StartElement(std::string_view uri,
                         std::string_view local) override {
    Flush();
    log.push_back("<" + std::string(local) +
                  (uri.empty() ? "" : "@" + std::string(uri)));
    return Count();
  }
  SaxResult EndElement(std::string_view, std::string_view local) override {
    Flush();
    log.push_back("/" + std::string(local));
    return Count();
  }
  SaxResult Characters(std::string_view text) override {
    run_.append(text);
    return kSaxContinue;
  }
  SaxResult RecoverableError(const SaxLocation&, std::string_view,
                             std::int32_t code) override {
    return code;
  }
  SaxResult FatalError(const SaxLocation& where, std::string_view,
                       std::int32_t code) override {
    ++fatal_errors;
    fatal_where = where;
    return code;
  }
  SaxResult IgnorableWarning(const SaxLocation&, std::string_view,
                             std::int32_t) override {
    return kSaxContinue;
  }

 private:
  void Flush() {
    if (!run_.empty()) log.push_back("'" + run_ + "'");
    run_.clear();
  }
  SaxResult Count() {
    return ++element_calls == stop_after ? 55 : kSaxContinue;
  }
  std::string run_;
};

class SaxReaderTest : public ::testing::Test {
 protected:
  SaxStatus Parse(const std::string& document) {
    testing::WriteNativeFile(scratch_.NativeJoin("doc.xml"), document);
    return SystemSaxReader().Parse(scratch_.Join("doc.xml"), recorder_,
                                   recorder_);
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
  EXPECT_THAT(recorder_.log, ElementsAre("<root@urn:x", "<a", "'1 & A\n2'",
                                         "/a", "' '", "<b", "/b", "/root"));
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
  for (const char* bad :
       {"<r>", "<r></r><r/>", "<r>&undefined;</r>", "\xFF\xFE<"}) {
    SCOPED_TRACE(bad);
    SaxStatus s = Parse(bad);
    EXPECT_EQ(s.outcome, SaxOutcome::kDocumentError)
        << std::hex << s.number << " " << s.message;
  }
}

TEST_F(SaxReaderTest, AMissingFileIsAReadError) {
  SaxStatus status =
      SystemSaxReader().Parse(scratch_.Join("none.xml"), recorder_, recorder_);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.number, 0);
  EXPECT_EQ(recorder_.element_calls, 0);
}

}  // namespace
}  // namespace vorela
