// The "xml" mode: the shared default menu files become the user's, and their
// menus get their context-menu entries.
#include "common/helpers.h"
#include "common/system_folder.h"
#include "menu/file_ops.h"
#include "menu/ie_menus.h"
#include "menu/menu_modes.h"

namespace vorela {

void InstallDefaultMenus(const MenuServices& services, MenuState& state) {
  const Platform& platform = *services.platform;
  const std::string shared =
      clsSystemFolder(platform).System() + "\\tolresource";
  const std::string user = clsSystemFolder(platform).Appdata() + "\\vorela";
  for (const char* name : {"\\category.xml", "\\webmenu.xml"}) {
    if (FileExists(platform, shared + name)) {
      CopyFileOrRaise(platform, shared + name, user + name);
    }
  }
  RegisterIeMenusFromFile(services, state, shared + "\\webmain.xml");
  RegisterIeMenusFromFile(services, state, shared + "\\webmenu.xml");
}

}  // namespace vorela
