// Every data file the programs write loads again, whatever the values were
// (control characters from the registry above all), and the edit helpers keep
// what a user's file in another encoding holds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cleaner/legacy_decoding.h"
#include "cleaner/migration.h"
#include "cleaner/xml_writers.h"
#include "common/blowfish.h"
#include "common/set_xml.h"
#include "fakes/fake_registry.h"
#include "support/wine.h"
#include "xmldom/xml_files_fixture.h"

namespace vorela {
namespace {

class WrittenFilesLoad : public XmlFilesTest {
 protected:
  WrittenFilesLoad() {
    platform_.text = &SystemTextCodec();
    platform_.registry = &registry_;
    AddDataFolder();
  }

  // The file at path parses; *doc holds it.
  ::testing::AssertionResult Loads(const std::string& bytes,
                                   std::unique_ptr<XmlDocument>* doc) {
    *doc = SystemXmlDom().CreateDocument();
    if ((*doc)->LoadBytes(bytes)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "does not load: " << bytes;
  }
  std::string Text(const std::string& file, const char* path) {
    std::unique_ptr<XmlDocument> doc;
    EXPECT_TRUE(Loads(files_.Contents(file), &doc));
    return doc ? doc->SelectSingleNode(path).Text() : std::string();
  }
  void Set(const char* key, const std::string& text) {
    SetXml(platform_, key, text, settings_, {settings_, kDataFolder});
  }

  const std::string settings_ = DataFile("vorela.xml");
  testing::FakeRegistry registry_;
};

TEST_F(WrittenFilesLoad, SettingsWithControlCharactersKeepTheFileReadable) {
  Set("CALC16",
      "a\x01"
      "b");
  Set("BORDER", std::string("\x01\0\0\0", 4));  // a DWORD read as bytes
  Set("MENUADD", "1");
  EXPECT_EQ(Text(settings_, "xmlroot/CALC16"), "ab");
  EXPECT_EQ(Text(settings_, "xmlroot/BORDER"), "");
  EXPECT_EQ(Text(settings_, "xmlroot/MENUADD"), "1");
  EXPECT_FALSE(files_.HasFile(settings_ + ".unreadable"));
}

TEST_F(WrittenFilesLoad, ListsAndMenusWithControlCharactersLoadAgain) {
  WriteNumberedList(platform_, "HISTORY", DataFile("history.xml"),
                    {"one\x02", "t\x1Fwo\t"});
  EXPECT_EQ(Text(DataFile("history.xml"), "xmlroot/HISTORY01"), "one");
  EXPECT_EQ(Text(DataFile("history.xml"), "xmlroot/HISTORY02"), "two");

  MenuItemRecord provider;
  provider.DispName = "P\x0B";
  provider.MenuId = "AA";
  MenuItemRecord item;
  item.DispName = "d";
  item.MenuId = "AA01";
  item.Ie = std::string("\x01\0\0\0", 4);
  WriteWebMenuFile(platform_, kDataFolder, {provider},
                   {MenuItemRecord{}, item});
  EXPECT_EQ(Text(DataFile("webmenu.xml"), "xmlroot/PROV/DISPNAME"), "P");
  EXPECT_EQ(Text(DataFile("webmenu.xml"), "xmlroot/PROV/menu/IE"), "");
  EXPECT_EQ(Text(DataFile("webmenu.xml"), "xmlroot/PROV/menu/MENUID"), "AA01");
}

TEST_F(WrittenFilesLoad, TheSecretFileImageDecryptsToADocumentThatLoads) {
  // A legacy secret whose text is "%01" in its stored (escaped) form.
  clsBlowfish cipher(platform_);
  ByteArray value = {'a', '%', '0', '1', 'b'};
  cipher.EncryptByte(value, "mossgate");
  RegKey key = 0;
  ASSERT_EQ(registry_.CreateKey(kHkeyCurrentUser, "SOFTWARE\\VORELA\\SECRET\\s",
                                kKeyAllAccess, &key),
            kErrorSuccess);
  registry_.SetValue(key, "VALUE", kRegBinary, value.data(),
                     static_cast<std::uint32_t>(value.size()));
  registry_.CloseKey(key);

  Migration migration(platform_);
  migration.MigrateSecrets();
  const std::string image = migration.SecretImage();
  ByteArray bytes(image.begin(), image.end());
  clsBlowfish(platform_).DecryptByte(bytes, "mossgate");
  std::unique_ptr<XmlDocument> doc;
  ASSERT_TRUE(Loads(std::string(bytes.begin(), bytes.end()), &doc));
  EXPECT_EQ(doc->SelectSingleNode("xmlroot/secret/text").Text(), "ab");
}

// A settings file written by a Japanese system, declared Shift_JIS.
TEST_F(WrittenFilesLoad, AnEditOfAShiftJisSettingsFileKeepsTheUsersValues) {
  const std::string original =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<xmlroot>"
      "<NAME>\x93\xFA\x96\x7B\x87\x40</NAME><CALC10>7</CALC10></xmlroot>\r\n";
  files_.AddFile(settings_, original);
  Set("MENUADD", "1");
  if (testing::RunningUnderWine()) {
    // Wine deviation: Wine's DOM cannot read Shift_JIS (Windows can), so the
    // edit keeps the user's bytes beside the file and starts afresh.
    EXPECT_EQ(files_.Contents(settings_ + ".unreadable"), original);
    EXPECT_EQ(files_.Contents(settings_),
              "<xmlroot><MENUADD>1</MENUADD></xmlroot>\n");
    return;
  }
  EXPECT_FALSE(files_.HasFile(settings_ + ".unreadable"));
  EXPECT_EQ(files_.Contents(settings_),
            "<?xml version=\"1.0\"?>\n<xmlroot><NAME>\xE6\x97\xA5\xE6\x9C\xAC"
            "\xE2\x91\xA0</NAME><CALC10>7</CALC10><MENUADD>1</MENUADD>"
            "</xmlroot>\n");
  // The next edit reads the saved file as it is.
  Set("CALC10", "8");
  EXPECT_EQ(Text(settings_, "xmlroot/NAME"),
            "\xE6\x97\xA5\xE6\x9C\xAC\xE2\x91\xA0");
  EXPECT_EQ(Text(settings_, "xmlroot/CALC10"), "8");
}

}  // namespace
}  // namespace vorela
