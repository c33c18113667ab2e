// clsSystemFolder's buffer and lookup rules against scripted platform answers,
// and its real answers on this build's machine.
#include "common/system_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <cstdlib>
#include <string>

#include "support/machine_root.h"

namespace vorela {
namespace {

using testing::ScopedMachineRoot;

// Answers like the Win32 folder calls: copies when the value fits the buffer,
// else returns the size needed and writes nothing.
class ScriptedFolders final : public SpecialFolders {
 public:
  std::string windows = "C:\\windows", system = "C:\\windows\\system32";
  std::string temp = "C:\\users\\u\\Temp\\";
  std::map<int, std::string> shell;

  std::uint32_t WindowsDirectory(char* b, std::uint32_t n) override { return Put(windows, b, n); }
  std::uint32_t SystemDirectory(char* b, std::uint32_t n) override { return Put(system, b, n); }
  std::uint32_t TempPath(std::uint32_t n, char* b) override { return Put(temp, b, n); }
  bool ShellFolderPath(int csidl, char* b) override {
    auto it = shell.find(csidl);
    if (it == shell.end()) return false;
    Put(it->second, b, 260);
    return true;
  }

 private:
  static std::uint32_t Put(const std::string& v, char* b, std::uint32_t n) {
    if (v.size() + 1 > n) return static_cast<std::uint32_t>(v.size() + 1);
    std::memcpy(b, v.c_str(), v.size() + 1);
    return static_cast<std::uint32_t>(v.size());
  }
};

// One key's values, answering RegQueryValueExA's buffer rules; counts opens
// and closes so a leaked handle shows.
class ScriptedRegistry final : public Registry {
 public:
  std::map<std::string, std::pair<std::uint32_t, std::string>> values;
  int opens = 0, closes = 0;
  bool key_exists = true;

  Win32Error OpenKey(RegKey, std::string_view, std::uint32_t, RegKey* key) override {
    if (!key_exists) return kErrorFileNotFound;
    ++opens;
    *key = 42;
    return kErrorSuccess;
  }
  Win32Error QueryValue(RegKey, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override {
    auto it = values.find(std::string(name));
    if (it == values.end()) return kErrorFileNotFound;
    const std::string& bytes = it->second.second;
    if (type) *type = it->second.first;
    if (bytes.size() > *size) {
      *size = static_cast<std::uint32_t>(bytes.size());
      return kErrorMoreData;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<std::uint32_t>(bytes.size());
    return kErrorSuccess;
  }
  Win32Error CloseKey(RegKey key) override {
    if (key == 42) ++closes;
    return key == 42 ? kErrorSuccess : kErrorInvalidHandle;
  }
  Win32Error CreateKey(RegKey, std::string_view, std::uint32_t, RegKey*) override { return 5; }
  Win32Error SetValue(RegKey, std::string_view, std::uint32_t, const std::uint8_t*,
                      std::uint32_t) override { return 5; }
  Win32Error EnumKey(RegKey, std::uint32_t, char*, std::uint32_t*) override { return 259; }
  Win32Error EnumValue(RegKey, std::uint32_t, char*, std::uint32_t*, std::uint32_t*,
                       std::uint8_t*, std::uint32_t*) override { return 259; }
  Win32Error DeleteValue(RegKey, std::string_view) override { return 2; }
  Win32Error DeleteKey(RegKey, std::string_view) override { return 2; }
  Win32Error DeleteTree(RegKey, std::string_view) override { return 2; }
};

class SystemFolderRules : public ::testing::Test {
 protected:
  SystemFolderRules() {
    platform.text = &SystemTextCodec();
    platform.folders = &folders;
    platform.registry = &registry;
  }
  ScriptedFolders folders;
  ScriptedRegistry registry;
  Platform platform;
};

TEST_F(SystemFolderRules, ReturnsFoldersAsThePlatformWritesThem) {
  folders.shell[kCsidlAppData] = "C:\\users\\u\\AppData\\Roaming";
  folders.shell[kCsidlDesktop] = "C:\\";
  clsSystemFolder f(platform);
  EXPECT_EQ(f.Windows(), "C:\\windows");
  EXPECT_EQ(f.System(), "C:\\windows\\system32");
  EXPECT_EQ(f.Temp(), "C:\\users\\u\\Temp\\");
  EXPECT_EQ(f.Appdata(), "C:\\users\\u\\AppData\\Roaming");
  EXPECT_EQ(f.Desktop(), "C:\\") << "a root keeps its separator";
  EXPECT_EQ(f.Fonts(), "") << "a folder the shell does not provide";

  folders.windows = "D:\\win";  // nothing is cached
  EXPECT_EQ(f.Windows(), "D:\\win");
}

TEST_F(SystemFolderRules, WhatDoesNotFitTheBufferIsEmpty) {
  folders.windows = "C:\\" + std::string(253, 'w');  // 256 characters: no room for the NUL
  folders.system = "C:\\" + std::string(252, 's');   // 255 characters: fits
  clsSystemFolder f(platform);
  EXPECT_EQ(f.Windows(), "");
  EXPECT_EQ(f.System().size(), 255u);

  registry.values["CommonFilesDir"] = {kRegSz, std::string(256, 'c')};  // no NUL inside
  registry.values["ProgramFilesDir"] = {kRegSz, std::string(300, 'p') + '\0'};
  EXPECT_EQ(f.CommonFiles(), "");
  EXPECT_EQ(f.ProgramFiles(), "");
}

TEST_F(SystemFolderRules, MachineStringsComeUnexpandedAndAlwaysCloseTheKey) {
  registry.values["DevicePath"] = {kRegExpandSz, std::string("%SystemRoot%\\inf\0", 17)};
  registry.values["CommonFilesDir"] = {kRegSz, std::string("C:\\Program Files\\Common Files\0", 30)};
  clsSystemFolder f(platform);
  EXPECT_EQ(f.Device(), "%SystemRoot%\\inf");
  EXPECT_EQ(f.CommonFiles(), "C:\\Program Files\\Common Files");
  EXPECT_EQ(f.OldWindows(), "");
  EXPECT_EQ(f.Config(), "");
  EXPECT_EQ(registry.opens, 4);
  EXPECT_EQ(registry.closes, 4);

  registry.key_exists = false;
  EXPECT_EQ(f.Media(), "");
}

TEST_F(SystemFolderRules, ConvertsFromTheAnsiCodePage) {
  if (platform.text->CodePage() != 932) GTEST_SKIP() << "needs code page 932";
  folders.shell[kCsidlPersonal] = "C:\\\x83\x81\x83\x6A\x83\x85\x81\x5B";  // メニュー
  EXPECT_EQ(clsSystemFolder(platform).Personal(),
            "C:\\\xE3\x83\xA1\xE3\x83\x8B\xE3\x83\xA5\xE3\x83\xBC");
}

// The real backend of this build: the same shape on both.
TEST(SystemFoldersOnThisMachine, HaveTheWindowsLayout) {
  ScopedMachineRoot machine;
  SpecialFolders& real = SystemSpecialFolders();
  char buffer[260] = {};
  ASSERT_GT(real.WindowsDirectory(buffer, 256), 0u);
  EXPECT_STREQ(buffer, "C:\\windows");
  ASSERT_GT(real.SystemDirectory(buffer, 256), 0u);
  EXPECT_STREQ(buffer, "C:\\windows\\system32");
  ASSERT_GT(real.TempPath(256, buffer), 0u);
  EXPECT_EQ(std::string(buffer).back(), '\\');
  ASSERT_TRUE(real.ShellFolderPath(kCsidlAppData, buffer));
  EXPECT_EQ(std::string(buffer).rfind("C:\\users\\", 0), 0u);
  EXPECT_NE(std::string(buffer).find("\\AppData\\Roaming"), std::string::npos);
  EXPECT_FALSE(real.ShellFolderPath(0x7777, buffer));
  // The machine-wide values the resolver reads with RegOpenKeyA's access.
  const Platform platform = SystemPlatform();
#if defined(_WIN32) && !defined(_WIN64)
  // A 32-bit program on 64-bit Windows reads the redirected view.
  EXPECT_EQ(clsSystemFolder(platform).CommonFiles(), "C:\\Program Files (x86)\\Common Files");
  EXPECT_EQ(clsSystemFolder(platform).ProgramFiles(), "C:\\Program Files (x86)");
#else
  EXPECT_EQ(clsSystemFolder(platform).CommonFiles(), "C:\\Program Files\\Common Files");
  EXPECT_EQ(clsSystemFolder(platform).ProgramFiles(), "C:\\Program Files");
#endif
  char tiny[4] = {'z', 'z', 'z', 'z'};
  EXPECT_EQ(real.WindowsDirectory(tiny, 4), 11u) << "size needed, NUL included";
  EXPECT_EQ(tiny[0], 'z') << "nothing written when it does not fit";
}

}  // namespace
}  // namespace vorela
