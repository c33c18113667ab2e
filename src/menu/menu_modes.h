// The menu tool's start-up routine and its batch modes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "menu/menu_state.h"

namespace vorela {

// Reset (no argument): removes the tool's context-menu entries, renames the
// Yahoo and Wiki web menus of the legacy store, deletes the script pages of
// the resource folder and sets MENUADD = "1". False when a script page stayed
// or MENUADD could not be written (the rest is done all the same).
bool ResetIeMenus(const MenuServices& services, MenuState& state);

// "xml": copies the shared category.xml and webmenu.xml over the user's and
// registers the context-menu entries of webmain.xml, then webmenu.xml.
// Raises when a copy fails.
void InstallDefaultMenus(const MenuServices& services, MenuState& state);

// The display-name renames of the reset mode under SOFTWARE\VORELA\WEBMENU.
void RenameWebMenuDisplayNames(const Platform& platform);

// The work of the hidden file-cleaning window: every "*.htm" in
// resource_dir + "\htm\" is deleted. A file that cannot be deleted is left,
// noted in *problems, and the others still go. True when none was left.
bool DeleteScriptPages(const Platform& platform, std::string_view resource_dir,
                       std::vector<std::string>* problems);

// Main: runs the mode the argument text selects; false when that mode
// failed (package mode: the window keeps the failure caption; a package path
// that does not exist). Raises what the modes raise.
bool Main(const MenuServices& services, MenuState& state);

// The program's entry: Main, with any error shown in a message box titled
// with the program's name. Returns the exit code: 0 when the mode did its
// work, 1 when it failed or raised. *problems (when given) gets what went
// wrong without an error box.
int RunMenuTool(const MenuServices& services,
                std::vector<std::string>* problems = nullptr);

}  // namespace vorela
