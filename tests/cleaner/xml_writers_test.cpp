// The cleaner's settings-list writer against SetXml, on the build's own
// document service and an in-memory disk: a list written in one save must
// leave the file exactly as setting its values one by one would.
#include "cleaner/xml_writers.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/error.h"
#include "common/set_xml.h"
#include "fakes/fake_file_system.h"

namespace vorela {
namespace {

constexpr char kFolder[] = "C:\\data";
constexpr char kSettings[] = "C:\\data\\vorela.xml";
constexpr char kPhrases[] = "C:\\data\\phrase.xml";

class SettingsList : public ::testing::Test {
 protected:
  Platform PlatformOn(testing::FakeFileSystem& files) {
    Platform p;
    p.text = &SystemTextCodec();
    p.files = &files;
    p.xml = &SystemXmlDom();
    return p;
  }
  const SettingsLocation where_{kSettings, kFolder};
  const std::vector<std::pair<std::string, std::string>> values_{
      {"WORD1", "one"}, {"WORD2", ""}, {"WORD3", "three"}, {"WORD1", "again"}};
};

TEST_F(SettingsList, WritesWhatSetXmlWouldValueByValue) {
  const char* starts[] = {
      nullptr,                                                   // no file yet
      "<xmlroot><WORD2>old</WORD2><KEEP>k</KEEP></xmlroot>",     // replaced in place
      "<xmlroot><WORD3>a</WORD3><WORD3>b</WORD3></xmlroot>",     // the first one only
      "<xmlroot/>",                                              // appended
  };
  for (const char* start : starts) {
    SCOPED_TRACE(start ? start : "(no file)");
    testing::FakeFileSystem one_by_one, together;
    for (testing::FakeFileSystem* files : {&one_by_one, &together}) {
      files->AddDirectory(kFolder);
      if (start) files->AddFile(kPhrases, start);
    }
    for (const auto& [key, text] : values_) {
      SetXml(PlatformOn(one_by_one), key, text, kPhrases, where_);
    }
    WriteSettingsList(PlatformOn(together), kPhrases, values_, where_);
    EXPECT_EQ(together.Contents(kPhrases), one_by_one.Contents(kPhrases));
    EXPECT_EQ(together.HasFile(kSettings), false);
  }
}

TEST_F(SettingsList, AFileThatDoesNotParseIsKeptAsideFirst) {
  testing::FakeFileSystem files;
  files.AddDirectory(kFolder);
  files.AddFile(kPhrases, "<xmlroot><WORD1>");
  WriteSettingsList(PlatformOn(files), kPhrases, {{"WORD1", "x"}}, where_);
  EXPECT_EQ(files.Contents(std::string(kPhrases) + ".unreadable"), "<xmlroot><WORD1>");
  EXPECT_NE(files.Contents(kPhrases).find("<WORD1>x</WORD1>"), std::string::npos);
}

TEST_F(SettingsList, FailsWhereNothingCouldBeWritten) {
  {
    testing::FakeFileSystem files;  // no data folder, and none can be made
    files.FailOn("MakeDirectory", kFolder, kErrorAccessDenied);
    EXPECT_THROW(WriteSettingsList(PlatformOn(files), kPhrases, values_, where_), Error);
    EXPECT_FALSE(files.HasFile(kPhrases));
  }
  {
    testing::FakeFileSystem files;  // a document without xmlroot is not the list's
    files.AddDirectory(kFolder);
    files.AddFile(kPhrases, "<other/>");
    EXPECT_THROW(WriteSettingsList(PlatformOn(files), kPhrases, values_, where_), Error);
    EXPECT_EQ(files.Contents(kPhrases), "<other/>");
  }
  {
    testing::FakeFileSystem files;  // the save itself fails
    files.AddDirectory(kFolder);
    files.AddFile(kPhrases, "<xmlroot/>");
    files.FailOn("WriteAtomic", kPhrases, kErrorDiskFull);
    EXPECT_THROW(WriteSettingsList(PlatformOn(files), kPhrases, values_, where_), Error);
    EXPECT_EQ(files.Contents(kPhrases), "<xmlroot/>");
  }
}

}  // namespace
}  // namespace vorela
