#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "common/blowfish.h"
#include "common/error.h"
#include "menu/menu_fixture.h"
#include "menu/menu_modes.h"

namespace vorela::testing {
namespace {

constexpr char kPackage[] = "C:\\pkg\\Search.vorela";

class Installer : public MenuFixture {
 protected:
  Installer() {
    files_.AddDirectory("C:\\pkg");
    files_.AddDirectory(kUserDir);
    files_.AddDirectory(std::string(kResourceDir) + "\\icon");
    files_.AddFile(kPackage, "MSCF");
    files_.AddFile(std::string(kResourceDir) + "\\lang.xml",
                   "<lang><c k=\"801\"><CAPTION>Add menu</CAPTION></c>"
                   "<c k=\"802\"><CAPTION>ID:</CAPTION></c>"
                   "<c k=\"807\"><CAPTION>failed</CAPTION></c>"
                   "<c k=\"808\"><CAPTION>added</CAPTION></c></lang>");
  }

  // The encrypted manifest of one menu; fields not given are left out.
  std::string Manifest(const std::map<std::string, std::string>& fields) {
    std::string xml = "<xmlroot><menu>";
    for (const auto& [name, text] : fields) {
      xml += "<" + name + ">" + text + "</" + name + ">";
    }
    xml += "</menu></xmlroot>";
    files_.AddFile("C:\\plain.xml", xml);
    clsBlowfish cipher(platform_);
    EXPECT_TRUE(
        cipher.EncryptFile("C:\\plain.xml", "C:\\plain.enc", "mossgate"));
    std::string bytes = files_.Contents("C:\\plain.enc");
    files_.Delete("C:\\plain.xml");
    files_.Delete("C:\\plain.enc");
    return bytes;
  }
  std::map<std::string, std::string> SearchMenu() {
    return {{"ID", "100"},         {"SNAME", "Search"}, {"ICON", "search.ico"},
            {"HINT", "Find||it"},  {"IE", "1"},         {"PMENUID", "P1"},
            {"PDISPNAME", "Prov"}, {"PICON", "p.ico"},  {"CID", "C1"},
            {"CNAME", "Tools"},    {"CICON", "c.ico"}};
  }

  // Runs the tool in package mode on state_; returns whether the mode
  // succeeded.
  bool Install(const std::string& args = std::string("\"") + kPackage + "\"") {
    process_.args = args;
    state_ = MenuState();
    bool done = false;
    try {
      done = Main(services_, state_);
    } catch (const Error& error) {
      ADD_FAILURE() << error.Description();
    }
    return done;
  }
  std::vector<std::pair<std::string, std::string>> Complete(
      const std::map<std::string, std::string>& menu) {
    return {{"search.ico", TinyIcon()}, {"100.htm", "x"}, {"m.enc", Manifest(menu)}};
  }
  std::string Resource(const std::string& name) {
    return std::string(kResourceDir) + "\\" + name;
  }
  std::string User(const std::string& name) {
    return std::string(kUserDir) + "\\" + name;
  }
  bool Contains(const std::string& path, const std::string& text) {
    return files_.Contents(path).find(text) != std::string::npos;
  }
};

TEST_F(Installer, IconPageAndManifestInstallInEveryOrder) {
  std::vector<std::pair<std::string, std::string>> files = {
      {"search.ico", TinyIcon()},
      {"100.htm", "<html/>"},
      {"menu.enc", Manifest(SearchMenu())}};
  std::sort(files.begin(), files.end());
  do {
    SCOPED_TRACE(files[0].first + " " + files[1].first + " " + files[2].first);
    files_.Delete(User("vorela.xml"));
    window_.shown.clear();
    cabinet_.entries = files;
    Install();
    ASSERT_EQ(window_.shown.size(), 1u);
    const InstallerWindowContent& window = window_.shown[0];
    EXPECT_EQ(window.title, "Add menu");
    EXPECT_EQ(window.labels[0], "ID:");
    EXPECT_EQ(window.labels[1], "")
        << "captions missing from lang.xml stay empty";
    EXPECT_EQ(window.message, "added");
    EXPECT_EQ(window.message_color, kColorBlue);
    EXPECT_TRUE(window.note_visible);
    EXPECT_EQ(window.texts[0], "100");
    EXPECT_EQ(window.texts[1], "Search");
    EXPECT_EQ(window.texts[2], "search.ico");
    EXPECT_EQ(window.texts[3], "Find\r\nit");
    EXPECT_EQ(window.icon_path, Resource("icon\\search.ico"));

    EXPECT_EQ(files_.Contents(Resource("icon\\search.ico")), TinyIcon());
    EXPECT_EQ(files_.Contents(Resource("htm\\100.htm")), "<html/>");
    EXPECT_TRUE(Contains(User("vorela.xml"), "<MENUADD>1</MENUADD>"));
    EXPECT_TRUE(Contains(User("webmenu.xml"), "<MENUID>100</MENUID>"));
    EXPECT_TRUE(Contains(User("category.xml"), "<MENUID>C1</MENUID>"));
    EXPECT_EQ(registry_.SubKeys(kMenuExt),
              std::vector<std::string>{"(&0)Search"});
    for (const char* left :
         {"temp.cab", "search.ico", "100.htm", "menu.enc", "menu.xml"}) {
      EXPECT_FALSE(files_.HasFile(std::string(kWorkDir) + "\\" + left)) << left;
    }
  } while (std::next_permutation(files.begin(), files.end()));
}

TEST_F(Installer, WithoutAnIconTheMenuIsImportedButTheWindowReportsFailure) {
  cabinet_.entries = {{"100.htm", "x"}, {"menu.enc", Manifest(SearchMenu())}};
  Install();
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "failed");
  EXPECT_EQ(window_.shown[0].message_color, kColorRed);
  EXPECT_FALSE(window_.shown[0].note_visible);
  EXPECT_TRUE(Contains(User("webmenu.xml"), "<MENUID>100</MENUID>"));
  EXPECT_EQ(registry_.SubKeys(kMenuExt),
            std::vector<std::string>{"(&0)Search"});
  EXPECT_FALSE(files_.HasFile(User("vorela.xml")));
}

TEST_F(Installer, AnIconThatIsNoPictureKeepsTheFailureCaption) {
  std::map<std::string, std::string> menu = SearchMenu();
  cabinet_.entries = {{"search.ico", "not an icon"},
                      {"100.htm", "x"},
                      {"m.enc", Manifest(menu)}};
  Install();
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "failed");
  EXPECT_FALSE(files_.HasFile(User("vorela.xml")));
}

TEST_F(Installer, TwoManifestsAreBothImportedWithoutAWindow) {
  std::map<std::string, std::string> main = SearchMenu();
  main["ID"] = "001";
  main["SNAME"] = "Main";
  main["CID"] = "C9";
  main["CNAME"] = "Main category";
  cabinet_.entries = {{"a.enc", Manifest(SearchMenu())},
                      {"b.enc", Manifest(main)}};
  EXPECT_TRUE(Install());
  EXPECT_TRUE(window_.shown.empty());
  EXPECT_TRUE(Contains(User("webmenu.xml"), "<MENUID>100</MENUID>"));
  EXPECT_TRUE(Contains(User("webmain.xml"), "<MENUID>001</MENUID>"));
  EXPECT_TRUE(Contains(User("category.xml"), "<MENUID>C1</MENUID>"));
  EXPECT_FALSE(Contains(User("category.xml"), "C9"))
      << "a main web menu's category is not merged";
  EXPECT_FALSE(Contains(User("category.xml"), "Main category"));
  EXPECT_EQ(registry_.SubKeys(kMenuExt),
            (std::vector<std::string>{"(&0)Search", "(&1)Main"}));
}

TEST_F(Installer, AnEmptyIdImportsNothingAndIsNoSuccess) {
  std::map<std::string, std::string> menu = SearchMenu();
  menu["ID"] = "";
  cabinet_.entries = Complete(menu);
  EXPECT_FALSE(Install());
  EXPECT_EQ(state_.ImportStatus, "111") << "the manifest counts as processed";
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "failed");
  EXPECT_EQ(window_.shown[0].message_color, kColorRed);
  EXPECT_FALSE(window_.shown[0].note_visible);
  EXPECT_FALSE(files_.HasFile(User("webmenu.xml")));
  EXPECT_TRUE(registry_.SubKeys(kMenuExt).empty());
  EXPECT_FALSE(files_.HasFile(User("vorela.xml")));
}

TEST_F(Installer, AnIdThatNamesAnotherFileIsNeitherRegisteredNorMerged) {
  for (const char* id : {"..\\..\\..\\..\\evil", "C:\\evil", "a/b", "CON"}) {
    SCOPED_TRACE(id);
    std::map<std::string, std::string> menu = SearchMenu();
    menu["ID"] = id;
    cabinet_.entries = Complete(menu);
    window_.shown.clear();
    EXPECT_FALSE(Install());
    ASSERT_EQ(window_.shown.size(), 1u);
    EXPECT_EQ(window_.shown[0].message, "failed");
    EXPECT_EQ(state_.Problems,
              std::vector<std::string>{"The menu ID cannot name a file: " +
                                       std::string(id)});
  }
  EXPECT_TRUE(registry_.SubKeys(kMenuExt).empty());
  EXPECT_FALSE(files_.HasFile(User("webmenu.xml")));
  EXPECT_FALSE(files_.HasFile(User("category.xml")));
  EXPECT_FALSE(files_.HasFile(User("vorela.xml")));
}

TEST_F(Installer, AMergeThatIsNotSavedKeepsTheFailureCaption) {
  // A read-only user folder, a full disk, a file with no place for menus.
  const struct {
    std::string file;
    Win32Error error;
    std::string problem;
  } cases[] = {
      {"webmenu.xml", kErrorAccessDenied, "Permission denied: "},
      {"category.xml", kErrorDiskFull, "Disk full: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    files_.FailOn("WriteAtomic", User(c.file), c.error);
    cabinet_.entries = Complete(SearchMenu());
    window_.shown.clear();
    EXPECT_FALSE(Install());
    ASSERT_EQ(window_.shown.size(), 1u);
    EXPECT_EQ(window_.shown[0].message, "failed");
    EXPECT_EQ(window_.shown[0].message_color, kColorRed);
    EXPECT_FALSE(window_.shown[0].note_visible);
    EXPECT_FALSE(files_.HasFile(User("vorela.xml"))) << "no MENUADD";
    EXPECT_EQ(state_.Problems, std::vector<std::string>{c.problem + User(c.file)});
    files_.FailOn("WriteAtomic", User(c.file), kErrorSuccess);
  }
  files_.AddFile(User("webmenu.xml"), "<other/>");
  cabinet_.entries = Complete(SearchMenu());
  EXPECT_FALSE(Install());
  EXPECT_EQ(state_.Problems,
            std::vector<std::string>{"The menu could not be merged: " + User("webmenu.xml")});
  EXPECT_FALSE(files_.HasFile(User("vorela.xml")));
}

TEST_F(Installer, MenuAddThatIsNotSavedIsNoSuccess) {
  files_.FailOn("WriteAtomic", User("vorela.xml"), kErrorDiskFull);
  cabinet_.entries = Complete(SearchMenu());
  EXPECT_FALSE(Install());
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "failed");
  EXPECT_TRUE(Contains(User("webmenu.xml"), "<MENUID>100</MENUID>"));
  EXPECT_EQ(state_.Problems,
            std::vector<std::string>{"MENUADD could not be saved: " + User("vorela.xml")});
}

TEST_F(Installer, ASharedFileDoesNotHideAManifestThatFailed) {
  std::map<std::string, std::string> menu = SearchMenu();
  menu["ID"] = "";
  cabinet_.entries = {{"webmain.xml", "<xmlroot/>"}, {"m.enc", Manifest(menu)}};
  EXPECT_FALSE(Install());
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "failed");
  EXPECT_EQ(files_.Contents(Resource("webmain.xml")), "<xmlroot/>");
}

TEST_F(Installer, TheImportHoldsTheLockFromTheCopyToTheLastMerge) {
  const std::string lock = std::string(kWorkDir) + "\\import.lock";
  const std::string cabinet = std::string(kWorkDir) + "\\temp.cab";
  // Each lock event with the number of file calls made before it.
  std::vector<std::pair<std::string, std::size_t>> seen;
  process_.on_lock = [&](const std::string& event) {
    seen.emplace_back(event, files_.calls().size());
  };
  cabinet_.entries = Complete(SearchMenu());
  EXPECT_TRUE(Install());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].first, "lock " + lock);
  EXPECT_EQ(seen[1].first, "unlock " + lock);
  const std::vector<std::string>& calls = files_.calls();
  const auto at = [&](const std::string& call) {
    return static_cast<std::size_t>(std::find(calls.begin(), calls.end(), call) -
                                    calls.begin());
  };
  const std::size_t copy = at("Copy " + std::string(kPackage) + " -> " + cabinet);
  const std::size_t flagged = at("WriteAtomic " + User("vorela.xml"));
  ASSERT_LT(copy, calls.size());
  ASSERT_LT(flagged, calls.size());
  EXPECT_LE(seen[0].second, copy) << "the turn is taken before the copy";
  EXPECT_GT(seen[1].second, flagged) << "and given back after MENUADD";
  EXPECT_FALSE(files_.HasFile(cabinet));
}

TEST_F(Installer, AnImportThatCannotTakeItsTurnStopsBeforeTheCopy) {
  process_.lock_error = kErrorAccessDenied;
  cabinet_.entries = Complete(SearchMenu());
  process_.args = kPackage;
  EXPECT_EQ(RunMenuTool(services_), 1);
  EXPECT_EQ(ui_.shown, std::vector<std::string>{"vorelamenu: Permission denied: " +
                                                std::string(kWorkDir) + "\\import.lock"});
  EXPECT_FALSE(files_.HasFile(std::string(kWorkDir) + "\\temp.cab"));
  EXPECT_TRUE(window_.shown.empty());
}

TEST_F(Installer, AFailedImportRemovesItsCabinetCopy) {
  cabinet_.entries.clear();  // the package is no cabinet
  EXPECT_FALSE(Install());
  EXPECT_FALSE(files_.HasFile(std::string(kWorkDir) + "\\temp.cab"));
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "failed");
}

TEST_F(Installer, AnUpperCaseManifestEndingIsImportedLikeALowerCaseOne) {
  cabinet_.entries = {{"search.ico", TinyIcon()},
                      {"100.htm", "x"},
                      {"MENU.ENC", Manifest(SearchMenu())}};
  Install();
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "added");
  EXPECT_TRUE(Contains(User("webmenu.xml"), "<MENUID>100</MENUID>"));
  EXPECT_FALSE(files_.HasFile(std::string(kWorkDir) + "\\MENU.ENC"));
  EXPECT_FALSE(files_.HasFile(std::string(kWorkDir) + "\\MENU.xml"));
}

TEST_F(Installer, SharedFilesOtherEndingsAndShortNames) {
  files_.Delete(Resource("lang.xml"));
  cabinet_.entries = {{"webmain.xml", "<xmlroot/>"},
                      {"readme.txt", "r"},
                      {".ico", "i"},
                      {"x.htm", "page"}};
  Install();
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].title, "") << "no lang.xml, no captions";
  EXPECT_EQ(window_.shown[0].message, "");
  EXPECT_EQ(window_.shown[0].message_color, kColorBlue)
      << "a shared file counts as success";
  EXPECT_TRUE(window_.shown[0].note_visible);
  EXPECT_EQ(files_.Contents(Resource("webmain.xml")), "<xmlroot/>");
  EXPECT_EQ(files_.Contents(Resource("htm\\x.htm")), "page")
      << "the htm folder is created";
  EXPECT_TRUE(files_.HasFile(std::string(kWorkDir) + "\\readme.txt"));
  EXPECT_TRUE(files_.HasFile(std::string(kWorkDir) + "\\.ico"));
  EXPECT_FALSE(files_.HasFile(Resource("icon\\.ico")));
}

TEST_F(Installer, AnIconIsNotInstalledWithoutTheIconFolder) {
  files_.DeleteTree(Resource("icon"), true);
  // The in-memory files do not check a copy's target folder; the disk does.
  files_.FailOn("Copy", std::string(kWorkDir) + "\\search.ico",
                kErrorPathNotFound);
  cabinet_.entries = {{"search.ico", TinyIcon()},
                      {"100.htm", "x"},
                      {"m.enc", Manifest(SearchMenu())}};
  Install();
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(window_.shown[0].message, "failed");
  EXPECT_TRUE(files_.HasFile(std::string(kWorkDir) + "\\search.ico"));
  EXPECT_TRUE(Contains(User("webmenu.xml"), "<MENUID>100</MENUID>"))
      << "the failing icon skips only its own file";
}

TEST_F(Installer, AnUnreadableManifestSkipsOnlyItself) {
  // A plain manifest left in the work folder under the decrypted name must
  // not be taken for the one that failed to decrypt.
  files_.AddDirectory(kWorkDir);
  files_.AddFile(
      std::string(kWorkDir) + "\\bad.xml",
      "<xmlroot><menu><ID>666</ID><SNAME>Stale</SNAME></menu></xmlroot>");
  cabinet_.entries = {{"bad.enc", "garbage that does not decrypt"},
                      {"100.htm", "x"}};
  Install();
  ASSERT_EQ(window_.shown.size(), 1u);
  EXPECT_EQ(files_.Contents(Resource("htm\\100.htm")), "x");
  EXPECT_FALSE(files_.HasFile(User("webmenu.xml")));
  EXPECT_FALSE(files_.HasFile(User("webmain.xml")));
  EXPECT_TRUE(registry_.SubKeys(kMenuExt).empty());
}

TEST_F(Installer, ImportingTwiceUpdatesInPlaceAndKeepsTheEntryNumber) {
  cabinet_.entries = {{"search.ico", TinyIcon()},
                      {"100.htm", "x"},
                      {"m.enc", Manifest(SearchMenu())}};
  Install();
  const std::string first = files_.Contents(User("webmenu.xml"));
  AddToolEntry("(&0)Another", "200");
  std::map<std::string, std::string> renamed = SearchMenu();
  renamed["SNAME"] = "Search 2";
  cabinet_.entries = {{"m.enc", Manifest(renamed)}};
  Install();
  const std::string second = files_.Contents(User("webmenu.xml"));
  EXPECT_EQ(second.find("<MENUID>100</MENUID>"),
            second.rfind("<MENUID>100</MENUID>"));
  EXPECT_NE(second.find("Search 2"), std::string::npos);
  EXPECT_EQ(registry_.SubKeys(kMenuExt),
            (std::vector<std::string>{"(&0)Another", "(&0)Search 2"}));
}

}  // namespace
}  // namespace vorela::testing
