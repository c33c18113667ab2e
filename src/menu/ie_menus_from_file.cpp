// Registration of the context-menu entries of a whole menu file ("xml" mode).
#include "common/helpers.h"
#include "common/skip_on_error.h"
#include "menu/ie_menus.h"

namespace vorela {
namespace {

std::string ChildText(const XmlNode& element, std::string_view name) {
  return element.SelectSingleNode(name).Text();
}

}  // namespace

void RegisterIeMenusFromFile(const MenuServices& services, MenuState& state,
                             std::string_view path) {
  const Platform& platform = *services.platform;
  SkipOnError([&] {
    if (!FileExists(platform, path)) return;
    std::unique_ptr<XmlDocument> document = platform.xml->CreateDocument();
    if (!document) return;  // no document service: nothing to register
    document->Load(*platform.files, path);
    for (const XmlNode& element : document->GetElementsByTagName("menu")) {
      SkipOnError([&] {
        // Each element is read into a fresh record: a child that is missing
        // reads as "", never as the previous menu's value. Carrying values
        // over would give a menu without MENUID the previous menu's ID, and
        // its registration would then take over that menu's entry.
        IeMenuRecord menu;
        menu.DISPNAME = ChildText(element, "DISPNAME");
        menu.HINT = ChildText(element, "HINT");
        menu.ICON = ChildText(element, "ICON");
        menu.IE = ChildText(element, "IE");
        menu.MENUID = ChildText(element, "MENUID");
        if (menu.IE == "1") RegisterIeMenu(platform, state, menu);
      });
    }
  });
}

}  // namespace vorela
