// The reset mode: the tool's context-menu entries go, the legacy web menus
// get their current display names, the script pages are removed.
#include <vector>

#include "common/product_facts.h"
#include "common/registry_helpers.h"
#include "common/text_util.h"
#include "menu/file_ops.h"
#include "menu/ie_menus.h"
#include "menu/menu_modes.h"

namespace vorela {
namespace {

std::vector<std::string> SubKeys(const Platform& platform,
                                 const std::string& path) {
  std::vector<std::string> names;
  names.resize(RegEnumSubKeys(platform, kHkeyCurrentUser, path, names) + 1);
  return names;
}

// Replaces old_text by new_text in the DISPNAME of every child of a web menu.
// The new texts contain the old ones' start but not the old texts themselves
// ("Yahoo!(" does not contain "Yahoo("), so a second run finds nothing to do.
void RenameChildren(const Platform& platform, const std::string& parent,
                    std::string_view old_text, std::string_view new_text) {
  const std::string parent_path = std::string(kWebMenuKey) + "\\" + parent;
  for (const std::string& child : SubKeys(platform, parent_path)) {
    const std::string path = parent_path + "\\" + child;
    const std::string name =
        RegReadString(platform, kHkeyCurrentUser, path, "DISPNAME");
    if (name.find(old_text) == std::string::npos) continue;
    RegWriteValue(platform, kHkeyCurrentUser, path, "DISPNAME",
                  ReplaceAll(name, old_text, new_text), false);
  }
}

}  // namespace

void RenameWebMenuDisplayNames(const Platform& platform) {
  for (const std::string& menu : SubKeys(platform, kWebMenuKey)) {
    const std::string path = std::string(kWebMenuKey) + "\\" + menu;
    const std::string name =
        RegReadString(platform, kHkeyCurrentUser, path, "DISPNAME");
    if (name == "Yahoo" || name == "Yahoo!") {
      if (name == "Yahoo") {
        RegWriteValue(platform, kHkeyCurrentUser, path, "DISPNAME", "Yahoo!",
                      false);
      }
      RenameChildren(platform, menu, "Yahoo(", "Yahoo!(");
    } else if (name == "Wiki" || name == "Wikipedia") {
      if (name == "Wiki") {
        RegWriteValue(platform, kHkeyCurrentUser, path, "DISPNAME", "Wikipedia",
                      false);
      }
      RenameChildren(platform, menu, "Wiki(", "Wikipedia(");
    }
  }
}

bool DeleteScriptPages(const Platform& platform, std::string_view resource_dir,
                       std::vector<std::string>* problems) {
  const std::string folder = ScriptPageFolderPath(resource_dir);
  std::vector<std::string> names;
  // No folder, no pages: nothing is left behind.
  if (platform.files->ListFiles(folder, "*.htm", &names) != kErrorSuccess) {
    return true;
  }
  bool all_gone = true;
  for (const std::string& name : names) {
    const std::string path = folder + "\\" + name;
    if (Win32Error e = platform.files->Delete(path)) {
      all_gone = false;
      if (problems) problems->push_back(FileErrorText(e) + ": " + path);
    }
  }
  return all_gone;
}

bool ResetIeMenus(const MenuServices& services, MenuState& state) {
  const Platform& platform = *services.platform;
  state.ResourceDir = ResourceFolderPath(platform);
  RemoveToolIeMenus(platform);
  RenameWebMenuDisplayNames(platform);
  const bool pages_gone =
      DeleteScriptPages(platform, state.ResourceDir, &state.Problems);
  const bool flagged = RegWriteValue(platform, kHkeyCurrentUser, kVorelaKey,
                                     "MENUADD", "1", false);
  if (!flagged) {
    state.Problems.push_back("MENUADD could not be written: HKEY_CURRENT_USER\\" +
                             std::string(kVorelaKey));
  }
  return pages_gone && flagged;
}

}  // namespace vorela
