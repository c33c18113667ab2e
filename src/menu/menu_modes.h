// The menu tool's start-up routine and its batch modes.
#pragma once

#include <string_view>

#include "menu/menu_state.h"

namespace vorela {

// Reset (no argument): removes the tool's context-menu entries, renames the
// Yahoo and Wiki web menus of the legacy store, deletes the script pages of
// the resource folder and sets MENUADD = "1".
void ResetIeMenus(const MenuServices& services, MenuState& state);

// "xml": copies the shared category.xml and webmenu.xml over the user's and
// registers the context-menu entries of webmain.xml, then webmenu.xml.
void InstallDefaultMenus(const MenuServices& services, MenuState& state);

// The display-name renames of the reset mode under SOFTWARE\VORELA\WEBMENU.
void RenameWebMenuDisplayNames(const Platform& platform);

// The work of the hidden file-cleaning window: every "*.htm" in
// resource_dir + "\htm\" is deleted. A file that cannot be deleted is left
// and the others still go.
void DeleteScriptPages(const Platform& platform, std::string_view resource_dir);

// Main: runs the mode the argument text selects. Raises what the modes raise.
void Main(const MenuServices& services, MenuState& state);

// The program's entry: Main, with any error shown in a message box titled
// with the program's name.
void RunMenuTool(const MenuServices& services);

}  // namespace vorela
