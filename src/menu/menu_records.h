// The records of the menu files: one package manifest's menu, and the paths of
// the per-user data files.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/xml_dom.h"

namespace vorela {

// One menu as a package manifest describes it; the fields are named after the
// manifest's elements.
struct MenuRecord {
  std::string ID;         // menu ID ("00..." for a main web menu)
  std::string SNAME;      // display name of the menu
  std::string ICON;       // icon file name
  std::string HINT;       // hint, "||" for line breaks
  std::string IE;         // "1" for an Internet Explorer context-menu entry
  std::string PMENUID;    // provider ID
  std::string PDISPNAME;  // provider name
  std::string PICON;      // provider icon file
  std::string CID;        // category ID
  std::string CNAME;      // category name
  std::string CICON;      // category icon file
};

// True for a main web menu (kept in webmain.xml): its ID begins with "00".
bool IsMainWebMenu(const MenuRecord& menu);

// Reads a decrypted manifest: the document's first child node is the root and
// the root's first child element describes the menu; each field is the text of
// that element's first child element of the field's name, "" when there is
// none. A manifest that does not load, or that starts with a declaration or a
// comment, yields a record of empty strings. Never throws.
MenuRecord ReadMenuManifest(XmlDocument& manifest);
MenuRecord ReadMenuManifest(const Platform& platform, std::string_view path);

// The paths of the per-user data files (the installer window's iniXml).
struct DataFilePaths {
  std::string iniXml;         // system directory + "\loadtv.xml"
  std::string iniTolvane;     // per-user folder + "vorela.xml"
  std::string iniHistory;     // per-user folder + "history.xml"
  std::string iniWebHistory;  // per-user folder + "webhistory.xml"
  std::string iniCommand;     // per-user folder + "command.xml"
  std::string iniWord;        // per-user folder + "phrase.xml"
  std::string iniSecret;      // per-user folder + "secret.xml"
  std::string iniWeb;         // per-user folder + "web.xml"
  std::string iniWebMain;     // per-user folder + "webmain.xml"
  std::string iniCategory;    // per-user folder + "category.xml"
  std::string iniWebMenu;     // per-user folder + "webmenu.xml"
  std::string iniPath;        // application-data folder + "\vorela\"
};

// The paths for a system directory and an application-data folder, both
// without trailing separator.
DataFilePaths MakeDataFilePaths(std::string_view system_directory,
                                std::string_view application_data);

}  // namespace vorela
