#include "menu/menu_records.h"

#include "xmldom/xml_files_fixture.h"

namespace vorela {
namespace {

constexpr char kManifest[] = "C:\\work\\menu.xml";

class ManifestTest : public XmlFilesTest {
 protected:
  MenuRecord Read(const std::string& bytes) {
    files_.AddFile(kManifest, bytes);
    return ReadMenuManifest(platform_, kManifest);
  }
};

TEST_F(ManifestTest, FieldsOfTheRootsFirstChildElementByName) {
  MenuRecord menu = Read(
      "<xmlroot>\n  <!-- one menu -->\n  <item>\n"
      "    "
      "<CICON>c.ico</CICON><CNAME>\xE6\xA4\x9C\xE7\xB4\xA2</CNAME><CID>C1</"
      "CID>\n"
      "    "
      "<PICON>p.ico</PICON><PDISPNAME>Prov</PDISPNAME><PMENUID>P1</PMENUID>\n"
      "    "
      "<IE>1</IE><HINT>a||b</HINT><ICON>m.ico</ICON><SNAME>Menu</"
      "SNAME><ID>P1001</ID>\n"
      "  </item>\n  <item><ID>second</ID></item>\n</xmlroot>");
  EXPECT_EQ(menu.ID, "P1001");
  EXPECT_EQ(menu.SNAME, "Menu");
  EXPECT_EQ(menu.ICON, "m.ico");
  EXPECT_EQ(menu.HINT, "a||b");
  EXPECT_EQ(menu.IE, "1");
  EXPECT_EQ(menu.PMENUID, "P1");
  EXPECT_EQ(menu.PDISPNAME, "Prov");
  EXPECT_EQ(menu.PICON, "p.ico");
  EXPECT_EQ(menu.CID, "C1");
  EXPECT_EQ(menu.CNAME, "\xE6\xA4\x9C\xE7\xB4\xA2");
  EXPECT_EQ(menu.CICON, "c.ico");
  EXPECT_FALSE(IsMainWebMenu(menu));
}

TEST_F(ManifestTest, MissingElementsAndMissingMenuGiveEmptyFields) {
  MenuRecord menu =
      Read("<r><m><ID>0042</ID><X><SNAME>nested</SNAME></X></m></r>");
  EXPECT_EQ(menu.ID, "0042");
  EXPECT_EQ(menu.SNAME, "");  // children only
  EXPECT_EQ(menu.HINT, "");
  EXPECT_TRUE(IsMainWebMenu(menu));

  const MenuRecord empty;
  for (const char* bytes : {"<r/>", "<r>text only</r>",
                            "<?xml version=\"1.0\"?><r><m><ID>1</ID></m></r>",
                            "<r><m><ID>1</ID></m>", "not xml"}) {
    MenuRecord m = Read(bytes);
    EXPECT_EQ(m.ID, empty.ID) << bytes;
    EXPECT_EQ(m.SNAME, empty.SNAME) << bytes;
  }
  EXPECT_EQ(ReadMenuManifest(platform_, "C:\\work\\missing.xml").ID, "");
}

TEST(DataFilePathsTest, NamesTheFilesOfTheDataFolder) {
  DataFilePaths p = MakeDataFilePaths("C:\\windows\\system32",
                                      "C:\\users\\u\\AppData\\Roaming");
  EXPECT_EQ(p.iniXml, "C:\\windows\\system32\\loadtv.xml");
  EXPECT_EQ(p.iniPath, "C:\\users\\u\\AppData\\Roaming\\vorela\\");
  EXPECT_EQ(p.iniTolvane, p.iniPath + "vorela.xml");
  EXPECT_EQ(p.iniWord, p.iniPath + "phrase.xml");
  EXPECT_EQ(p.iniSecret, p.iniPath + "secret.xml");
  EXPECT_EQ(p.iniWebMenu, p.iniPath + "webmenu.xml");
}

}  // namespace
}  // namespace vorela
