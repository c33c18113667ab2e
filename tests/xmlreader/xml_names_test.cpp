#include "cleaner/xml_names.h"

#include <gtest/gtest.h>

#include <string>

namespace vorela {
namespace {

// Names of every length up to a few words, so that each way of comparing them
// (byte by byte, by overlapping words) meets a difference in every place.
TEST(XmlNamesTest, EveryByteOfNamesOfEveryLengthCounts) {
  const std::string letters = "aBcDeFgHiJkLmNoPqRsTuVwXyZ0123_-.";
  for (std::size_t n = 0; n <= letters.size(); ++n) {
    const std::string name = letters.substr(0, n);
    std::string flipped = name;
    for (char& c : flipped) {
      if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') c ^= 0x20;
    }
    SCOPED_TRACE(name);
    EXPECT_TRUE(XmlNamesEqual(name, name));
    EXPECT_TRUE(XmlNamesEqual(name, flipped));
    EXPECT_FALSE(XmlNamesEqual(name, name + "a"));
    for (std::size_t i = 0; i < n; ++i) {
      SCOPED_TRACE(i);
      std::string other = name;
      other[i] = other[i] == 'q' ? 'r' : 'q';
      EXPECT_FALSE(XmlNamesEqual(name, other));
      EXPECT_FALSE(XmlNamesEqual(flipped, other));
      other[i] = '\x01';
      EXPECT_FALSE(XmlNamesEqual(name, other));
    }
  }
}

TEST(XmlNamesTest, OnlyAsciiLettersIgnoreCase) {
  EXPECT_TRUE(XmlNamesEqual("MENU-z", "menu-Z"));
  // Pairs that differ in the case bit alone but are no letters.
  for (const char* pair : {"@`", "[{", "]}", "^~", "\x10\x30", "\xC3\xE3"}) {
    SCOPED_TRACE(pair);
    const std::string a = std::string("name") + pair[0] + "tail";
    const std::string b = std::string("name") + pair[1] + "tail";
    EXPECT_FALSE(XmlNamesEqual(a, b));
    EXPECT_FALSE(XmlNamesEqual(a.substr(4, 1), b.substr(4, 1)));
  }
  // Japanese names compare byte for byte.
  EXPECT_TRUE(XmlNamesEqual("\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"));
  EXPECT_FALSE(XmlNamesEqual("\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAD"));
}

}  // namespace
}  // namespace vorela
