#include "menu/ie_menus.h"

#include <gtest/gtest.h>

#include "menu/menu_fixture.h"

namespace vorela::testing {
namespace {

using IeMenus = MenuFixture;

IeMenuRecord Menu(const std::string& id, const std::string& name) {
  IeMenuRecord menu;
  menu.MENUID = id;
  menu.DISPNAME = name;
  menu.IE = "1";
  return menu;
}

void ExpectToolEntry(FakeRegistry& registry, const std::string& path,
                     const std::string& id, const std::string& script_dir) {
  ASSERT_TRUE(registry.HasKey(path)) << path;
  EXPECT_EQ(registry.Text(path, ""), script_dir + "\\htm\\" + id + ".htm");
  EXPECT_EQ(registry.Text(path, "MenuID"), id);
  const FakeRegistry::Value* contexts = registry.Get(path, "Contexts");
  ASSERT_NE(contexts, nullptr);
  EXPECT_EQ(contexts->type, kRegDword);
  EXPECT_EQ(contexts->data, std::string("\x38\0\0\0", 4));
}

TEST_F(IeMenus, RepairWritesContextsAsTextOnTheToolsEntriesOnly) {
  AddToolEntry("(&0)Search", "100");
  registry_.SetString(Entry("Other"), "", "C:\\other\\page.htm");
  FixIeMenuContexts(platform_);
  const FakeRegistry::Value* contexts =
      registry_.Get(Entry("(&0)Search"), "Contexts");
  ASSERT_NE(contexts, nullptr);
  EXPECT_EQ(contexts->type, kRegSz);
  EXPECT_EQ(contexts->data, std::string("56\0", 3));
  EXPECT_EQ(registry_.Get(Entry("Other"), "Contexts"), nullptr);
}

TEST_F(IeMenus, NewEntriesAreNumberedWithTheRunsCounter) {
  RegisterIeMenu(platform_, state_, Menu("100", "Maps"));
  RegisterIeMenu(platform_, state_, Menu("200", "News"));
  ExpectToolEntry(registry_, Entry("(&0)Maps"), "100", kResourceDir);
  ExpectToolEntry(registry_, Entry("(&1)News"), "200", kResourceDir);
  EXPECT_EQ(state_.IeMenuCounter, 2);
}

TEST_F(IeMenus, AReplacedEntryKeepsItsPrefixAndTakesTheNewName) {
  AddToolEntry("(&3)Old name", "100");
  state_.IeMenuCounter = 7;
  RegisterIeMenu(platform_, state_, Menu("100", "New name"));
  EXPECT_FALSE(registry_.HasKey(Entry("(&3)Old name")));
  ExpectToolEntry(registry_, Entry("(&3)New name"), "100", kResourceDir);
  EXPECT_EQ(state_.IeMenuCounter, 8) << "a replacement counts too";

  // A name without ")" keeps no prefix at all.
  AddToolEntry("Plain", "300");
  RegisterIeMenu(platform_, state_, Menu("300", "Renamed"));
  EXPECT_EQ(registry_.SubKeys(kMenuExt),
            (std::vector<std::string>{"(&3)New name", "Renamed"}));
}

TEST_F(IeMenus, TheSameIdTwiceInOneRunLeavesOneEntry) {
  RegisterIeMenu(platform_, state_, Menu("100", "First"));
  RegisterIeMenu(platform_, state_, Menu("100", "Second"));
  EXPECT_EQ(registry_.SubKeys(kMenuExt),
            std::vector<std::string>{"(&0)Second"});
}

TEST_F(IeMenus, OtherProgramsEntriesAreNeverTouched) {
  // Same MenuID as the menu, but its page lies outside the resource folder.
  registry_.SetString(Entry("(&0)Foreign"), "", "C:\\other\\100.htm");
  registry_.SetString(Entry("(&0)Foreign"), "MenuID", "100");
  RegisterIeMenu(platform_, state_, Menu("100", "Mine"));
  RegisterPackageIeMenu(platform_, kResourceDir, "100", "Mine again");
  FixIeMenuContexts(platform_);
  RemoveToolIeMenus(platform_);
  EXPECT_EQ(registry_.Text(Entry("(&0)Foreign"), ""), "C:\\other\\100.htm");
  EXPECT_EQ(registry_.Text(Entry("(&0)Foreign"), "MenuID"), "100");
  EXPECT_EQ(registry_.Get(Entry("(&0)Foreign"), "Contexts"), nullptr);
  EXPECT_EQ(registry_.SubKeys(kMenuExt),
            std::vector<std::string>{"(&0)Foreign"});
}

TEST_F(IeMenus, IdsThatCouldNameAnotherFileGetNoEntry) {
  AddToolEntry("(&0)Orphan", "");
  for (const char* id :
       {"", "..\\..\\..\\..\\evil", "a/b", "sub\\x", "C:x", "..", "x..y", "CON",
        "con.txt", "Nul ", "com1", "LPT9.htm", "a*b", "a\x01" "b"}) {
    SCOPED_TRACE(id);
    RegisterIeMenu(platform_, state_, Menu(id, "Bad"));
    RegisterPackageIeMenu(platform_, kResourceDir, id, "Bad package");
  }
  EXPECT_EQ(registry_.SubKeys(kMenuExt), std::vector<std::string>{"(&0)Orphan"});
  EXPECT_EQ(state_.IeMenuCounter, 0) << "a refused menu takes no number";

  // Names that only resemble devices are ordinary IDs.
  for (const char* id : {"COM10", "console", "LPT", "a.b", "001"}) {
    RegisterIeMenu(platform_, state_, Menu(id, id));
  }
  EXPECT_EQ(state_.IeMenuCounter, 5);
  ExpectToolEntry(registry_, Entry("(&0)COM10"), "COM10", kResourceDir);
}

TEST_F(IeMenus, PackageEntriesAreNumberedByTheToolsOtherEntries) {
  AddToolEntry("(&0)A", "1");
  AddToolEntry("(&5)B", "2");
  registry_.SetString(Entry("Foreign"), "", "C:\\x.htm");
  RegisterPackageIeMenu(platform_, "D:\\res", "9", "Package");
  ExpectToolEntry(registry_, Entry("(&2)Package"), "9", "D:\\res");

  RegisterPackageIeMenu(platform_, "D:\\res", "2", "B renamed");
  EXPECT_FALSE(registry_.HasKey(Entry("(&5)B")));
  ExpectToolEntry(registry_, Entry("(&5)B renamed"), "2", "D:\\res");
  EXPECT_EQ(state_.IeMenuCounter, 0);
}

TEST_F(IeMenus, ResetRemovesOnlyTheToolsEntries) {
  AddToolEntry("(&0)A", "1");
  AddToolEntry("(&1)B", "2");
  registry_.SetString(Entry("Foreign"), "", "C:\\TOLRESOURCE\\x.htm");
  RemoveToolIeMenus(platform_);
  EXPECT_EQ(registry_.SubKeys(kMenuExt), std::vector<std::string>{"Foreign"})
      << "the ownership test is case-sensitive";
}

}  // namespace
}  // namespace vorela::testing
