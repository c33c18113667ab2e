// Merging a package's menu into the user's menu files.
//
// Each merge loads its target file afresh (when it exists), either updates the
// element whose MENUID equals the record's ID or appends a new one, and saves
// the whole document back once. Nothing is deleted or re-ordered. A child that
// an update finds missing is not created. A target that exists but cannot be
// parsed is kept beside it under "<file>.unreadable" and a new file holding
// just the new element is written; a target that cannot be read is left alone.
// All run in skip-on-error mode and never throw. Each returns kErrorSuccess
// only once the menu stands in the file it saved; otherwise the reason: the
// save's own error (a read-only folder, a full disk), or kErrorInvalidData
// when the file had no place for it (no xmlroot) or could not be edited.
#pragma once

#include <string_view>

#include "menu/menu_records.h"
#include "platform/platform.h"
#include "platform/xml_dom.h"

namespace vorela {

// A main web menu into iniWebMain.
Win32Error MergeWebMain(const Platform& platform, const MenuRecord& menu,
                  const DataFilePaths& paths);

// A provider web menu into iniWebMenu: first its provider (PROV), then the
// menu itself. An existing menu is updated where it stands (under whichever
// provider holds it) and keeps its IE and KEYNO; a new one goes under the
// record's provider with KEYNO "0".
Win32Error MergeWebMenu(const Platform& platform, const MenuRecord& menu,
                  const DataFilePaths& paths);

// The menu's category into iniCategory (for provider web menus only).
Win32Error MergeCategory(const Platform& platform, const MenuRecord& menu,
                   const DataFilePaths& paths);

// The first element named tag (document order, any depth) with a child whose
// base name is "MENUID" and whose text equals id exactly; null when none.
XmlNode FindMenuElement(XmlDocument& doc, std::string_view tag,
                        std::string_view id);

}  // namespace vorela
