// The parser's walk over reader calls that a file cannot produce on every
// build: text cut at arbitrary places and runs of "\r\n".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaner/xml_file_parser.h"
#include "fakes/fake_file_system.h"

namespace vorela {
namespace {

using ::testing::ElementsAre;
using Event = std::pair<std::string, std::string>;

// Replays a script: "<name" starts an element, "/name" ends one, anything
// else is a text chunk. Records how far it got, to show where events ran.
class ScriptedReader : public SaxReader {
 public:
  std::vector<std::string> script;
  std::size_t delivered = 0;

  SaxStatus Parse(std::string_view, SaxContentHandler& content,
                  SaxErrorHandler&) override {
    SaxStatus status;
    for (delivered = 0; delivered < script.size(); ++delivered) {
      const std::string& step = script[delivered];
      SaxResult result;
      if (step.size() > 1 && step[0] == '<') {
        result = content.StartElement("", std::string_view(step).substr(1));
      } else if (step.size() > 1 && step[0] == '/') {
        result = content.EndElement("", std::string_view(step).substr(1));
      } else {
        result = content.Characters(step);
      }
      if (result != kSaxContinue) {
        status.outcome = SaxOutcome::kStoppedByHandler;
        status.number = result;
        return status;
      }
    }
    return status;
  }
};

class ScriptedReaderTest : public ::testing::Test {
 protected:
  ScriptedReaderTest() {
    files_.AddFile("C:\\doc.xml", "");
    platform_.files = &files_;
    platform_.sax = &reader_;
  }

  std::vector<Event> Run(std::vector<std::string> script,
                         std::vector<std::string> paths) {
    reader_.script = std::move(script);
    std::vector<Event> events;
    clsXMLFileParser parser(platform_);
    parser.SetXMLNodeHandler(
        [&](const std::string& path, const std::string& content) {
          events.emplace_back(path, content);
          delivered_at_.push_back(reader_.delivered);
        });
    parser.ParseXMLFile("C:\\doc.xml", paths);
    return events;
  }

  testing::FakeFileSystem files_;
  ScriptedReader reader_;
  Platform platform_;
  std::vector<std::size_t> delivered_at_;
};

TEST_F(ScriptedReaderTest, ARunOfExactlyCrLfIsDroppedHoweverItIsCut) {
  EXPECT_THAT(Run({"<r",   "<x",   "\r\n", "/x",    "<x", "\r", "\n",
                   "<b",   "\r\n", "/b",   "\r\n",  "/x", "<x", "a",
                   "\r\n", "/x",   "<x",   "\r\n ", "/x", "/r"},
                  {"r\\x"}),
              ElementsAre(Event{"r\\x", ""}, Event{"r\\x", "<b></b>"},
                          Event{"r\\x", "a\r\n"}, Event{"r\\x", "\r\n "}));
}

TEST_F(ScriptedReaderTest, EventsAreRaisedFromInsideTheEndElementCall) {
  Run({"<r", "<x", "1", "/x", "<x", "2", "/x", "/r"}, {"r\\x"});
  EXPECT_THAT(delivered_at_, ElementsAre(3u, 6u));
}

TEST_F(ScriptedReaderTest,
       SkipsEndAtTheFirstEndTagOfTheirNameWithoutCountingDepth) {
  // The inner </k> ends the skip, so the following x is seen at the level of r.
  EXPECT_THAT(Run({"<r", "<k", "<k", "/k", "<x", "1", "/x", "/k", "<x", "2",
                   "/x", "/r"},
                  {"r\\x"}),
              ElementsAre(Event{"r\\x", "1"}, Event{"r\\x", "2"}));
}

}  // namespace
}  // namespace vorela
