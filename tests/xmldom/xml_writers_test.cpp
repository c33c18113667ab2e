#include "cleaner/xml_writers.h"

#include "common/error.h"
#include "xmldom/xml_files_fixture.h"

namespace vorela {
namespace {

class WritersTest : public XmlFilesTest {
 protected:
  static MenuItemRecord Row(const char* disp, const char* icon,
                            const char* id) {
    MenuItemRecord r;
    r.DispName = disp;
    r.Icon = icon;
    r.MenuId = id;
    return r;
  }
  static MenuItemRecord Item(const char* id, const char* keyno) {
    MenuItemRecord r = Row("d", "i", id);
    r.KeyNo = keyno;
    r.Hint = "h";
    r.Ie = "1";
    r.Category = "c";
    return r;
  }
};

TEST_F(WritersTest, ReadXmlValueTakesTheFirstAndGivesEmptyOnAnyFailure) {
  AddDataFolder();
  const std::string file = DataFile("vorela.xml");
  files_.AddFile(
      file,
      "<xmlroot><WIDTH> 300 </WIDTH><WIDTH>2</WIDTH><x><H>n</H></x></xmlroot>");
  EXPECT_EQ(ReadXmlValue(platform_, "WIDTH", file), "300");
  EXPECT_EQ(ReadXmlValue(platform_, "H", file), "");
  EXPECT_EQ(ReadXmlValue(platform_, "width", file), "");
  EXPECT_EQ(ReadXmlValue(platform_, "WIDTH", DataFile("missing.xml")), "");
  EXPECT_EQ(ReadXmlValue(platform_, "bad key", file), "");
  files_.AddFile(file, "<root><WIDTH>1</WIDTH></root>");
  EXPECT_EQ(ReadXmlValue(platform_, "WIDTH", file), "");
  files_.AddFile(file, "<xmlroot><WIDTH>1</WIDTH>");
  EXPECT_EQ(ReadXmlValue(platform_, "WIDTH", file), "");
}

TEST_F(WritersTest, NumberedListsCountFromOneWithTwoDigits) {
  AddDataFolder();
  std::vector<std::string> list;
  for (int i = 1; i <= 12; ++i) list.push_back("e" + std::to_string(i));
  WriteNumberedList(platform_, "HISTORY", DataFile("history.xml"), list);
  std::string expected = "<xmlroot>";
  for (int i = 1; i <= 12; ++i) {
    std::string n = (i < 10 ? "0" : "") + std::to_string(i);
    expected +=
        "<HISTORY" + n + ">e" + std::to_string(i) + "</HISTORY" + n + ">";
  }
  EXPECT_EQ(files_.Contents(DataFile("history.xml")),
            expected + "</xmlroot>\n");

  WriteNumberedList(platform_, "COMMAND", DataFile("command.xml"), {});
  EXPECT_EQ(files_.Contents(DataFile("command.xml")), "<xmlroot/>\n");
}

TEST_F(WritersTest, CategoryFileFromRows) {
  AddDataFolder();
  files_.AddFile(DataFile("category.xml"),
                 "<xmlroot><menu><MENUID>old</MENUID></menu></xmlroot>");
  WriteCategoryFile(platform_, kDataFolder,
                    {Row("\xE6\x97\xA5", "a.ico", "C1"), Row("", "", "")});
  EXPECT_EQ(files_.Contents(DataFile("category.xml")),
            "<xmlroot><menu><DISPNAME>\xE6\x97\xA5</DISPNAME><ICON>a.ico</"
            "ICON><MENUID>C1</MENUID>"
            "</menu><menu><DISPNAME/><ICON/><MENUID/></menu></xmlroot>\n");
}

TEST_F(WritersTest, WebMenuFileGroupsItemsByTheTwoCharacterPrefix) {
  AddDataFolder();
  std::vector<MenuItemRecord> providers = {
      Row("A", "a.ico", "AA"), Row("empty", "", "BB"), Row("A again", "", "AA"),
      Row("long", "", "AAX")};
  std::vector<MenuItemRecord> items = {
      Item("AA00", "9"),  // index 0 is never read
      Item("AA01", "1"), Item("ZZ01", "2"), Item("A", "3")};
  WriteWebMenuFile(platform_, kDataFolder, providers, items);
  const std::string item =
      "<menu><DISPNAME>d</DISPNAME><HINT>h</HINT><ICON>i</ICON><IE>1</"
      "IE><MENUID>AA01</MENUID>"
      "<KEYNO>1</KEYNO><CATEGORY>c</CATEGORY></menu>";
  EXPECT_EQ(files_.Contents(DataFile("webmenu.xml")),
            "<xmlroot><PROV><DISPNAME>A</DISPNAME><ICON>a.ico</"
            "ICON><MENUID>AA</MENUID>" +
                item +
                "</PROV><PROV><DISPNAME>empty</DISPNAME><ICON/><MENUID>BB</"
                "MENUID></PROV>"
                "<PROV><DISPNAME>A again</DISPNAME><ICON/><MENUID>AA</MENUID>" +
                item +
                "</PROV><PROV><DISPNAME>long</DISPNAME><ICON/><MENUID>AAX</"
                "MENUID></PROV>"
                "</xmlroot>\n");
}

TEST_F(WritersTest, WebMenuPrefixCountsCharactersNotBytes) {
  AddDataFolder();
  WriteWebMenuFile(
      platform_, kDataFolder, {Row("j", "", "\xE6\x97\xA5\xE6\x9C\xAC")},
      {MenuItemRecord{}, Item("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "1")});
  EXPECT_NE(files_.Contents(DataFile("webmenu.xml")).find("<menu>"),
            std::string::npos);
}

TEST_F(WritersTest, FailedSaveThrowsAndKeepsTheOldFile) {
  // No data folder: the save fails, the error reaches the caller.
  EXPECT_THROW(
      WriteNumberedList(platform_, "HISTORY", DataFile("history.xml"), {"a"}),
      Error);
  EXPECT_FALSE(files_.HasFile(DataFile("history.xml")));

  AddDataFolder();
  const std::string old = "<xmlroot><menu><MENUID>C0</MENUID></menu></xmlroot>";
  files_.AddFile(DataFile("category.xml"), old);
  files_.FailOn("WriteAtomic", DataFile("category.xml"), kErrorDiskFull);
  EXPECT_THROW(WriteCategoryFile(platform_, kDataFolder, {Row("x", "", "C1")}),
               Error);
  EXPECT_EQ(files_.Contents(DataFile("category.xml")), old);
  files_.AddFile(DataFile("webmenu.xml"), old);
  files_.FailOn("WriteAtomic", DataFile("webmenu.xml"), kErrorDiskFull);
  EXPECT_THROW(
      WriteWebMenuFile(platform_, kDataFolder, {Row("x", "", "C1")}, {}),
      Error);
  EXPECT_EQ(files_.Contents(DataFile("webmenu.xml")), old);
}

}  // namespace
}  // namespace vorela
