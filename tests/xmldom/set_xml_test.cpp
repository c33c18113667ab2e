#include "common/set_xml.h"

#include "xmldom/xml_files_fixture.h"

namespace vorela {
namespace {

class SetXmlTest : public XmlFilesTest {
 protected:
  void Set(const char* key, const char* text, const std::string& file) {
    SetXml(platform_, key, text, file, {settings_, kDataFolder});
  }
  const std::string settings_ = DataFile("vorela.xml");
};

TEST_F(SetXmlTest, ReplacesTheFirstElementsTextAndAddsNothing) {
  AddDataFolder();
  files_.AddFile(settings_,
                 "<xmlroot>\n\t<WIDTH>300</WIDTH>\n\t<MENUADD>0</"
                 "MENUADD>\n\t<MENUADD>2</MENUADD>\n"
                 "\t<OTHER a=\"1\">keep</OTHER>\n</xmlroot>\n");
  Set("MENUADD", "1", settings_);
  EXPECT_EQ(
      files_.Contents(settings_),
      "<xmlroot><WIDTH>300</WIDTH><MENUADD>1</MENUADD><MENUADD>2</MENUADD>"
      "<OTHER a=\"1\">keep</OTHER></xmlroot>\n");
  EXPECT_EQ(CallsOf("MakeDirectory C:\\users\\u\\AppData\\Roaming\\vorela"), 0);
}

TEST_F(SetXmlTest, AppendsAMissingElementAtTheEndOfXmlRoot) {
  AddDataFolder();
  files_.AddFile(
      settings_,
      "<xmlroot><WIDTH>300</WIDTH><x><CALC10>nested</CALC10></x></xmlroot>");
  Set("CALC10", "\xE8\xA8\x88\xE7\xAE\x97", settings_);
  EXPECT_EQ(files_.Contents(settings_),
            "<xmlroot><WIDTH>300</WIDTH><x><CALC10>nested</CALC10></x>"
            "<CALC10>\xE8\xA8\x88\xE7\xAE\x97</CALC10></xmlroot>\n");
}

TEST_F(SetXmlTest, CreatesFolderAndFileWhenTheSettingsFileIsMissing) {
  Set("CALC10", "5", settings_);
  EXPECT_EQ(files_.Contents(settings_),
            "<xmlroot><CALC10>5</CALC10></xmlroot>\n");
  // The folder test is on vorela.xml, whichever file is written.
  Set("WORD1", "a", DataFile("phrase.xml"));
  EXPECT_EQ(CallsOf("MakeDirectory C:\\users\\u\\AppData\\Roaming\\vorela"), 1);
  files_.Delete(settings_);
  Set("WORD2", "b", DataFile("phrase.xml"));
  EXPECT_EQ(CallsOf("MakeDirectory C:\\users\\u\\AppData\\Roaming\\vorela"), 2);
  EXPECT_EQ(files_.Contents(DataFile("phrase.xml")),
            "<xmlroot><WORD1>a</WORD1><WORD2>b</WORD2></xmlroot>\n");
}

TEST_F(SetXmlTest, FileWithoutXmlRootIsSavedBackUnchanged) {
  AddDataFolder();
  files_.AddFile(settings_, "<settings>\n  <WIDTH>1</WIDTH>\n</settings>");
  Set("MENUADD", "1", settings_);
  EXPECT_EQ(files_.Contents(settings_),
            "<settings><WIDTH>1</WIDTH></settings>\n");
}

TEST_F(SetXmlTest, UnparseableFileIsKeptAndANewOneWritten) {
  AddDataFolder();
  files_.AddFile(settings_, "<xmlroot><WIDTH>300</WIDTH>");
  Set("MENUADD", "1", settings_);
  EXPECT_EQ(files_.Contents(settings_ + ".unreadable"),
            "<xmlroot><WIDTH>300</WIDTH>");
  EXPECT_EQ(files_.Contents(settings_),
            "<xmlroot><MENUADD>1</MENUADD></xmlroot>\n");
}

TEST_F(SetXmlTest, FailuresLeaveTheFileAsItWas) {
  AddDataFolder();
  files_.AddFile(settings_, "<xmlroot><A>1</A></xmlroot>");
  files_.FailOn("WriteAtomic", settings_, kErrorAccessDenied);
  Set("A", "2", settings_);
  EXPECT_EQ(files_.Contents(settings_), "<xmlroot><A>1</A></xmlroot>");
  // A key that is no element name changes nothing either.
  files_.AddFile(DataFile("phrase.xml"), "<xmlroot/>");
  Set("not a name", "x", DataFile("phrase.xml"));
  EXPECT_EQ(files_.Contents(DataFile("phrase.xml")), "<xmlroot/>\n");
}

}  // namespace
}  // namespace vorela
