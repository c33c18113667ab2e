#include <gtest/gtest.h>

#include "menu/ie_menus.h"
#include "menu/menu_fixture.h"
#include "menu/menu_modes.h"

namespace vorela::testing {
namespace {

using Modes = MenuFixture;

constexpr char kWebMenu[] = "SOFTWARE\\VORELA\\WEBMENU";

std::string MenuXml(const std::string& id, const std::string& name,
                    const std::string& ie) {
  return "<menu><DISPNAME>" + name +
         "</DISPNAME><HINT>h</HINT><ICON>i.ico</ICON><IE>" + ie +
         "</IE><MENUID>" + id + "</MENUID></menu>";
}

TEST_F(Modes, ResetRenamesTheLegacyWebMenusOnceAndOnlyOnce) {
  registry_.SetString(std::string(kWebMenu) + "\\P1", "DISPNAME", "Yahoo");
  registry_.SetString(std::string(kWebMenu) + "\\P1\\C1", "DISPNAME",
                      "Yahoo(JP) Yahoo(US)");
  registry_.SetString(std::string(kWebMenu) + "\\P2", "DISPNAME", "Wikipedia");
  registry_.SetString(std::string(kWebMenu) + "\\P2\\C1", "DISPNAME",
                      "Wiki(en)");
  registry_.SetString(std::string(kWebMenu) + "\\P3", "DISPNAME", "yahoo");
  registry_.SetString(std::string(kWebMenu) + "\\P3\\C1", "DISPNAME",
                      "Yahoo(x)");
  for (int run = 0; run < 2; ++run) {
    process_.args = "";
    Main(services_, state_);
    EXPECT_EQ(registry_.Text(std::string(kWebMenu) + "\\P1", "DISPNAME"),
              "Yahoo!");
    EXPECT_EQ(registry_.Text(std::string(kWebMenu) + "\\P1\\C1", "DISPNAME"),
              "Yahoo!(JP) Yahoo!(US)");
    EXPECT_EQ(registry_.Text(std::string(kWebMenu) + "\\P2", "DISPNAME"),
              "Wikipedia");
    EXPECT_EQ(registry_.Text(std::string(kWebMenu) + "\\P2\\C1", "DISPNAME"),
              "Wikipedia(en)");
    EXPECT_EQ(registry_.Text(std::string(kWebMenu) + "\\P3\\C1", "DISPNAME"),
              "Yahoo(x)")
        << "names are compared case-sensitively";
  }
  EXPECT_EQ(registry_.Text("SOFTWARE\\VORELA", "MENUADD"), "1");
}

TEST_F(Modes, ResetDeletesTheScriptPagesAndTheToolsEntries) {
  files_.AddDirectory(std::string(kResourceDir) + "\\htm");
  files_.AddFile(std::string(kResourceDir) + "\\htm\\100.htm", "a");
  files_.AddFile(std::string(kResourceDir) + "\\htm\\200.HTM", "b");
  files_.AddFile(std::string(kResourceDir) + "\\htm\\keep.txt", "c");
  files_.AddFile(std::string(kResourceDir) + "\\htm\\locked.htm", "d");
  files_.FailOn("Delete", std::string(kResourceDir) + "\\htm\\locked.htm",
                kErrorAccessDenied);
  AddToolEntry("(&0)A", "100");
  registry_.SetString(Entry("Foreign"), "", "C:\\other.htm");
  EXPECT_FALSE(Main(services_, state_)) << "a page stayed: the reset failed";
  EXPECT_FALSE(files_.HasFile(std::string(kResourceDir) + "\\htm\\100.htm"));
  EXPECT_FALSE(files_.HasFile(std::string(kResourceDir) + "\\htm\\200.HTM"));
  EXPECT_TRUE(files_.HasFile(std::string(kResourceDir) + "\\htm\\keep.txt"));
  EXPECT_TRUE(files_.HasFile(std::string(kResourceDir) + "\\htm\\locked.htm"))
      << "the page that cannot be deleted stays; the others still go";
  EXPECT_EQ(state_.Problems,
            std::vector<std::string>{"Permission denied: " + std::string(kResourceDir) +
                                     "\\htm\\locked.htm"});
  EXPECT_EQ(registry_.SubKeys(kMenuExt), std::vector<std::string>{"Foreign"});
  EXPECT_EQ(registry_.Text("SOFTWARE\\VORELA", "MENUADD"), "1");
  EXPECT_EQ(state_.ResourceDir, kResourceDir);
  EXPECT_TRUE(ui_.shown.empty());

  files_.FailOn("Delete", std::string(kResourceDir) + "\\htm\\locked.htm",
                kErrorSuccess);
  MenuState again;
  EXPECT_TRUE(Main(services_, again));
}

TEST_F(Modes, XmlModeCopiesTwoFilesAndNumbersWebmainThenWebmenu) {
  files_.AddDirectory(kUserDir);
  files_.AddFile(std::string(kResourceDir) + "\\webmain.xml",
                 "<xmlroot>" + MenuXml("001", "Main A", "1") +
                     MenuXml("002", "Main B", "0") +
                     MenuXml("003", "Main C", "1") + "</xmlroot>");
  files_.AddFile(std::string(kResourceDir) + "\\webmenu.xml",
                 "<xmlroot><PROV><DISPNAME>P</DISPNAME><MENUID>P1</MENUID>" +
                     MenuXml("100", "Prov D", "1") +
                     MenuXml("101", "Prov E", "true") + "</PROV></xmlroot>");
  files_.AddFile(std::string(kResourceDir) + "\\category.xml", "<xmlroot/>");
  process_.args = "xml";
  Main(services_, state_);
  EXPECT_EQ(
      registry_.SubKeys(kMenuExt),
      (std::vector<std::string>{"(&0)Main A", "(&1)Main C", "(&2)Prov D"}));
  EXPECT_EQ(files_.Contents(std::string(kUserDir) + "\\category.xml"),
            "<xmlroot/>");
  EXPECT_TRUE(files_.HasFile(std::string(kUserDir) + "\\webmenu.xml"));
  EXPECT_FALSE(files_.HasFile(std::string(kUserDir) + "\\webmain.xml"))
      << "webmain.xml is registered, never copied";
}

TEST_F(Modes, AMenuWithoutSomeChildrenDoesNotInheritThePreviousMenus) {
  files_.AddFile(
      std::string(kResourceDir) + "\\webmain.xml",
      "<xmlroot>" + MenuXml("001", "First", "1") +
          "<menu><DISPNAME>No id</DISPNAME><IE>1</IE></menu>"
          "<menu><DISPNAME>No IE</DISPNAME><MENUID>003</MENUID></menu>"
          "</xmlroot>");
  RegisterIeMenusFromFile(services_, state_,
                          std::string(kResourceDir) + "\\webmain.xml");
  EXPECT_EQ(registry_.SubKeys(kMenuExt), std::vector<std::string>{"(&0)First"})
      << "a menu without MENUID has no script page to run";
}

TEST_F(Modes, AnUnreadableMenuFileRegistersNothing) {
  files_.AddFile(std::string(kResourceDir) + "\\webmain.xml",
                 "<xmlroot><menu>");
  RegisterIeMenusFromFile(services_, state_,
                          std::string(kResourceDir) + "\\webmain.xml");
  RegisterIeMenusFromFile(services_, state_, "C:\\missing.xml");
  EXPECT_TRUE(registry_.SubKeys(kMenuExt).empty());
}

TEST_F(Modes, XmlModeIntoAMissingUserFolderShowsTheErrorBox) {
  files_.AddFile(std::string(kResourceDir) + "\\category.xml", "<xmlroot/>");
  files_.FailOn("Copy", std::string(kResourceDir) + "\\category.xml",
                kErrorPathNotFound);
  process_.args = "xml";
  EXPECT_EQ(RunMenuTool(services_), 1);
  EXPECT_EQ(ui_.shown, std::vector<std::string>{"vorelamenu: Path not found: " +
                                                std::string(kUserDir) + "\\category.xml"})
      << "the copy's source exists, so its target is named";
}

TEST_F(Modes, ArgumentsThatSelectNoModeOnlyRepair) {
  AddToolEntry("(&0)A", "100");
  files_.AddFile(".vorela", "x");
  files_.AddFile("C:\\in\\XML", "x");
  for (const char* args : {"XML", ".vorela", "ie", "\"\"x\""}) {
    SCOPED_TRACE(args);
    process_.args = args;
    EXPECT_EQ(RunMenuTool(services_), 0);
    EXPECT_TRUE(registry_.HasKey(Entry("(&0)A")));
    EXPECT_EQ(registry_.Text(Entry("(&0)A"), "Contexts"), "56");
    EXPECT_EQ(registry_.Text("SOFTWARE\\VORELA", "MENUADD"), "");
    EXPECT_FALSE(files_.HasFile(std::string(kWorkDir) + "\\temp.cab"));
  }
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(Modes, OnlyQuotesIsTheResetMode) {
  process_.args = "\"\"";
  Main(services_, state_);
  EXPECT_EQ(registry_.Text("SOFTWARE\\VORELA", "MENUADD"), "1");
}

TEST_F(Modes, APackageThatCannotBeCopiedShowsTheErrorBox) {
  files_.AddFile("C:\\My Menus\\Search.VORELA", "MSCF");
  files_.FailOn("MakeDirectory", kWorkDir, kErrorAccessDenied);
  process_.args = "\"C:\\My Menus\\Search.VORELA\"";
  EXPECT_EQ(RunMenuTool(services_), 1);
  EXPECT_EQ(ui_.shown, std::vector<std::string>{
                           "vorelamenu: Permission denied: C:\\tools\\work"});
  EXPECT_TRUE(window_.shown.empty());
}

TEST_F(Modes, APackageThatIsMissingOrNoFileSaysSoAndFails) {
  files_.AddDirectory("C:\\in");
  files_.AddDirectory("C:\\in\\folder.vorela");
  process_.args = "C:\\in\\none.vorela";
  EXPECT_EQ(RunMenuTool(services_), 1);
  process_.args = "C:\\in\\folder.vorela";
  EXPECT_EQ(RunMenuTool(services_), 1);
  EXPECT_EQ(ui_.shown,
            (std::vector<std::string>{
                "vorelamenu: The package does not exist: C:\\in\\none.vorela",
                "vorelamenu: Not a regular file: C:\\in\\folder.vorela"}));
  EXPECT_FALSE(files_.HasFile(std::string(kWorkDir) + "\\temp.cab"));
  EXPECT_TRUE(window_.shown.empty());
}

}  // namespace
}  // namespace vorela::testing
