// "xml" mode reads the shared menu files whatever encoding they declare.
#include <gtest/gtest.h>

#include "menu/ie_menus.h"
#include "menu/menu_fixture.h"
#include "support/wine.h"

namespace vorela::testing {
namespace {

using XmlModeEncoding = MenuFixture;

TEST_F(XmlModeEncoding, RegistersTheMenusOfAShiftJisMenuFile) {
  const std::string path = std::string(kResourceDir) + "\\webmain.xml";
  // "地図" and "ソ" (0x83 0x5C, whose second byte is the backslash's).
  files_.AddFile(path,
                 "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<xmlroot>"
                 "<menu><DISPNAME>\x92\x6E\x90\x7D</DISPNAME><IE>1</IE>"
                 "<MENUID>100</MENUID></menu>"
                 "<menu><DISPNAME>\x83\x5C</DISPNAME><IE>1</IE>"
                 "<MENUID>200</MENUID></menu></xmlroot>\r\n");
  RegisterIeMenusFromFile(services_, state_, path);
  if (RunningUnderWine()) {
    // Wine deviation: Wine's DOM cannot read Shift_JIS, which Windows reads;
    // under Wine the file registers nothing.
    EXPECT_TRUE(registry_.SubKeys(kMenuExt).empty());
    return;
  }
  const std::string first =
      SystemTextCodec().ToAnsi("(&0)\xE5\x9C\xB0\xE5\x9B\xB3");
  const std::string second = SystemTextCodec().ToAnsi("(&1)\xE3\x82\xBD");
  EXPECT_EQ(registry_.Text(Entry(first), "MenuID"), "100");
  EXPECT_EQ(registry_.Text(Entry(second), "MenuID"), "200");
  EXPECT_EQ(registry_.SubKeys(kMenuExt).size(), 2u);
}

}  // namespace
}  // namespace vorela::testing
