// The rows that the settings migration collects from the legacy registry and
// hands to the writers of the menu files.
#pragma once

#include <string>

namespace vorela {

// One category, provider or web-menu item. Categories and providers fill
// DispName, Icon and MenuId; items fill DispName, Icon, KeyNo, MenuId, Hint,
// Ie and Category. Url and Encode stay empty in the migration.
struct MenuItemRecord {
  std::string DispName;
  std::string Url;
  std::string Icon;
  std::string Encode;
  std::string KeyNo;
  std::string MenuId;
  std::string Hint;
  std::string Ie;
  std::string Category;
};

// One stored secret.
struct SecretRecord {
  std::string Title;
  std::string Text;
  std::string Password;
};

// A key and its text (the phrase list fills Key only).
struct TextPair {
  std::string Key;
  std::string Text;
};

}  // namespace vorela
