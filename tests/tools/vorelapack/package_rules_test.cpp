// The rules the installer and the package check share.
#include "menu/package_rules.h"

#include <gtest/gtest.h>

namespace vorela::testing {
namespace {

TEST(PackageRules, KindByTheLastFourCharactersCaseIgnored) {
  EXPECT_EQ(KindOfPackageFile("m01.ICO"), PackageFileKind::kIcon);
  EXPECT_EQ(KindOfPackageFile("page.Htm"), PackageFileKind::kScriptPage);
  EXPECT_EQ(KindOfPackageFile("lang.xml"), PackageFileKind::kSharedFile);
  EXPECT_EQ(KindOfPackageFile("m.enc"), PackageFileKind::kManifest);
  // Four characters or fewer: ignored, even with a known ending.
  EXPECT_EQ(KindOfPackageFile(".ico"), PackageFileKind::kIgnored);
  EXPECT_EQ(KindOfPackageFile("page.html"), PackageFileKind::kIgnored);
  // Characters, not bytes: a two-character stem in Japanese is long enough.
  EXPECT_EQ(KindOfPackageFile("\xE6\x97\xA5.ico"), PackageFileKind::kIcon);
}

TEST(PackageRules, PlainNamesAndDecryptedNames) {
  EXPECT_TRUE(IsPlainFileName("m01.ico"));
  for (const char* name : {"a\\b.ico", "a/b.ico", "c:x.ico", ".", ".."}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
  EXPECT_EQ(DecryptedManifestName("search.enc"), "search.xml");
  EXPECT_EQ(DecryptedManifestName("a.enc.enc"), "a.xml.xml");
  EXPECT_EQ(DecryptedManifestName("MENU.ENC"), "MENU.xml");
}

}  // namespace
}  // namespace vorela::testing
