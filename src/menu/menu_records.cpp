#include "menu/menu_records.h"

#include <memory>

#include "common/product_facts.h"
#include "common/skip_on_error.h"
#include "common/xml_file.h"

namespace vorela {

bool IsMainWebMenu(const MenuRecord& menu) {
  return menu.ID.compare(0, 2, "00") == 0;
}

MenuRecord ReadMenuManifest(XmlDocument& manifest) {
  MenuRecord menu;
  XmlNode item;
  for (XmlNode child = manifest.FirstChild().FirstChild(); child;
       child = child.NextSibling()) {
    if (child.Type() == XmlNodeType::kElement) {
      item = child;
      break;
    }
  }
  if (!item) return menu;
  struct Field {
    const char* name;
    std::string MenuRecord::*value;
  };
  static constexpr Field kFields[] = {
      {"ID", &MenuRecord::ID},
      {"SNAME", &MenuRecord::SNAME},
      {"ICON", &MenuRecord::ICON},
      {"HINT", &MenuRecord::HINT},
      {"IE", &MenuRecord::IE},
      {"PMENUID", &MenuRecord::PMENUID},
      {"PDISPNAME", &MenuRecord::PDISPNAME},
      {"PICON", &MenuRecord::PICON},
      {"CID", &MenuRecord::CID},
      {"CNAME", &MenuRecord::CNAME},
      {"CICON", &MenuRecord::CICON},
  };
  for (const Field& field : kFields) {
    menu.*field.value = item.SelectSingleNode(field.name).Text();
  }
  return menu;
}

MenuRecord ReadMenuManifest(const Platform& platform, std::string_view path) {
  MenuRecord menu;
  SkipOnError([&] {
    std::unique_ptr<XmlDocument> doc = NewXmlDocument(platform);
    if (platform.files) doc->Load(*platform.files, path);
    menu = ReadMenuManifest(*doc);
  });
  return menu;
}

DataFilePaths MakeDataFilePaths(std::string_view system_directory,
                                std::string_view application_data) {
  const UserDataFiles files = MakeUserDataFiles(application_data);
  DataFilePaths paths;
  paths.iniXml = std::string(system_directory) + "\\" + kMenuListFileName;
  paths.iniPath = files.Folder;
  paths.iniTolvane = files.Settings;
  paths.iniHistory = files.History;
  paths.iniWebHistory = files.WebHistory;
  paths.iniCommand = files.Command;
  paths.iniWord = files.Phrase;
  paths.iniSecret = files.Secret;
  paths.iniWeb = files.Web;
  paths.iniWebMain = files.WebMain;
  paths.iniCategory = files.Category;
  paths.iniWebMenu = files.WebMenu;
  return paths;
}

}  // namespace vorela
