#include "menu/ie_menus.h"

#include <vector>

#include "common/product_facts.h"
#include "common/registry_helpers.h"
#include "menu/menu_id.h"

namespace vorela {
namespace {

std::string EntryPath(std::string_view name) {
  return std::string(kMenuExtKey) + "\\" + std::string(name);
}

std::string DefaultValue(const Platform& platform, std::string_view name) {
  return RegReadString(platform, kHkeyCurrentUser, EntryPath(name), "");
}

std::vector<std::string> EntryNames(const Platform& platform) {
  std::vector<std::string> names;
  const std::int32_t last =
      RegEnumSubKeys(platform, kHkeyCurrentUser, kMenuExtKey, names);
  names.resize(last + 1);
  return names;
}

void DeleteEntry(const Platform& platform, std::string_view name) {
  platform.registry->DeleteKey(kHkeyCurrentUser,
                               platform.text->ToAnsi(EntryPath(name)));
}

// The prefix an entry keeps when it is replaced: its name up to and including
// the first ")", or "" when there is none.
std::string KeptPrefix(std::string_view name) {
  const std::size_t close = name.find(')');
  return close == std::string_view::npos
             ? std::string()
             : std::string(name.substr(0, close + 1));
}

void WriteEntry(const Platform& platform, std::string_view key_name,
                std::string_view script, std::string_view id) {
  const std::string path = EntryPath(key_name);
  RegWriteValue(platform, kHkeyCurrentUser, path, "", script, false);
  RegWriteValue(platform, kHkeyCurrentUser, path, "Contexts", "56", true);
  RegWriteValue(platform, kHkeyCurrentUser, path, "MenuID", id, false);
}

// The tool's entry of the menu with this ID: true with its name, or false with
// the number of the tool's other entries met on the way.
bool FindEntry(const Platform& platform, std::string_view id,
               std::string* found, int* others) {
  *others = 0;
  for (const std::string& name : EntryNames(platform)) {
    if (!IsProductMenuExtEntry(DefaultValue(platform, name))) continue;
    const std::string entry_id =
        RegReadString(platform, kHkeyCurrentUser, EntryPath(name), "MenuID");
    if (entry_id.empty() || entry_id != id) {
      ++*others;
      continue;
    }
    *found = name;
    return true;
  }
  return false;
}

}  // namespace

void FixIeMenuContexts(const Platform& platform) {
  for (const std::string& name : EntryNames(platform)) {
    if (IsProductMenuExtEntry(DefaultValue(platform, name))) {
      RegWriteValue(platform, kHkeyCurrentUser, EntryPath(name), "Contexts",
                    "56", false);
    }
  }
}

void RemoveToolIeMenus(const Platform& platform) {
  for (const std::string& name : EntryNames(platform)) {
    if (IsProductMenuExtEntry(DefaultValue(platform, name))) DeleteEntry(platform, name);
  }
}

void RegisterIeMenu(const Platform& platform, MenuState& state,
                    const IeMenuRecord& menu) {
  // Without a usable ID the entry would run some other file than a script
  // page of the resource folder ("\htm\.htm", "\htm\..\..\x.htm").
  if (!IsUsableMenuId(menu.MENUID)) return;
  const std::string script = ScriptPagePath(ResourceFolderPath(platform), menu.MENUID);
  std::string found;
  int others = 0;
  if (FindEntry(platform, menu.MENUID, &found, &others)) {
    DeleteEntry(platform, found);
    WriteEntry(platform, KeptPrefix(found) + menu.DISPNAME, script,
               menu.MENUID);
  } else {
    WriteEntry(platform,
               "(&" + std::to_string(state.IeMenuCounter) + ")" + menu.DISPNAME,
               script, menu.MENUID);
  }
  ++state.IeMenuCounter;
}

void RegisterPackageIeMenu(const Platform& platform,
                           std::string_view resource_dir, std::string_view id,
                           std::string_view display_name) {
  if (!IsUsableMenuId(id)) return;
  const std::string script = ScriptPagePath(resource_dir, id);
  std::string found;
  int others = 0;
  if (FindEntry(platform, id, &found, &others)) {
    DeleteEntry(platform, found);
    WriteEntry(platform, KeptPrefix(found) + std::string(display_name), script,
               id);
  } else {
    WriteEntry(platform,
               "(&" + std::to_string(others) + ")" + std::string(display_name),
               script, id);
  }
}

}  // namespace vorela
