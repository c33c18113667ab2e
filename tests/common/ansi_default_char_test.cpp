// Bytes of the ANSI code page that have no character: both builds must read
// them as the same text (the Windows build gets it from the platform).
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace vorela {
namespace {

constexpr const char* kMiddleDot = "\xE3\x83\xBB";  // U+30FB

TEST(AnsiCodec, BytesWithoutACharacterReadAsThePlatformReadsThem) {
  TextCodec& codec = SystemTextCodec();
  if (codec.CodePage() != 932) GTEST_SKIP() << "code page " << codec.CodePage();
  const std::string dot = kMiddleDot;
  // A pair that has no character is one default character, whatever its
  // second byte; reading goes on with the next character.
  EXPECT_EQ(codec.FromAnsi("\x85\x40"), dot);
  EXPECT_EQ(codec.FromAnsi("a\xEB\x40\x82\xA0"), "a" + dot + "\xE3\x81\x82");
  EXPECT_EQ(codec.FromAnsi("\x81\x20"
                           "b"),
            dot + "b");
  // A lead byte at the end or before NUL stands alone.
  EXPECT_EQ(codec.FromAnsi("a\x81"), "a" + dot);
  EXPECT_EQ(codec.FromAnsi(std::string("\x81\0b", 3)),
            dot + std::string("\0b", 2));
  // Single bytes the table gives a character of their own.
  EXPECT_EQ(codec.FromAnsi("\x80"), "\xC2\x80");
  EXPECT_EQ(codec.FromAnsi("\xA0\xFD\xFE\xFF"),
            "\xEF\xA3\xB0\xEF\xA3\xB1\xEF\xA3\xB2\xEF\xA3\xB3");
  // The user-defined rows, and a text without gaps, as before.
  EXPECT_EQ(codec.FromAnsi("\xF0\x40"), "\xEE\x80\x80");
  EXPECT_EQ(codec.FromAnsi("\x83\x5C\xB1"), "\xE3\x82\xBD\xEF\xBD\xB1");
}

}  // namespace
}  // namespace vorela
