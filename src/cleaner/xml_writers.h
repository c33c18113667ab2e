// The cleaner's XML readers and writers: one value of a settings file, and the
// files that the migration builds anew from the legacy registry rows.
//
// The writers replace their file whole and atomically: until the new file is
// in place the old one stays as it was, so a failed save (a missing data
// folder above all) loses nothing. A writer returns only once the file on disk
// holds the new document and loads again; its first error ends it and is
// thrown to the caller, which keeps the legacy data for a later run.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cleaner/migration_records.h"
#include "common/set_xml.h"
#include "platform/platform.h"

namespace vorela {

// True when bytes parse as a document.
bool LoadsAgain(const Platform& platform, std::string_view bytes);

// The text an element holding text gives back once its file is saved and
// loaded again (the document service may trim or drop characters); nullopt
// when such a file would not load.
std::optional<std::string> StoredText(const Platform& platform, std::string_view text);

// Sets each xmlroot/<key> of file as SetXml does, one after the other, but in
// one load and one save: the values arrive all together or not at all. Unlike
// SetXml it throws when the file cannot be edited, saved or loaded again.
void WriteSettingsList(const Platform& platform, std::string_view file,
                       const std::vector<std::pair<std::string, std::string>>& values,
                       const SettingsLocation& where);

// The text of the first xmlroot/<key> of file; "" when the file, the root or
// the element is missing or the file does not load. Never throws.
std::string ReadXmlValue(const Platform& platform, std::string_view key,
                         std::string_view file);

// A new numbered list file: xmlroot holding prefix + "01", prefix + "02", ...
// (two digits, three from 100 on), one per entry, in order.
void WriteNumberedList(const Platform& platform, std::string_view prefix,
                       std::string_view file,
                       const std::vector<std::string>& list);

// data_folder + "category.xml" from the category rows (indexed from 0):
// one "menu" per row with DISPNAME, ICON, MENUID. data_folder ends in "\".
void WriteCategoryFile(const Platform& platform, std::string_view data_folder,
                       const std::vector<MenuItemRecord>& categories);

// data_folder + "webmenu.xml": one "PROV" per provider row (indexed from 0)
// with DISPNAME, ICON, MENUID, then a "menu" for every item row (indexed from
// 1; element 0 is not used) whose MenuId begins with the provider's MenuId
// compared over two characters, with DISPNAME, HINT, ICON, IE, MENUID, KEYNO,
// CATEGORY in that order. An item matching no provider is not written; one
// matching two providers is written under both.
void WriteWebMenuFile(const Platform& platform, std::string_view data_folder,
                      const std::vector<MenuItemRecord>& providers,
                      const std::vector<MenuItemRecord>& items);

}  // namespace vorela
