// Runs clsXMLFileParser over documents written to a scratch folder, with the
// build's real SAX reader and file system, and records the events.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cleaner/xml_file_parser.h"
#include "common/error.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vorela::testing {

using Event = std::pair<std::string, std::string>;
using Events = std::vector<Event>;

class ParseFixture : public ::testing::Test {
 protected:
  ParseFixture() {
    platform_.files = &SystemFileSystem();
    platform_.sax = &SystemSaxReader();
  }

  // Writes the document as the file `name` and returns its Windows-form path.
  std::string Write(const std::string& document,
                    const std::string& name = "doc.xml") {
    WriteNativeFile(scratch_.NativeJoin(name), document);
    return scratch_.Join(name);
  }

  // Parses the document for paths; the events, or a test failure on an error.
  Events Parse(const std::string& document,
               const std::vector<std::string>& paths) {
    Events events;
    clsXMLFileParser parser(platform_);
    parser.SetXMLNodeHandler(
        [&](const std::string& path, const std::string& content) {
          events.emplace_back(path, content);
        });
    try {
      parser.ParseXMLFile(Write(document), paths);
    } catch (const Error& e) {
      ADD_FAILURE() << "unexpected error " << e.Number() << " " << e.Source()
                    << ": " << e.Description();
    }
    return events;
  }

  // The error that ParseXMLFile raises (a test failure when it raises none).
  Error ParseError(const std::string& file_path,
                   const std::vector<std::string>& paths,
                   Events* events = nullptr) {
    clsXMLFileParser parser(platform_);
    parser.SetXMLNodeHandler(
        [&](const std::string& path, const std::string& content) {
          if (events) events->emplace_back(path, content);
        });
    try {
      parser.ParseXMLFile(file_path, paths);
    } catch (const Error& e) {
      return e;
    }
    ADD_FAILURE() << "no error raised";
    return Error(0, "", "");
  }

  ScratchDir scratch_;
  Platform platform_;
};

}  // namespace vorela::testing
