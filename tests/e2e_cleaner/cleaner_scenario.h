// The fixture of the cleaner's end-to-end scenarios: the real vorelacleaner,
// run on a seeded legacy installation. The same scenarios run in both builds:
// natively on a scratch machine, under Wine in the prefix the test itself runs
// in (which is why every scenario first clears the places the cleaner touches).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cleaner/legacy_decoding.h"
#include "cleaner/migration.h"
#include "common/blowfish.h"
#include "common/reg_file.h"
#include "common/system_folder.h"
#include "support/machine_root.h"
#include "support/message_box_watcher.h"
#include "support/program_runner.h"
#include "support/scratch.h"

#ifdef _WIN32
#include "platform/win32/windows_lean.h"
// after windows.h
#include <tlhelp32.h>
#endif

namespace vorela {

using testing::ProgramResult;
using testing::ScratchDir;

inline constexpr const char* kMenuExt = "Software\\Microsoft\\Internet Explorer\\MenuExt";
inline const std::string kShortcut =
    "\\vorela!\xE3\x83\x9E\xE3\x83\x8B\xE3\x83\xA5\xE3\x82\xA2\xE3\x83\xAB.lnk";

// A path as a .reg string wants it: every "\\" doubled.
inline std::string ReplaceAllForReg(const std::string& path) {
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
inline void CloseBrowserWindows() {
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
    machine_.emplace(scratch_.native() + "/machine");
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

  void SetDword(const std::string& key, const std::string& name, std::uint32_t n) {
    const std::string bytes = {static_cast<char>(n), static_cast<char>(n >> 8),
                               static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
    RegKey handle = 0;
    ASSERT_EQ(platform_.registry->CreateKey(kHkeyCurrentUser, key, kKeyAllAccess, &handle), 0u);
    platform_.registry->SetValue(handle, name, kRegDword,
                                 reinterpret_cast<const std::uint8_t*>(bytes.data()), 4);
    platform_.registry->CloseKey(handle);
  }

  // True when the bytes (or the data file) load as a document.
  bool LoadsBytes(const std::string& bytes) {
    std::unique_ptr<XmlDocument> doc = platform_.xml->CreateDocument();
    return doc && doc->LoadBytes(bytes);
  }
  bool Loads(const std::string& name) {
    std::string bytes;
    if (platform_.files->ReadAll(paths_.DataFolder + name, &bytes) != kErrorSuccess) return false;
    return LoadsBytes(bytes);
  }

  // Whether the legacy value (or, with name null, the key) is still there.
  bool LegacyExists(const std::string& key, const char* name = nullptr) {
    RegKey handle = 0;
    if (platform_.registry->OpenKey(kHkeyCurrentUser, key, kKeyRead, &handle) != 0) return false;
    std::uint32_t size = 0;
    const bool found =
        !name || platform_.registry->QueryValue(handle, name, nullptr, nullptr, &size) == 0;
    platform_.registry->CloseKey(handle);
    return found;
  }

  // The plain secret file inside secret.enc, without its final line feed.
  std::string DecryptedSecrets() {
    std::string image;
    if (platform_.files->ReadAll(paths_.DataFolder + "secret.enc", &image) != 0) return "(missing)";
    ByteArray bytes(image.begin(), image.end());
    clsBlowfish(platform_).DecryptByte(bytes, "mossgate");
    std::string plain(bytes.begin(), bytes.end());
    if (!plain.empty() && plain.back() == '\n') plain.pop_back();
    return plain;
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
    // Copied once: on Windows the stand-in menu tool of an earlier run may
    // still be running, and a running program's file cannot be replaced.
    const auto copy = std::filesystem::copy_options::skip_existing;
    std::filesystem::copy_file(VORELA_CLEANER_EXE,
                               scratch_.NativeJoin("prog/vorelacleaner" + suffix), copy);
    if (with_menu_tool) {
      std::filesystem::copy_file(VORELA_RECORDER_EXE,
                                 scratch_.NativeJoin("prog/vorelamenu" + suffix), copy);
    }
    std::vector<std::pair<std::string, std::string>> env;
    env.emplace_back("VORELA_ROOT", machine_->native());
    ProgramResult result;
    {
      testing::MessageBoxWatcher boxes("vorela!");
      result = testing::RunProgram(scratch_.NativeJoin("prog/vorelacleaner" + suffix), args, env,
                                   120, boxes.Desktop());
      greetings_ = boxes.Texts();
    }
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    return result;
  }

  // The text of the first-run greeting that run showed; "(none)" without one.
  std::string Greeting(const ProgramResult& result) const {
#ifdef _WIN32
    (void)result;
    return greetings_.empty() ? "(none)" : greetings_.front();
#else
    const std::string start = "vorela!: ";
    const size_t at = result.out.find(start);
    if (at == std::string::npos) return "(none)";
    size_t end = result.out.find("\nbrowser: ", at);
    if (end == std::string::npos) end = result.out.rfind('\n');
    return result.out.substr(at + start.size(), end - at - start.size());
#endif
  }

  // Checks whether that run opened the browser (the rest of the greeting).
  // Only the POSIX build can tell: under Wine the browser's process may come
  // and go before a test sees it (the test prefixes have no HTML engine).
  void ExpectBrowser(const ProgramResult& result, bool opened) const {
#ifndef _WIN32
    EXPECT_EQ(result.out.find("browser: ") != std::string::npos, opened) << result.out;
#else
    (void)result;
    (void)opened;
#endif
  }

  // The argument texts the stand-in menu tool was started with, one a line,
  // once it has been started `starts` times (or after a while).
  std::string Started(bool expect_start = true, int starts = 1) {
    const std::string marker = scratch_.NativeJoin("prog/started.txt");
    std::string text;
    for (int i = 0; i < (expect_start ? 200 : 20); ++i) {
      if (std::filesystem::exists(marker)) {
        text = testing::ReadNativeFile(marker);
        if (std::count(text.begin(), text.end(), '\n') >= starts) break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return text;
  }

  std::string Data(const std::string& name) {
    std::string bytes;
    if (platform_.files->ReadAll(paths_.DataFolder + name, &bytes) != kErrorSuccess) {
      return "(missing)";
    }
    if (!bytes.empty() && bytes.back() == '\n') bytes.pop_back();
    return bytes;
  }

  // The names of the context-menu entries.
  std::vector<std::string> MenuExtEntries() {
    std::vector<std::string> names;
    RegKey key = 0;
    if (platform_.registry->OpenKey(kHkeyCurrentUser, kMenuExt, kKeyRead, &key) != 0) return names;
    char name[300];
    for (std::uint32_t i = 0;; ++i) {
      std::uint32_t size = sizeof name;
      if (platform_.registry->EnumKey(key, i, name, &size) != 0) break;
      names.emplace_back(name, size);
    }
    platform_.registry->CloseKey(key);
    return names;
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
  std::optional<testing::ScopedMachineRoot> machine_;
  Platform platform_;
  CleanerPaths paths_;
  std::string data_folder_;
  std::string common_files_;
  std::vector<std::string> greetings_;
};

}  // namespace vorela
