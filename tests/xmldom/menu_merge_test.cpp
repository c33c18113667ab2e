#include "menu/menu_merge.h"

#include "xmldom/xml_files_fixture.h"

namespace vorela {
namespace {

class MergeTest : public XmlFilesTest {
 protected:
  MergeTest()
      : paths_(MakeDataFilePaths("C:\\windows\\system32",
                                 "C:\\users\\u\\AppData\\Roaming")) {
    menu_.ID = "P1001";
    menu_.SNAME = "Search";
    menu_.ICON = "s.ico";
    menu_.HINT = "a||b";
    menu_.IE = "1";
    menu_.PMENUID = "P1";
    menu_.PDISPNAME = "Provider";
    menu_.PICON = "p.ico";
    menu_.CID = "C1";
    menu_.CNAME = "Category";
    menu_.CICON = "c.ico";
  }

  DataFilePaths paths_;
  MenuRecord menu_;
};

TEST_F(MergeTest, WithoutFolderOrFilesEachMergeWritesJustTheNewElement) {
  MergeWebMenu(platform_, menu_, paths_);
  MergeCategory(platform_, menu_, paths_);
  menu_.ID = "0001";
  MergeWebMain(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu),
            "<xmlroot><PROV><DISPNAME>Provider</DISPNAME><ICON>p.ico</"
            "ICON><MENUID>P1</MENUID>"
            "<menu><DISPNAME>Search</DISPNAME><HINT>a||b</HINT><ICON>s.ico</"
            "ICON><IE>1</IE>"
            "<MENUID>P1001</MENUID><CATEGORY>C1</CATEGORY><KEYNO>0</KEYNO></"
            "menu></PROV>"
            "</xmlroot>\n");
  EXPECT_EQ(files_.Contents(paths_.iniCategory),
            "<xmlroot><menu><DISPNAME>Category</DISPNAME><ICON>c.ico</"
            "ICON><MENUID>C1</MENUID>"
            "</menu></xmlroot>\n");
  EXPECT_EQ(files_.Contents(paths_.iniWebMain),
            "<xmlroot><menu><DISPNAME>Search</DISPNAME><HINT>a||b</"
            "HINT><ICON>s.ico</ICON>"
            "<IE>1</IE><MENUID>0001</MENUID><CATEGORY>C1</CATEGORY></menu></"
            "xmlroot>\n");
  EXPECT_EQ(CallsOf("MakeDirectory C:\\users\\u\\AppData\\Roaming\\vorela"), 3);
}

TEST_F(MergeTest, ImportingTwiceUpdatesInPlace) {
  MergeWebMenu(platform_, menu_, paths_);
  MergeCategory(platform_, menu_, paths_);
  const std::string first_menu = files_.Contents(paths_.iniWebMenu);
  const std::string first_category = files_.Contents(paths_.iniCategory);
  MergeWebMenu(platform_, menu_, paths_);
  MergeCategory(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu), first_menu);
  EXPECT_EQ(files_.Contents(paths_.iniCategory), first_category);

  menu_.ID = "0001";
  MergeWebMain(platform_, menu_, paths_);
  menu_.SNAME = "Renamed";
  MergeWebMain(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMain),
            "<xmlroot><menu><DISPNAME>Renamed</DISPNAME><HINT>a||b</"
            "HINT><ICON>s.ico</ICON>"
            "<IE>1</IE><MENUID>0001</MENUID><CATEGORY>C1</CATEGORY></menu></"
            "xmlroot>\n");
}

TEST_F(MergeTest, WebMainUpdateChangesIeWebMenuUpdateKeepsIeAndKeyNo) {
  AddDataFolder();
  files_.AddFile(paths_.iniWebMain,
                 "<xmlroot><menu><DISPNAME>x</DISPNAME><IE>0</IE><MENUID>0001</"
                 "MENUID></menu>"
                 "</xmlroot>");
  files_.AddFile(
      paths_.iniWebMenu,
      "<xmlroot><PROV><DISPNAME>A</DISPNAME><ICON/><MENUID>P1</MENUID>"
      "<menu><DISPNAME>old</DISPNAME><HINT/><ICON/><IE>0</IE><MENUID>P1001</"
      "MENUID>"
      "<CATEGORY/><KEYNO>7</KEYNO></menu></PROV></xmlroot>");
  MergeWebMenu(platform_, menu_, paths_);
  menu_.ID = "0001";
  MergeWebMain(platform_, menu_, paths_);
  // A missing child is not created by an update (webmain.xml had no HINT).
  EXPECT_EQ(files_.Contents(paths_.iniWebMain),
            "<xmlroot><menu><DISPNAME>Search</DISPNAME><IE>1</IE><MENUID>0001</"
            "MENUID></menu>"
            "</xmlroot>\n");
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu),
            "<xmlroot><PROV><DISPNAME>Provider</DISPNAME><ICON>p.ico</"
            "ICON><MENUID>P1</MENUID>"
            "<menu><DISPNAME>Search</DISPNAME><HINT>a||b</HINT><ICON>s.ico</"
            "ICON><IE>0</IE>"
            "<MENUID>P1001</MENUID><CATEGORY>C1</CATEGORY><KEYNO>7</KEYNO></"
            "menu></PROV>"
            "</xmlroot>\n");
}

TEST_F(MergeTest, MenuStaysUnderItsProviderWhileTheNamedProviderIsCreated) {
  AddDataFolder();
  files_.AddFile(paths_.iniWebMenu,
                 "<xmlroot>\n  <PROV>\n    <DISPNAME>A</DISPNAME>\n    "
                 "<MENUID>PA</MENUID>\n"
                 "    <menu><MENUID>P1001</MENUID><KEYNO>3</KEYNO></menu>\n  "
                 "</PROV>\n</xmlroot>\n");
  menu_.PMENUID = "PB";
  MergeWebMenu(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu),
            "<xmlroot><PROV><DISPNAME>A</DISPNAME><MENUID>PA</MENUID>"
            "<menu><MENUID>P1001</MENUID><KEYNO>3</KEYNO></menu></PROV>"
            "<PROV><DISPNAME>Provider</DISPNAME><ICON>p.ico</ICON><MENUID>PB</"
            "MENUID></PROV>"
            "</xmlroot>\n");
}

TEST_F(MergeTest, NewElementsGoAfterExistingOnesOfTheirParent) {
  AddDataFolder();
  files_.AddFile(paths_.iniWebMenu,
                 "<xmlroot><PROV><MENUID>P1</MENUID><menu><MENUID>P1000</"
                 "MENUID></menu></PROV>"
                 "<PROV><MENUID>P2</MENUID></PROV><other/></xmlroot>");
  files_.AddFile(paths_.iniCategory,
                 "<xmlroot><menu><MENUID>C0</MENUID></menu><tail/></xmlroot>");
  MergeWebMenu(platform_, menu_, paths_);
  MergeCategory(platform_, menu_, paths_);
  EXPECT_EQ(
      files_.Contents(paths_.iniWebMenu),
      "<xmlroot><PROV><MENUID>P1</MENUID><menu><MENUID>P1000</MENUID></menu>"
      "<menu><DISPNAME>Search</DISPNAME><HINT>a||b</HINT><ICON>s.ico</"
      "ICON><IE>1</IE>"
      "<MENUID>P1001</MENUID><CATEGORY>C1</CATEGORY><KEYNO>0</KEYNO></menu></"
      "PROV>"
      "<PROV><MENUID>P2</MENUID></PROV><other/></xmlroot>\n");
  EXPECT_EQ(files_.Contents(paths_.iniCategory),
            "<xmlroot><menu><MENUID>C0</MENUID></menu><tail/"
            "><menu><DISPNAME>Category</DISPNAME>"
            "<ICON>c.ico</ICON><MENUID>C1</MENUID></menu></xmlroot>\n");
}

TEST_F(MergeTest, SearchMatchesADirectMenuIdChildExactly) {
  AddDataFolder();
  files_.AddFile(
      paths_.iniCategory,
      "<xmlroot><menu><X><MENUID>C1</MENUID></X></menu><menu><MENUID>c1</"
      "MENUID></menu>"
      "<menu><DISPNAME>keep</DISPNAME><MENUID>C1</MENUID></menu>"
      "<menu><DISPNAME>second</DISPNAME><MENUID>C1</MENUID></menu></xmlroot>");
  MergeCategory(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniCategory),
            "<xmlroot><menu><X><MENUID>C1</MENUID></X></menu><menu><MENUID>c1</"
            "MENUID></menu>"
            "<menu><DISPNAME>Category</DISPNAME><MENUID>C1</MENUID></menu>"
            "<menu><DISPNAME>second</DISPNAME><MENUID>C1</MENUID></menu></"
            "xmlroot>\n");
}

TEST_F(MergeTest, JapaneseTextIsWrittenAsUtf8) {
  menu_.SNAME = "\xE6\xA4\x9C\xE7\xB4\xA2";
  menu_.HINT = "\xE3\x83\x92\xE3\x83\xB3\xE3\x83\x88||<&>";
  MergeWebMenu(platform_, menu_, paths_);
  std::unique_ptr<XmlDocument> doc = SystemXmlDom().CreateDocument();
  ASSERT_EQ(doc->Load(files_, paths_.iniWebMenu), XmlLoadResult::kLoaded);
  XmlNode menu = FindMenuElement(*doc, "menu", "P1001");
  EXPECT_EQ(menu.SelectSingleNode("DISPNAME").Text(), menu_.SNAME);
  EXPECT_EQ(menu.SelectSingleNode("HINT").Text(), menu_.HINT);
  EXPECT_NE(files_.Contents(paths_.iniWebMenu).find("||&lt;&amp;&gt;</HINT>"),
            std::string::npos);
}

TEST_F(MergeTest, FileWithoutXmlRootIsSavedUnchanged) {
  AddDataFolder();
  files_.AddFile(paths_.iniWebMenu, "<other>\n  <x>1</x>\n</other>\n");
  files_.AddFile(paths_.iniWebMain, "<other/>");
  MergeWebMenu(platform_, menu_, paths_);
  menu_.ID = "0001";
  MergeWebMain(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu), "<other><x>1</x></other>\n");
  EXPECT_EQ(files_.Contents(paths_.iniWebMain), "<other/>\n");
}

TEST_F(MergeTest, UnparseableTargetIsKeptBesideTheNewFile) {
  AddDataFolder();
  const std::string broken = "<xmlroot><PROV><MENUID>P1</MENUID>";  // cut short
  files_.AddFile(paths_.iniWebMenu, broken);
  MergeWebMenu(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu + ".unreadable"), broken);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu)
                .rfind("<xmlroot><PROV><DISPNAME>Provider", 0),
            0u);

  // A later broken file never replaces the copy kept earlier.
  files_.AddFile(paths_.iniWebMenu, "second broken");
  MergeWebMenu(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu + ".unreadable"), broken);
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu + ".unreadable-2"),
            "second broken");
}

TEST_F(MergeTest, TargetIsLeftAloneWhenItCannotBeReadOrKept) {
  AddDataFolder();
  files_.AddFile(paths_.iniCategory, "<xmlroot><menu>");
  files_.FailOn("WriteAtomic", paths_.iniCategory + ".unreadable",
                kErrorDiskFull);
  MergeCategory(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniCategory), "<xmlroot><menu>");

  files_.AddFile(paths_.iniWebMain, "<xmlroot/>");
  files_.FailOn("ReadAll", paths_.iniWebMain, kErrorSharingViolation);
  menu_.ID = "0001";
  MergeWebMain(platform_, menu_, paths_);
  EXPECT_EQ(files_.Contents(paths_.iniWebMain), "<xmlroot/>");
  EXPECT_EQ(CallsOf("WriteAtomic " + paths_.iniWebMain), 0);
}

TEST_F(MergeTest, FailedSaveLeavesThePreviousFile) {
  AddDataFolder();
  files_.AddFile(paths_.iniWebMenu, "<xmlroot/>");
  files_.FailOn("WriteAtomic", paths_.iniWebMenu, kErrorDiskFull);
  MergeWebMenu(platform_, menu_, paths_);  // reports nothing
  EXPECT_EQ(files_.Contents(paths_.iniWebMenu), "<xmlroot/>");
}

}  // namespace
}  // namespace vorela
