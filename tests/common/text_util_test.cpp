#include "common/text_util.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace vorela {
namespace {

TEST(TextUtil, CountsUtf16CodeUnits) {
  EXPECT_EQ(Utf16Length(""), 0u);
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length("\xE3\x83\xA1\xE3\x83\x8B"), 2u);  // two katakana
  EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80"), 2u);           // one surrogate pair
  EXPECT_EQ(LastChars("C:\\x\\a.VORELA", 7), ".VORELA");
  EXPECT_EQ(LastChars("\xE3\x83\xA1" ".ico", 4), ".ico");
  EXPECT_EQ(LastChars("ab", 7), "ab");
}

TEST(TextUtil, ReplacesWithoutRescanning) {
  EXPECT_EQ(ReplaceAll("a@@b@@@c", "@@", "&"), "a&b&@c");
  EXPECT_EQ(ReplaceAll("Yahoo(x) Yahoo(y)", "Yahoo(", "Yahoo!("), "Yahoo!(x) Yahoo!(y)");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(TextUtil, TrimsSpacesOnly) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_TRUE(EqualsIgnoreCase("XmlRoot", "xmlROOT"));
  EXPECT_FALSE(EqualsIgnoreCase("xml", "xmlroot"));
  EXPECT_EQ(ZeroPad(7, 2), "07");
  EXPECT_EQ(ZeroPad(123, 2), "123");
}

TEST(AnsiCodec, RoundTripsJapaneseThroughCodePage932) {
  TextCodec& codec = SystemTextCodec();
  if (codec.CodePage() != 932) GTEST_SKIP() << "code page " << codec.CodePage();
  const std::string manual = "vorela!\xE3\x83\x9E\xE3\x83\x8B\xE3\x83\xA5\xE3\x82\xA2\xE3\x83\xAB";
  const std::string ansi = codec.ToAnsi(manual);
  EXPECT_EQ(ansi, "vorela!\x83\x7D\x83\x6A\x83\x85\x83\x41\x83\x8B");
  EXPECT_EQ(codec.FromAnsi(ansi), manual);
  // "ソ" is 0x83 0x5C: its second byte is the path separator's.
  EXPECT_EQ(codec.ToAnsi("\xE3\x82\xBD"), "\x83\x5C");
  EXPECT_EQ(codec.ToAnsi("\xF0\x9F\x98\x80"), "??");  // one per UTF-16 unit
}

}  // namespace
}  // namespace vorela
