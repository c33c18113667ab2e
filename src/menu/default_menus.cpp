// The "xml" mode: the shared default menu files become the user's, and their
// menus get their context-menu entries.
#include "common/helpers.h"
#include "common/product_facts.h"
#include "common/system_folder.h"
#include "menu/file_ops.h"
#include "menu/ie_menus.h"
#include "menu/menu_modes.h"

namespace vorela {

void InstallDefaultMenus(const MenuServices& services, MenuState& state) {
  const Platform& platform = *services.platform;
  const std::string shared = ResourceFolderPath(platform);
  const std::string user = clsSystemFolder(platform).Appdata() + "\\" + kDataFolderName;
  for (const char* name : {kCategoryFileName, kWebMenuFileName}) {
    if (FileExists(platform, shared + "\\" + name)) {
      CopyFileOrRaise(platform, shared + "\\" + name, user + "\\" + name);
    }
  }
  RegisterIeMenusFromFile(services, state, shared + "\\" + kWebMainFileName);
  RegisterIeMenusFromFile(services, state, shared + "\\" + kWebMenuFileName);
}

}  // namespace vorela
