// The migrated secrets on this build's real files: nobody but their owner may
// read secret.enc, whatever stood in its place before. POSIX only: Windows
// has no file modes to look at.
#ifndef _WIN32

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cleaner/migration.h"
#include "common/text_util.h"
#include "platform/posix/machine.h"
#include "support/machine_root.h"

namespace vorela {
namespace {

class SecretFile : public ::testing::Test {
 protected:
  void SetUp() override {
    old_mask_ = umask(022);
    platform_ = SystemPlatform();
    platform_.browser = nullptr;  // no greeting window from a test
    RegKey key = 0;
    ASSERT_EQ(platform_.registry->CreateKey(kHkeyCurrentUser, "SOFTWARE\\VORELA\\SECRET\\1",
                                            kKeyAllAccess, &key),
              kErrorSuccess);
    const std::string title = "note";
    platform_.registry->SetValue(key, "TITLE", kRegSz,
                                 reinterpret_cast<const std::uint8_t*>(title.c_str()),
                                 static_cast<std::uint32_t>(title.size() + 1));
    platform_.registry->CloseKey(key);
    const CleanerPaths paths = ComputeCleanerPaths(platform_);
    secret_ = posix::NativePath(ReplaceAll(paths.SecretXml, ".xml", ".enc"));
    std::filesystem::create_directories(std::filesystem::path(secret_).parent_path());
  }
  void TearDown() override { umask(old_mask_); }

  mode_t SecretMode() {
    struct stat st;
    EXPECT_EQ(lstat(secret_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    return st.st_mode & 07777;
  }

  testing::ScopedMachineRoot machine_;
  Platform platform_;
  std::string secret_;
  mode_t old_mask_ = 0;
};

TEST_F(SecretFile, IsTheOwnersAloneWhateverWasThereBefore) {
  testing::WriteNativeFile(secret_, "an older secret file, readable by all");
  ASSERT_EQ(chmod(secret_.c_str(), 0644), 0);
  Migration(platform_).MigrateSettings();
  EXPECT_EQ(SecretMode(), 0600u);
  EXPECT_NE(testing::ReadNativeFile(secret_), "an older secret file, readable by all");
}

TEST_F(SecretFile, ALinkInItsPlaceIsReplacedAndWhatItPointsToKept) {
  const std::string elsewhere = machine_.native() + "/elsewhere";
  testing::WriteNativeFile(elsewhere, "not a secret");
  ASSERT_EQ(chmod(elsewhere.c_str(), 0644), 0);
  std::filesystem::create_symlink(elsewhere, secret_);
  Migration(platform_).MigrateSettings();
  EXPECT_EQ(SecretMode(), 0600u);
  EXPECT_EQ(testing::ReadNativeFile(elsewhere), "not a secret");
}

}  // namespace
}  // namespace vorela

#endif  // _WIN32
