// The migration in this process, on this build's registry and files, with
// registry reads made to fail: what cannot be read is kept for a later run,
// and everything else still moves.
#include "cleaner/migration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cleaner/legacy_decoding.h"
#include "common/blowfish.h"
#include "fakes/fault_registry.h"
#include "support/machine_root.h"
#include "support/scratch.h"

namespace vorela {
namespace {

constexpr const char* kRoot = "SOFTWARE\\VORELA";

class SilentUi : public Ui {
 public:
  std::vector<std::string> shown;
  int ShowMessage(std::string_view text, std::string_view, std::uint32_t) override {
    shown.emplace_back(text);
    return kIdOk;
  }
};

class NoBrowser : public Browser {
 public:
  std::unique_ptr<BrowserWindow> NewWindow(Win32Error* error) override {
    if (error) *error = kErrorFileNotFound;
    return nullptr;
  }
};

// A cleaner whose folder holds no menu tool.
class LoneProcess : public Process {
 public:
  explicit LoneProcess(std::string folder) : folder_(std::move(folder)) {}
  std::string ProgramPath() override { return folder_ + "\\vorelacleaner.exe"; }
  std::string CommandLineArgs() override { return ""; }
  Win32Error StartDetached(std::string_view, std::string_view, bool) override {
    return kErrorFileNotFound;
  }
  std::unique_ptr<ProcessLock> LockExclusive(std::string_view, Win32Error* error) override {
    *error = kErrorAccessDenied;
    return nullptr;
  }

 private:
  std::string folder_;
};

class MigrationFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.emplace(scratch_.native() + "/machine");
    platform_ = SystemPlatform();
    real_ = platform_.registry;
    registry_ = std::make_unique<testing::FaultRegistry>(*platform_.registry);
    platform_.registry = registry_.get();
    platform_.ui = &ui_;
    platform_.browser = &browser_;
    platform_.process = &process_;
    paths_ = ComputeCleanerPaths(platform_);
    registry_->DeleteTree(kHkeyCurrentUser, kRoot);
    platform_.files->DeleteTree(paths_.DataFolder.substr(0, paths_.DataFolder.size() - 1), true);
  }
  void TearDown() override { registry_->DeleteTree(kHkeyCurrentUser, kRoot); }

  void Set(const std::string& key, const std::string& name, const std::string& bytes,
           std::uint32_t type = kRegSz) {
    RegKey handle = 0;
    ASSERT_EQ(registry_->CreateKey(kHkeyCurrentUser, key, kKeyAllAccess, &handle), 0u);
    ASSERT_EQ(registry_->SetValue(handle, name, type,
                                  reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                  static_cast<std::uint32_t>(bytes.size())),
              0u);
    registry_->CloseKey(handle);
  }
  // Asks the registry behind the faults.
  bool Exists(const std::string& key, const char* name = nullptr) {
    RegKey handle = 0;
    if (real_->OpenKey(kHkeyCurrentUser, key, kKeyRead, &handle) != 0) return false;
    std::uint32_t size = 0;
    const bool found = !name || real_->QueryValue(handle, name, nullptr, nullptr, &size) == 0;
    real_->CloseKey(handle);
    return found;
  }
  std::string Data(const std::string& name) {
    std::string bytes;
    if (platform_.files->ReadAll(paths_.DataFolder + name, &bytes) != 0) return "(missing)";
    if (!bytes.empty() && bytes.back() == '\n') bytes.pop_back();
    return bytes;
  }
  std::string Encrypted(const std::string& plain) {
    clsBlowfish cipher(platform_);
    ByteArray bytes(plain.begin(), plain.end());
    cipher.EncryptByte(bytes, "mossgate");
    return std::string(bytes.begin(), bytes.end());
  }
  void Migrate() { Migration(platform_).MigrateSettings(); }

  testing::ScratchDir scratch_;
  std::optional<testing::ScopedMachineRoot> machine_;
  Platform platform_;
  Registry* real_ = nullptr;
  std::unique_ptr<testing::FaultRegistry> registry_;
  SilentUi ui_;
  NoBrowser browser_;
  LoneProcess process_{"C:\\nowhere"};
  CleanerPaths paths_;
};

TEST_F(MigrationFaults, AValueThatCannotBeReadStaysWhileTheRestMoves) {
  Set(kRoot, "CALC10", std::string("10\0", 3));
  Set(kRoot, "CALC16", std::string("16\0", 3));
  Set(kRoot, "BORDER", std::string("2\0", 2));
  Set(std::string(kRoot) + "\\HISTORY", "HISTORY01", std::string("h\0", 2));
  registry_->FailQueries("CALC16", kErrorAccessDenied);
  registry_->FailQueries("BORDER", kErrorMoreData);  // keeps changing under the reader

  Migrate();
  EXPECT_EQ(Data("vorela.xml"), "<xmlroot><CALC10>10</CALC10></xmlroot>");
  EXPECT_EQ(Data("history.xml"), "<xmlroot><HISTORY01>h</HISTORY01></xmlroot>");
  EXPECT_FALSE(Exists(kRoot, "CALC10"));
  EXPECT_FALSE(Exists(std::string(kRoot) + "\\HISTORY"));
  EXPECT_TRUE(Exists(kRoot, "CALC16"));
  EXPECT_TRUE(Exists(kRoot, "BORDER"));

  registry_->FailQueries("CALC16", kErrorSuccess);
  registry_->FailQueries("BORDER", kErrorSuccess);
  Migrate();
  EXPECT_EQ(Data("vorela.xml"),
            "<xmlroot><CALC10>10</CALC10><CALC16>16</CALC16><BORDER>2</BORDER></xmlroot>");
  EXPECT_FALSE(Exists(kRoot));
}

TEST_F(MigrationFaults, OneUnreadableSecretKeepsThemAllForTheNextRun) {
  const int k = LegacyKeySum("mossgate", *platform_.text);
  for (const char* name : {"a", "b"}) {
    const std::string key = std::string(kRoot) + "\\SECRET\\" + name;
    Set(key, "TITLE", "." + std::to_string(name[0] + k) + ".#1" + '\0');
    Set(key, "VALUE", Encrypted(std::string("v") + name), kRegBinary);
  }
  Set(std::string(kRoot) + "\\SECRET\\b", "PASSWORD", Encrypted("p"), kRegBinary);
  registry_->FailQueries("PASSWORD", kErrorAccessDenied);

  Migrate();
  EXPECT_EQ(Data("secret.enc"), "(missing)") << "written whole or not at all";
  EXPECT_TRUE(Exists(std::string(kRoot) + "\\SECRET\\a", "VALUE"));
  EXPECT_TRUE(Exists(std::string(kRoot) + "\\SECRET\\b", "PASSWORD"));

  registry_->FailQueries("PASSWORD", kErrorSuccess);
  Migrate();
  std::string image;
  ASSERT_EQ(platform_.files->ReadAll(paths_.DataFolder + "secret.enc", &image), 0u);
  ByteArray bytes(image.begin(), image.end());
  clsBlowfish(platform_).DecryptByte(bytes, "mossgate");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "<xmlroot><secret><title>a</title><text>va</text><password/></secret>"
            "<secret><title>b</title><text>vb</text><password>p</password></secret></xmlroot>\n");
  EXPECT_FALSE(Exists(kRoot));
}

TEST_F(MigrationFaults, ThePhrasesMoveTogether) {
  Set(std::string(kRoot) + "\\WORD", "WORD01", std::string("one\0", 4));
  Set(std::string(kRoot) + "\\WORD", "WORD02", std::string("two\0", 4));
  registry_->FailQueries("WORD02", kErrorAccessDenied);
  Migrate();
  // Phrases are numbered by position: writing the first alone would let the
  // retry number them anew.
  EXPECT_EQ(Data("phrase.xml"), "(missing)");
  EXPECT_TRUE(Exists(std::string(kRoot) + "\\WORD", "WORD01"));

  registry_->FailQueries("WORD02", kErrorSuccess);
  Migrate();
  EXPECT_EQ(Data("phrase.xml"), "<xmlroot><WORD1>one</WORD1><WORD2>two</WORD2></xmlroot>");
  EXPECT_FALSE(Exists(kRoot));
}

}  // namespace
}  // namespace vorela
