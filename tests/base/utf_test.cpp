#include "base/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace vorela {
namespace {

std::string Encode(char32_t cp) {
  std::string out;
  AppendUtf8(&out, cp);
  return out;
}

bool Decodes(std::string_view text, char32_t* cp) {
  std::size_t pos = 0;
  return DecodeUtf8(text, &pos, cp) && pos == text.size();
}

TEST(Utf8, EncodesEachLengthAtItsBoundaries) {
  EXPECT_EQ(Encode(0x7F), "\x7F");
  EXPECT_EQ(Encode(0x80), "\xC2\x80");
  EXPECT_EQ(Encode(0x7FF), "\xDF\xBF");
  EXPECT_EQ(Encode(0x800), "\xE0\xA0\x80");
  EXPECT_EQ(Encode(0xFFFD), "\xEF\xBF\xBD");
  EXPECT_EQ(Encode(0x10000), "\xF0\x90\x80\x80");
  EXPECT_EQ(Encode(0x10FFFF), "\xF4\x8F\xBF\xBF");
}

TEST(Utf8, DecodesWhatItEncodes) {
  for (char32_t cp : {U'\0', U'a', char32_t{0x80}, char32_t{0x7FF}, char32_t{0x800},
                      char32_t{0xD7FF}, char32_t{0xE000}, char32_t{0xFFFF},
                      char32_t{0x10000}, char32_t{0x10FFFF}}) {
    char32_t back = 0xFFFFFFFF;
    EXPECT_TRUE(Decodes(Encode(cp), &back)) << static_cast<unsigned>(cp);
    EXPECT_EQ(back, cp);
  }
}

TEST(Utf8, RefusesIllFormedSequencesWithoutMoving) {
  const char* bad[] = {
      "\x80",              // stray continuation byte
      "\xC0\xAF",          // overlong "/"
      "\xC1\xBF",          // overlong
      "\xE0\x80\xAF",      // overlong three-byte form
      "\xF0\x80\x80\xAF",  // overlong four-byte form
      "\xED\xA0\x80",      // a surrogate (U+D800)
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xF8\x88\x80\x80",  // five-byte lead
      "\xE3\x83",          // truncated
      "\xE3\x41\x41",      // continuation replaced by ASCII
  };
  for (const char* text : bad) {
    std::size_t pos = 0;
    char32_t cp = 0x41;
    EXPECT_FALSE(DecodeUtf8(text, &pos, &cp)) << text;
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(cp, 0x41u);
  }
}

TEST(Utf8, StepsThroughMixedText) {
  const std::string text = "a\xC3\xA9\xE3\x83\xA1\xF0\x9F\x98\x80";
  std::size_t pos = 0;
  char32_t cp = 0;
  std::u32string seen;
  while (pos < text.size() && DecodeUtf8(text, &pos, &cp)) seen.push_back(cp);
  EXPECT_EQ(seen, (std::u32string{U'a', 0xE9, 0x30E1, 0x1F600}));
  EXPECT_EQ(Utf16Length(text), 5u);  // the emoji needs two units
}

TEST(Utf8, CountsStrayBytesAsOneUnitEach) {
  // Text that is not UTF-8 (an ANSI name passed through) still gets a length:
  // a stray byte is one unit and a lead byte takes the bytes it announces.
  EXPECT_EQ(Utf16Length("\x80\x80"), 2u);
  EXPECT_EQ(Utf16Length("\xF0"), 2u);
  EXPECT_EQ(Utf8SequenceLength(0xC3), 2u);
  EXPECT_EQ(Utf8SequenceLength(0xBF), 1u);
  EXPECT_EQ(Utf8SequenceLength(0xFF), 1u);
}

TEST(Utf16, SplitsAndJoinsSurrogatePairs) {
  EXPECT_EQ(HighSurrogateOf(0x1F600), 0xD83D);
  EXPECT_EQ(LowSurrogateOf(0x1F600), 0xDE00);
  EXPECT_EQ(CombineSurrogates(0xD83D, 0xDE00), 0x1F600u);
  EXPECT_EQ(CombineSurrogates(HighSurrogateOf(0x10FFFF), LowSurrogateOf(0x10FFFF)), 0x10FFFFu);
  EXPECT_EQ(CombineSurrogates(HighSurrogateOf(0x10000), LowSurrogateOf(0x10000)), 0x10000u);
  EXPECT_TRUE(IsHighSurrogate(0xDBFF));
  EXPECT_FALSE(IsHighSurrogate(0xDC00));
  EXPECT_TRUE(IsLowSurrogate(0xDFFF));
  EXPECT_FALSE(IsLowSurrogate(0xE000));
  EXPECT_FALSE(IsSurrogate(0xD7FF));
}

}  // namespace
}  // namespace vorela
