// The cleaner's start-up, migration and uninstall, end to end (see
// cleaner_scenario.h for how the scenarios run).
#include "e2e_cleaner/cleaner_scenario.h"

namespace vorela {
namespace {

TEST_F(CleanerScenario, MigratesALegacyInstallationAndDeletesTheTree) {
  Import(
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA]\r\n\"CALC10\"=\"10\"\r\n\"BORDER\"=\" 2 \"\r\n"
      "\"PROV\"=\"\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\HISTORY]\r\n\"HISTORY01\"=\"one\"\r\n"
      "\"HISTORY02\"=\"  \"\r\n\"HISTORY03\"=\"three\"\r\n\"HISTORY04\"=\"four\"\r\n"
      "\"HISTORY06\"=\"six\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\COMMAND]\r\n\"COMMAND07\"=\"seven\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\WORD]\r\n\"WORD01\"=\"alpha\"\r\n"
      "\"WORD02\"=\"\"\r\n\"WORD03\"=\"gamma\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\CATEGORY\\MENU01]\r\n\"DISPNAME\"=\"News\"\r\n"
      "\"ICON\"=\"n.ico\"\r\n\"MENUID\"=\"C1\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\WEBMENU\\MENU01]\r\n\"DISPNAME\"=\"Search\"\r\n"
      "\"ICON\"=\"s.ico\"\r\n\"MENUID\"=\"S1\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\WEBMENU\\MENU01\\MENU0101]\r\n"
      "\"DISPNAME\"=\"Web\"\r\n\"KEYNO\"=\"12\"\r\n\"MENUID\"=\"S1web\"\r\n\"IE\"=\"1\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\WEBMENU\\MENU01\\MENU0102]\r\n"
      "\"DISPNAME\"=\"Odd\"\r\n\"KEYNO\"=\"x9\"\r\n\"MENUID\"=\"S1odd\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\WEBMENU\\MENU02]\r\n\"DISPNAME\"=\"Maps\"\r\n"
      "\"MENUID\"=\"M2\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\WEBMENU\\MENU02\\MENU0201]\r\n"
      "\"DISPNAME\"=\"Lost\"\r\n\"MENUID\"=\"ZZ\"\r\n\r\n");
  // Two secrets: a sound one, and one whose text is missing and whose
  // password is not a valid ciphertext.
  Import("[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\SECRET\\a]\r\n\"TITLE\"=\"" +
         Title({'a', '%', '2', 'B', 'b'}) + "\"\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\SECRET\\b]\r\n\"TITLE\"=\"" +
         Title({'x', 0}) + "\"\r\n\r\n");
  SetBinary("SOFTWARE\\VORELA\\SECRET\\a", "VALUE", Encrypted("hello+world%21"));
  SetBinary("SOFTWARE\\VORELA\\SECRET\\a", "PASSWORD", Encrypted("p%40ss"));
  SetBinary("SOFTWARE\\VORELA\\SECRET\\b", "PASSWORD", "not a ciphertext");
  PutResource("webmain.xml", "<xmlroot><menu><MENUID>001</MENUID></menu></xmlroot>");
  PutResource("lang.xml",
              "<xmlroot><c k=\"922\"><CAPTION>Welcome@@hello||bye</CAPTION></c>"
              "<c k=\"207\"><CAPTION>http://example.invalid/start</CAPTION></c></xmlroot>");

  const ProgramResult result = Run("");

  EXPECT_EQ(Data("vorela.xml"), "<xmlroot><CALC10>10</CALC10><BORDER> 2 </BORDER></xmlroot>");
  EXPECT_EQ(Data("history.xml"),
            "<xmlroot><HISTORY01>one</HISTORY01><HISTORY02>three</HISTORY02>"
            "<HISTORY03>four</HISTORY03><HISTORY04>six</HISTORY04></xmlroot>");
  EXPECT_EQ(Data("command.xml"), "<xmlroot><COMMAND01>seven</COMMAND01></xmlroot>");
  EXPECT_EQ(Data("webhistory.xml"), "(missing)") << "nothing found, nothing written";
  EXPECT_EQ(Data("phrase.xml"),
            "<xmlroot><WORD1>alpha</WORD1><WORD2/><WORD3>gamma</WORD3></xmlroot>");
  EXPECT_EQ(Data("category.xml"),
            "<xmlroot><menu><DISPNAME>News</DISPNAME><ICON>n.ico</ICON><MENUID>C1</MENUID>"
            "</menu></xmlroot>");
  EXPECT_EQ(Data("webmenu.xml"),
            "<xmlroot><PROV><DISPNAME>Search</DISPNAME><ICON>s.ico</ICON><MENUID>S1</MENUID>"
            "<menu><DISPNAME>Web</DISPNAME><HINT/><ICON/><IE>1</IE><MENUID>S1web</MENUID>"
            "<KEYNO>12</KEYNO><CATEGORY/></menu>"
            "<menu><DISPNAME>Odd</DISPNAME><HINT/><ICON/><IE/><MENUID>S1odd</MENUID>"
            "<KEYNO>0</KEYNO><CATEGORY/></menu></PROV>"
            "<PROV><DISPNAME>Maps</DISPNAME><ICON/><MENUID>M2</MENUID></PROV></xmlroot>");
  EXPECT_EQ(Data("webmain.xml"), "<xmlroot><menu><MENUID>001</MENUID></menu></xmlroot>");

  EXPECT_EQ(Data("secret.xml"), "(missing)") << "the plain secret file is never written";
  std::string image;
  ASSERT_EQ(platform_.files->ReadAll(paths_.DataFolder + "secret.enc", &image), 0u);
  ByteArray bytes(image.begin(), image.end());
  clsBlowfish(platform_).DecryptByte(bytes, "mossgate");
  std::string plain(bytes.begin(), bytes.end());
  if (!plain.empty() && plain.back() == '\n') plain.pop_back();
  EXPECT_EQ(plain,
            "<xmlroot><secret><title>a+b</title><text>hello world!</text><password>p@ss</password>"
            "</secret><secret><title>Failed</title><text/><password/></secret></xmlroot>");

  EXPECT_FALSE(LegacyTreeExists()) << result.err;
  EXPECT_EQ(Started(), "ie\n");
  EXPECT_EQ(Greeting(result), "Welcome&hello\r\nbye") << result.out;
  ExpectBrowser(result, true);
#ifndef _WIN32
  EXPECT_NE(result.out.find("browser: http://example.invalid/start"), std::string::npos);
#endif
}

TEST_F(CleanerScenario, AFreshMachineGetsTheDefaultsAndTheMenuToolInXmlMode) {
  PutResource("webmain.xml", "<xmlroot/>");
  PutResource("bookmark.xml", "<xmlroot><B/></xmlroot>");
  Run("first");
  EXPECT_EQ(Data("webmain.xml"), "<xmlroot/>");
  EXPECT_EQ(Data("bookmark.xml"), "<xmlroot><B/></xmlroot>");
  for (const char* f : {"vorela.xml", "history.xml", "category.xml", "webmenu.xml", "secret.enc"}) {
    EXPECT_EQ(Data(f), "(missing)") << f;
  }
  EXPECT_EQ(Started(), "xml\n");

  // A second run changes nothing but copies webmain.xml again; a user's own
  // bookmark file is kept.
  ASSERT_EQ(platform_.files->WriteAtomic(paths_.DataFolder + "bookmark.xml", "mine"), 0u);
  PutResource("webmain.xml", "<xmlroot><new/></xmlroot>");
  Run("");
  EXPECT_EQ(Data("bookmark.xml"), "mine");
  EXPECT_EQ(Data("webmain.xml"), "<xmlroot><new/></xmlroot>");
}

TEST_F(CleanerScenario, AFailedWriteKeepsTheLegacyTreeForTheNextRun) {
  Import("[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\HISTORY]\r\n\"HISTORY01\"=\"one\"\r\n\r\n"
         "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA]\r\n\"MENU\"=\"m\"\r\n\r\n");
  ASSERT_EQ(platform_.files->MakeDirectory(data_folder_), 0u);
  ASSERT_EQ(platform_.files->WriteAtomic(paths_.HistoryXml, "old"), 0u);
  ASSERT_EQ(platform_.files->SetReadOnly(paths_.HistoryXml, true), 0u);
  Run("");
  EXPECT_TRUE(LegacyTreeExists());
  EXPECT_EQ(Data("history.xml"), "old");
  EXPECT_EQ(Data("vorela.xml"), "<xmlroot><MENU>m</MENU></xmlroot>");

  // Once the file can be written, the next run finishes the job.
  ASSERT_EQ(platform_.files->SetReadOnly(paths_.HistoryXml, false), 0u);
  Run("");
  EXPECT_FALSE(LegacyTreeExists());
  EXPECT_EQ(Data("history.xml"), "<xmlroot><HISTORY01>one</HISTORY01></xmlroot>");
}

TEST_F(CleanerScenario, WithoutTheMenuToolNothingIsStartedAndAPositiveWidthIsNoFirstRun) {
  ASSERT_EQ(platform_.files->MakeDirectory(data_folder_), 0u);
  ASSERT_EQ(platform_.files->WriteAtomic(paths_.VorelaXml, "<xmlroot><WIDTH>1</WIDTH></xmlroot>"),
            0u);
  const ProgramResult result = Run("", false);
  EXPECT_EQ(Started(false), "");
  EXPECT_EQ(Greeting(result), "(none)") << result.out;
  ExpectBrowser(result, false);
}

TEST_F(CleanerScenario, WithoutTheMenuToolTheRestOfTheFinishStillRuns) {
  Import("[HKEY_CURRENT_USER\\SOFTWARE\\VORELA]\r\n\"MENU\"=\"m\"\r\n\r\n");
  PutResource("lang.xml", "<xmlroot><c k=\"922\"><CAPTION>Hi</CAPTION></c></xmlroot>");
  const ProgramResult result = Run("", false);
  EXPECT_EQ(Started(false), "");
  EXPECT_EQ(Data("vorela.xml"), "<xmlroot><MENU>m</MENU></xmlroot>");
  EXPECT_FALSE(LegacyTreeExists());
  EXPECT_EQ(Greeting(result), "Hi") << result.out;
  ExpectBrowser(result, true);
}

TEST_F(CleanerScenario, AWidthThatIsNoPositiveNumberMeansAFirstRun) {
  PutResource("lang.xml", "<xmlroot><c k=\"922\"><CAPTION>Hi</CAPTION></c></xmlroot>");
  ASSERT_EQ(platform_.files->MakeDirectory(data_folder_), 0u);
  for (const char* width : std::initializer_list<const char*>{"0", "", "-3", "abc", "2", nullptr}) {
    SCOPED_TRACE(width ? "WIDTH " + std::string(width) : "no WIDTH");
    if (width) {
      const std::string settings = "<xmlroot><WIDTH>" + std::string(width) + "</WIDTH></xmlroot>";
      ASSERT_EQ(platform_.files->WriteAtomic(paths_.VorelaXml, settings), 0u);
    } else {
      ASSERT_EQ(platform_.files->Delete(paths_.VorelaXml), 0u);
    }
    const ProgramResult result = Run("");
    const bool first_run = !width || std::string(width) != "2";
    EXPECT_EQ(Greeting(result), first_run ? "Hi" : "(none)") << result.out;
    ExpectBrowser(result, first_run);
  }
}

TEST_F(CleanerScenario, LegacyCategoriesWithoutWebMenusAreRewrittenAndTheMenuToolRepairs) {
  Import("[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\CATEGORY\\MENU01]\r\n\"DISPNAME\"=\"News\"\r\n"
         "\"MENUID\"=\"C1\"\r\n\r\n"
         "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA\\CATEGORY\\MENU02]\r\n\"DISPNAME\"=\"Mail\"\r\n"
         "\"ICON\"=\"m.ico\"\r\n\"MENUID\"=\"C2\"\r\n\r\n");
  ASSERT_EQ(platform_.files->MakeDirectory(data_folder_), 0u);
  ASSERT_EQ(platform_.files->WriteAtomic(paths_.CategoryXml, "<xmlroot><menu/></xmlroot>"), 0u);
  Run("");
  EXPECT_EQ(Data("category.xml"),
            "<xmlroot><menu><DISPNAME>News</DISPNAME><ICON/><MENUID>C1</MENUID></menu>"
            "<menu><DISPNAME>Mail</DISPNAME><ICON>m.ico</ICON><MENUID>C2</MENUID></menu>"
            "</xmlroot>");
  EXPECT_EQ(Data("webmenu.xml"), "(missing)");
  EXPECT_EQ(Started(), "ie\n");
}

TEST_F(CleanerScenario, UninstallRemovesOnlyWhatTheProductOwns) {
  const std::string system = clsSystemFolder(platform_).System();
  Import("[HKEY_CURRENT_USER\\" + std::string(kMenuExt) + "\\(&0)Ours]\r\n@=\"" +
         ReplaceAllForReg(system) + "\\\\tolresource\\\\htm\\\\001.htm\"\r\n\r\n"
         "[HKEY_CURRENT_USER\\" + kMenuExt + "\\Powered]\r\n@=\"C:\\\\other.htm\"\r\n"
         "\"Powerd\"=\"by vorela! 2\"\r\n\r\n"
         "[HKEY_CURRENT_USER\\" + kMenuExt + "\\Foreign]\r\n@=\"C:\\\\other\\\\page.htm\"\r\n\r\n"
         "[HKEY_CURRENT_USER\\SOFTWARE\\VORELA]\r\n\"MENU\"=\"kept\"\r\n\r\n");
  ASSERT_EQ(platform_.files->MakeDirectory(data_folder_), 0u);
  ASSERT_EQ(platform_.files->WriteAtomic(paths_.DataFolder + "locked.xml", "x"), 0u);
  ASSERT_EQ(platform_.files->SetReadOnly(paths_.DataFolder + "locked.xml", true), 0u);
  ASSERT_EQ(platform_.files->WriteAtomic(common_files_ + kShortcut, "lnk"), 0u);

  Run("uninstall");

  std::uint64_t length = 0;
  EXPECT_EQ(MenuExtEntries(), std::vector<std::string>{"Foreign"});
  EXPECT_NE(platform_.files->GetLength(data_folder_, &length), 0u) << "data folder removed";
  EXPECT_NE(platform_.files->GetLength(common_files_ + kShortcut, &length), 0u);
  EXPECT_TRUE(LegacyTreeExists()) << "uninstall leaves the legacy tree to the migration";

  // Without the shortcut (and with the folder gone once more) the rest of the
  // uninstall still runs.
  Import("[HKEY_CURRENT_USER\\" + std::string(kMenuExt) + "\\(&1)Again]\r\n@=\"" +
         ReplaceAllForReg(system) + "\\\\tolresource\\\\htm\\\\002.htm\"\r\n\r\n");
  ASSERT_EQ(platform_.files->MakeDirectory(data_folder_), 0u);
  ASSERT_EQ(platform_.files->WriteAtomic(paths_.DataFolder + "vorela.xml", "<xmlroot/>"), 0u);
  Run("uninstall");
  EXPECT_EQ(MenuExtEntries(), std::vector<std::string>{"Foreign"});
  EXPECT_NE(platform_.files->GetLength(data_folder_, &length), 0u) << "data folder removed";
}

TEST_F(CleanerScenario, OnlyTheExactWordSelectsTheUninstall) {
  Import("[HKEY_CURRENT_USER\\SOFTWARE\\VORELA]\r\n\"MENU\"=\"m\"\r\n\r\n");
  for (const char* args : {"Uninstall", " uninstall", "uninstall now"}) {
    SCOPED_TRACE(args);
    ASSERT_EQ(platform_.files->MakeDirectory(data_folder_) == 0 ||
                  platform_.files->MakeDirectory(data_folder_) == kErrorAlreadyExists,
              true);
    Run(args);
    EXPECT_EQ(Data("vorela.xml"), "<xmlroot><MENU>m</MENU></xmlroot>") << "the migration ran";
    EXPECT_FALSE(LegacyTreeExists());
    Import("[HKEY_CURRENT_USER\\SOFTWARE\\VORELA]\r\n\"MENU\"=\"m\"\r\n\r\n");
  }
}

}  // namespace
}  // namespace vorela
