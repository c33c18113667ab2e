// The cleaner's migration of the settings that older versions kept under
// HKEY_CURRENT_USER\SOFTWARE\VORELA into the per-user XML data files, and the
// cleaner's entry routine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/blowfish.h"
#include "common/captions.h"
#include "cleaner/migration_records.h"
#include "platform/platform.h"

namespace vorela {

// The files of the migration, computed once at its start.
struct CleanerPaths {
  std::string ResourceFolder;  // System + "\tolresource"
  std::string LangXml;
  std::string DataFolder;  // Appdata + "\vorela\" (with its trailing "\")
  std::string VorelaXml, HistoryXml, WebHistoryXml, CommandXml, PhraseXml, SecretXml,
      WebMainXml, CategoryXml, WebMenuXml, BookmarkXml;
};

CleanerPaths ComputeCleanerPaths(const Platform& platform);

// "uninstall" exactly selects the uninstall; any other text the migration.
void CleanerMain(const Platform& platform);

class Migration {
 public:
  explicit Migration(const Platform& platform);

  // The whole pass. Every statement is guarded; nothing is reported but the
  // first-run greeting. Each piece of the legacy tree (a setting, a list, a
  // subtree) is deleted as soon as its file holds it and loads again; a piece
  // whose read or write failed stays, so the next run retries just that piece
  // and never writes again what has already moved. The legacy tree goes as a
  // whole once every piece has moved.
  void MigrateSettings();

  // The secrets: decoded, written as the encrypted image of the secret file
  // straight into secret.enc. The plain file is never written. The legacy
  // secrets go once secret.enc holds them all.
  void MigrateSecrets();

  // The encrypted image of the secret file for the collected rows.
  std::string SecretImage();

  const CleanerPaths& Paths() const { return paths_; }
  bool EverythingWritten() const { return all_written_; }

 private:
  void CopyTopLevelSettings();
  void MigratePhrases();
  void MigrateLists();
  void CopyDefaultFiles();
  void MigrateCategories();
  void MigrateWebMenus();
  void Finish();
  // SetXml, confirmed by reading the value back; false when it did not arrive.
  bool WriteSetting(const std::string& key, const std::string& value, const std::string& file);
  // The text of a legacy value, whatever its size; clears *intact when the
  // value is there but cannot be read.
  std::string ReadLegacyText(std::string_view key, std::string_view name, bool* intact);
  // A piece of the legacy tree has moved: its value (under the legacy root)
  // or its subtree is deleted.
  void ForgetValue(std::string_view name);
  void ForgetTree(std::string_view sub_key);
  void MarkIncomplete(const std::string& what);

  const Platform& platform_;
  CleanerPaths paths_;
  CaptionTable captions_;
  clsBlowfish decryptor_;
  clsBlowfish encryptor_;
  std::vector<SecretRecord> secrets_;
  std::vector<MenuItemRecord> categories_, providers_, items_;
  bool no_categories_ = false;
  bool all_written_ = true;
};

}  // namespace vorela
