// The cleaner's migration of the settings that older versions kept under
// HKEY_CURRENT_USER\SOFTWARE\VORELA into the per-user XML data files, and the
// cleaner's entry routine.
#pragma once

#include <string>
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
  // first-run greeting. The legacy tree is deleted only when every value that
  // was read has reached its file.
  void MigrateSettings();

  // The secrets: decoded, written as the encrypted image of the secret file
  // straight into secret.enc. The plain file is never written.
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
  // SetXml, confirmed by reading the value back.
  void WriteSetting(const std::string& key, const std::string& value, const std::string& file);
  void MarkIncomplete(const std::string& what);
  // Runs a writer; a writer that fails marks the run incomplete.
  template <class Writer>
  void Guarded(Writer&& writer);

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
