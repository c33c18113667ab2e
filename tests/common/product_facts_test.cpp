#include "common/product_facts.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "common/error.h"
#include "platform/error_codes.h"

namespace vorela {
namespace {

// Run-time error numbers and Win32 codes share small values with different
// meanings; mixing them up must not compile.
static_assert(!std::is_convertible_v<RuntimeError, Win32Error>);
static_assert(!std::is_convertible_v<Win32Error, RuntimeError>);
static_assert(!std::is_convertible_v<RuntimeError, std::int32_t>);
static_assert(!std::is_constructible_v<Error, Win32Error, std::string, std::string>);
static_assert(std::is_constructible_v<Error, RuntimeError, std::string, std::string>);
static_assert(std::is_constructible_v<Error, std::int32_t, std::string, std::string>);

TEST(RuntimeErrorTest, KeepsTheNumbersCallersHaveAlwaysSeen) {
  EXPECT_EQ(Error(RuntimeError::kOverflow, "s", "d").Number(), 6);
  EXPECT_EQ(ErrorNumber(RuntimeError::kFileNotFound), 53);
  EXPECT_EQ(ErrorNumber(RuntimeError::kPathFileAccess), 75);
  EXPECT_EQ(ErrorNumber(RuntimeError::kCannotCreateObject), 429);
}

TEST(ProductFactsTest, UserDataFilesSitInTheDataFolder) {
  const UserDataFiles files = MakeUserDataFiles("C:\\Users\\u\\AppData");
  EXPECT_EQ(files.Folder, "C:\\Users\\u\\AppData\\vorela\\");
  EXPECT_EQ(files.Settings, "C:\\Users\\u\\AppData\\vorela\\vorela.xml");
  EXPECT_EQ(files.Secret, "C:\\Users\\u\\AppData\\vorela\\secret.xml");
  EXPECT_EQ(files.Bookmark, "C:\\Users\\u\\AppData\\vorela\\bookmark.xml");
  // No application-data folder: the paths hang below the root, as before.
  EXPECT_EQ(MakeUserDataFiles("").WebMenu, "\\vorela\\webmenu.xml");
}

TEST(ProductFactsTest, AnEntryIsOursWhenItRunsAPageOfTheResourceFolder) {
  EXPECT_TRUE(IsProductMenuExtEntry("C:\\windows\\system32\\tolresource\\htm\\0001.htm"));
  EXPECT_FALSE(IsProductMenuExtEntry("C:\\other\\page.htm"));
  EXPECT_FALSE(IsProductMenuExtEntry(""));
  // Case matters: the programs have always matched the name exactly.
  EXPECT_FALSE(IsProductMenuExtEntry("C:\\TOLRESOURCE\\htm\\x.htm"));
}

}  // namespace
}  // namespace vorela
