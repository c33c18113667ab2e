#include "base/ascii.h"

#include <gtest/gtest.h>

namespace vorela {
namespace {

TEST(Ascii, FoldsOnlyTheAsciiLetters) {
  EXPECT_EQ(AsciiLower("AZaz@[`{09"), "azaz@[`{09");
  EXPECT_EQ(AsciiUpper("AZaz@[`{09"), "AZAZ@[`{09");
  // UTF-8 bytes of accented letters stay as they are.
  EXPECT_EQ(AsciiLower("\xC3\x89T\xC3\x89"), "\xC3\x89t\xC3\x89");
  EXPECT_TRUE(EqualsIgnoreCase("MenuExt", "menuEXT"));
  EXPECT_FALSE(EqualsIgnoreCase("\xC3\xA9", "\xC3\x89"));  // e-acute vs E-acute
  EXPECT_FALSE(EqualsIgnoreCase("@", "`"));  // 0x40 and 0x60 differ by 32 too
}

TEST(Ascii, OrdersWithLettersFolded) {
  EXPECT_TRUE(LessIgnoreCase("apple", "Banana"));
  EXPECT_FALSE(LessIgnoreCase("Banana", "apple"));
  EXPECT_FALSE(LessIgnoreCase("ABC", "abc"));
  EXPECT_FALSE(LessIgnoreCase("abc", "ABC"));
  EXPECT_TRUE(LessIgnoreCase("ab", "ABC"));  // a prefix first
  // Letters fold to lower case: "_" (0x5F) sorts before "A" as before "a" (0x61).
  EXPECT_TRUE(LessIgnoreCase("_x", "Ax"));
}

}  // namespace
}  // namespace vorela
