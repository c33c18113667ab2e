#include "cleaner/legacy_decoding.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace vorela {
namespace {

const TextCodec& Codec() { return SystemTextCodec(); }

// The stored form of the given character codes under key: ".n.n.n." and a check.
std::string TitleForm(const std::vector<int>& codes, std::string_view key) {
  const int k = LegacyKeySum(key, Codec());
  std::string form = ".";
  for (int c : codes) form += std::to_string(c + k) + ".";
  return form + "#1234";
}

TEST(LegacyTitle, KeySumAddsFourPerCharacter) {
  // "mossgate": 109+111+115+115+103+97+116+101 = 867, plus 8 x 4.
  EXPECT_EQ(LegacyKeySum("mossgate", Codec()), 899);
  EXPECT_EQ(LegacyKeySum("", Codec()), 0);
}

TEST(LegacyTitle, DecodesNumbersBetweenDots) {
  EXPECT_EQ(DecodeLegacyTitle(TitleForm({'a', '%', '2', 'B', 'b'}, "mossgate"), "mossgate", Codec()),
            "a%2Bb");
  EXPECT_EQ(UrlDecodeBytes(DecodeLegacyTitle(TitleForm({'a', '%', '2', 'B', 'b'}, "mossgate"),
                                             "mossgate", Codec()),
                           Codec()),
            "a+b");
  EXPECT_EQ(UrlDecodeBytes(DecodeLegacyTitle(TitleForm({'a', '+', 'b'}, "mossgate"), "mossgate",
                                             Codec()),
                           Codec()),
            "a b");
  EXPECT_EQ(DecodeLegacyTitle("no dots at all", "mossgate", Codec()), "");
  EXPECT_EQ(DecodeLegacyTitle("", "mossgate", Codec()), "");
  // A trailing number without its closing dot is not used.
  EXPECT_EQ(DecodeLegacyTitle(".996.997", "mossgate", Codec()), "a");
}

TEST(LegacyTitle, CodesOutsideOneTo255Fail) {
  EXPECT_EQ(DecodeLegacyTitle(TitleForm({'a', 0}, "mossgate"), "mossgate", Codec()), "Failed");
  EXPECT_EQ(DecodeLegacyTitle(TitleForm({'a', 256}, "mossgate"), "mossgate", Codec()), "Failed");
  // 1 and 255 are the ends of the range and decode.
  EXPECT_EQ(DecodeLegacyTitle(TitleForm({1, 'z'}, "mossgate"), "mossgate", Codec()), "\x01z");
  EXPECT_EQ(DecodeLegacyTitle(TitleForm({'y', 255}, "mossgate"), "mossgate", Codec()),
            "y" + Codec().FromAnsi("\xFF"));
  EXPECT_THROW(DecodeLegacyTitle(".99x.", "mossgate", Codec()), Error);
}

TEST(UrlDecode, FollowsThePercentRules) {
  EXPECT_EQ(UrlDecodeBytes("%41", Codec()), "A");
  EXPECT_EQ(UrlDecodeBytes("%4G", Codec()), std::string("\x04G"));
  EXPECT_EQ(UrlDecodeBytes("%G1", Codec()), "%G1");
  EXPECT_EQ(UrlDecodeBytes("100%", Codec()), "100%");
  EXPECT_EQ(UrlDecodeBytes("%4", Codec()), std::string("\x04"));
  EXPECT_EQ(UrlDecodeBytes("%", Codec()), "%");
  EXPECT_EQ(UrlDecodeBytes("a+b%20c", Codec()), "a b c");
  EXPECT_EQ(UrlDecodeBytes("", Codec()), "");
  EXPECT_EQ(UrlDecodeBytes("%e3%81%82", Codec()), "\xE3\x81\x82") << "bytes pass as bytes";
}

TEST(UrlDecode, DropsCharactersThatTakeTwoAnsiBytes) {
  if (Codec().CodePage() != 932) GTEST_SKIP() << "needs code page 932";
  EXPECT_EQ(UrlDecodeBytes("a\xE3\x81\x82" "b", Codec()), "ab");  // あ is two bytes
  EXPECT_EQ(UrlDecodeBytes("\xEF\xBD\xB1", Codec()), "\xB1");      // halfwidth ｱ is one
}

}  // namespace
}  // namespace vorela
