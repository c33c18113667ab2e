// The real vorelacleaner, run on a seeded legacy installation. The same
// scenarios run in both builds: natively on a scratch machine, under Wine in
// the prefix the test itself runs in (which is why every scenario first
// clears the places the cleaner touches).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "cleaner/legacy_decoding.h"
#include "cleaner/migration.h"
#include "common/blowfish.h"
#include "common/reg_file.h"
#include "common/system_folder.h"
#include "support/program_runner.h"
#include "support/scratch.h"

#ifdef _WIN32
#include "platform/win32/windows_lean.h"
// after windows.h
#include <tlhelp32.h>
#endif

namespace vorela {
namespace {

using testing::ProgramResult;
using testing::ScratchDir;

constexpr const char* kMenuExt = "Software\\Microsoft\\Internet Explorer\\MenuExt";
const std::string kShortcut =
    "\\vorela!\xE3\x83\x9E\xE3\x83\x8B\xE3\x83\xA5\xE3\x82\xA2\xE3\x83\xAB.lnk";

// A path as a .reg string wants it: every "\\" doubled.
std::string ReplaceAllForReg(const std::string& path) {
  std::string out;
  for (char c : path) {
    out += c;
    if (c == '\\') out += '\\';
  }
  return out;
}

// The first run opens a browser window that outlives the cleaner. Under Wine
// that process keeps the test's output pipe open (host descriptors are
// inherited), so the test ends it once the scenario is over.
void CloseBrowserWindows() {
#ifdef _WIN32
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, L"iexplore.exe") != 0) continue;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 0);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
#endif
}

class CleanerScenario : public ::testing::Test {
 protected:
  void TearDown() override { CloseBrowserWindows(); }

  void SetUp() override {
#ifndef _WIN32
    machine_ = scratch_.native() + "/machine";
    setenv("VORELA_ROOT", machine_.c_str(), 1);
#endif
    platform_ = SystemPlatform();
    paths_ = ComputeCleanerPaths(platform_);
    data_folder_ = paths_.DataFolder.substr(0, paths_.DataFolder.size() - 1);
    Registry& reg = *platform_.registry;
    reg.DeleteTree(kHkeyCurrentUser, "SOFTWARE\\VORELA");
    reg.DeleteTree(kHkeyCurrentUser, kMenuExt);
    platform_.files->DeleteTree(data_folder_, true);
    platform_.files->DeleteTree(paths_.ResourceFolder, true);
    common_files_ = clsSystemFolder(platform_).CommonFiles();
    platform_.files->Delete(common_files_ + kShortcut);
    ASSERT_EQ(platform_.files->MakeDirectory(paths_.ResourceFolder), kErrorSuccess);
    std::filesystem::create_directory(scratch_.NativeJoin("prog"));
  }

  void Import(const std::string& body) {
    std::vector<RegStatement> statements;
    std::string error;
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n" + body;
    ASSERT_TRUE(ParseRegFile(text, *platform_.text, &statements, &error)) << error;
    ASSERT_TRUE(ApplyRegStatements(*platform_.registry, *platform_.text, statements, &error))
        << error;
  }

  void SetBinary(const std::string& key, const std::string& name, const std::string& bytes) {
    RegKey handle = 0;
    ASSERT_EQ(platform_.registry->CreateKey(kHkeyCurrentUser, key, kKeyAllAccess, &handle), 0u);
    platform_.registry->SetValue(handle, name, kRegBinary,
                                 reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<std::uint32_t>(bytes.size()));
    platform_.registry->CloseKey(handle);
  }

  std::string Encrypted(const std::string& plain) {
    clsBlowfish cipher(platform_);
    ByteArray bytes(plain.begin(), plain.end());
    cipher.EncryptByte(bytes, "mossgate");
    return std::string(bytes.begin(), bytes.end());
  }

  void PutResource(const std::string& name, const std::string& bytes) {
    ASSERT_EQ(platform_.files->WriteAtomic(paths_.ResourceFolder + "\\" + name, bytes), 0u);
  }

  ProgramResult Run(const std::string& args, bool with_menu_tool = true) {
    const std::string suffix = ExecutableSuffix();
    const auto copy = std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy_file(VORELA_CLEANER_EXE,
                               scratch_.NativeJoin("prog/vorelacleaner" + suffix), copy);
    if (with_menu_tool) {
      std::filesystem::copy_file(VORELA_RECORDER_EXE,
                                 scratch_.NativeJoin("prog/vorelamenu" + suffix), copy);
    }
    std::vector<std::pair<std::string, std::string>> env;
    if (!machine_.empty()) env.emplace_back("VORELA_ROOT", machine_);
    ProgramResult result =
        testing::RunProgram(scratch_.NativeJoin("prog/vorelacleaner" + suffix), args, env, 120);
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    return result;
  }

  // The argument texts the stand-in menu tool was started with.
  std::string Started(bool expect_start = true) {
    const std::string marker = scratch_.NativeJoin("prog/started.txt");
    for (int i = 0; i < (expect_start ? 200 : 20); ++i) {
      if (std::filesystem::exists(marker)) return testing::ReadNativeFile(marker);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
  }

  std::string Data(const std::string& name) {
    std::string bytes;
    if (platform_.files->ReadAll(paths_.DataFolder + name, &bytes) != kErrorSuccess) {
      return "(missing)";
    }
    if (!bytes.empty() && bytes.back() == '\n') bytes.pop_back();
    return bytes;
  }

  bool LegacyTreeExists() {
    RegKey key = 0;
    if (platform_.registry->OpenKey(kHkeyCurrentUser, "SOFTWARE\\VORELA", kKeyRead, &key) != 0) {
      return false;
    }
    platform_.registry->CloseKey(key);
    return true;
  }

  std::string Title(const std::vector<int>& codes) {
    const int k = LegacyKeySum("mossgate", *platform_.text);
    std::string form = ".";
    for (int c : codes) form += std::to_string(c + k) + ".";
    return form + "#7";
  }

  ScratchDir scratch_;
  std::string machine_;
  Platform platform_;
  CleanerPaths paths_;
  std::string data_folder_;
  std::string common_files_;
};

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
#ifndef _WIN32
  EXPECT_NE(result.out.find("vorela!: Welcome&hello\r\nbye"), std::string::npos) << result.out;
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
#ifndef _WIN32
  EXPECT_EQ(result.out.find("vorela!"), std::string::npos) << result.out;
#endif
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

  std::vector<std::string> names;
  std::uint64_t length = 0;
  RegKey key = 0;
  ASSERT_EQ(platform_.registry->OpenKey(kHkeyCurrentUser, kMenuExt, kKeyRead, &key), 0u);
  char name[300];
  for (std::uint32_t i = 0;; ++i) {
    std::uint32_t size = sizeof name;
    if (platform_.registry->EnumKey(key, i, name, &size) != 0) break;
    names.emplace_back(name, size);
  }
  platform_.registry->CloseKey(key);
  EXPECT_EQ(names, std::vector<std::string>{"Foreign"});
  EXPECT_NE(platform_.files->GetLength(data_folder_, &length), 0u) << "data folder removed";
  EXPECT_NE(platform_.files->GetLength(common_files_ + kShortcut, &length), 0u);
  EXPECT_TRUE(LegacyTreeExists()) << "uninstall leaves the legacy tree to the migration";

  // A missing shortcut and an already removed folder are no error.
  Run("uninstall");
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
