// The tool's entries in Internet Explorer's context menu: one subkey of
// HKCU\Software\Microsoft\Internet Explorer\MenuExt per menu, named
// "(&<n>)<display name>", whose default value is the menu's script page in the
// shared resource folder, with Contexts = 56 and MenuID = the menu's ID.
//
// An entry belongs to the tool when its default value contains "tolresource"
// (IsProductMenuExtEntry, shared with the cleaner);
// entries of other programs are never changed or removed.
#pragma once

#include <string>
#include <string_view>

#include "menu/menu_state.h"

namespace vorela {

// The facts of one menu element of a menu file that registration needs.
struct IeMenuRecord {
  std::string DISPNAME;
  std::string HINT;
  std::string ICON;
  std::string IE;
  std::string MENUID;
};

// Start-up repair: Contexts = "56" as a string on every entry of the tool.
void FixIeMenuContexts(const Platform& platform);

// Removes every entry of the tool (the reset mode's clean-up).
void RemoveToolIeMenus(const Platform& platform);

// Creates or replaces the entry of one menu file menu. A replaced entry keeps
// its "(&n)" prefix; a new one is numbered with state.IeMenuCounter, which
// goes up by one either way. A menu whose MENUID is missing or not usable as
// a file name (IsUsableMenuId) gets no entry and no number.
void RegisterIeMenu(const Platform& platform, MenuState& state,
                    const IeMenuRecord& menu);

// Registers every menu of a menu file whose IE is "1", in document order. A
// missing or unreadable file registers nothing; nothing is ever raised.
void RegisterIeMenusFromFile(const MenuServices& services, MenuState& state,
                             std::string_view path);

// The package import's create-or-replace: the script page lies in
// resource_dir; a new entry is numbered with the count of the tool's other
// entries met before it in enumeration order. An ID that IsUsableMenuId
// refuses gets no entry.
void RegisterPackageIeMenu(const Platform& platform,
                           std::string_view resource_dir, std::string_view id,
                           std::string_view display_name);

}  // namespace vorela
