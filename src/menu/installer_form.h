// frmMenu, the installer window's logic: the import it runs while loading and
// the content it prepares. Kept apart from the presentation (the installer
// window host) so the whole import runs the same with or without a display.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cabinet/cab_file.h"
#include "common/captions.h"
#include "menu/menu_records.h"
#include "menu/menu_state.h"

namespace vorela {

class frmMenu {
 public:
  frmMenu(const MenuServices& services, MenuState& state);
  ~frmMenu();
  frmMenu(const frmMenu&) = delete;
  frmMenu& operator=(const frmMenu&) = delete;

  // The window's load: captions, the cabinet walk with cab_FileFound per
  // file, the removal of temp.cab. Stops at its first error.
  void Form_Load();

  // Handles one file of the package (its name without folder). Never raises:
  // an error skips the rest of this file's steps only.
  void cab_FileFound(const std::string& name);

  // Registers and merges the manifest in PackageMenu. True once the menu
  // stands in the saved menu files; false for an empty or unusable ID and for
  // a merge that did not reach the disk.
  bool ImportMenu();

  const InstallerWindowContent& Content() const { return content_; }
  std::int32_t ManifestCount() const { return manifest_count_; }
  const MenuRecord& PackageMenu() const { return package_menu_; }
  // The window shows the success caption.
  bool Succeeded() const { return succeeded_; }
  // Every manifest met was merged and saved (false when there was none).
  bool AllManifestsImported() const {
    return manifest_count_ > 0 && !manifest_failed_;
  }
  // What went wrong, one line each, naming the file at fault.
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  void InstallIcon(const std::string& name);
  void InstallSharedFile(const std::string& name);
  void InstallScriptPage(const std::string& name);
  void ImportManifest(const std::string& name);
  void ReadManifest(const std::string& path);
  void ShowResult();
  void ShowSuccess();
  void ShowFailure();
  void ConfirmMenuAdded();
  // Runs one statement of the load or of a file's handler; a failure is
  // noted in Problems() (naming *about when given and not named already)
  // and the statement is abandoned.
  template <class Statement>
  bool Attempt(Statement&& statement, const std::string* about = nullptr);
  void MoveIntoPlace(const std::string& source, const std::string& target);

  const MenuServices services_;
  const Platform& platform_;
  MenuState& state_;
  std::unique_ptr<CabFile> cab_;
  CaptionTable captions_;
  DataFilePaths iniXml_;
  MenuRecord package_menu_;
  std::int32_t manifest_count_ = 0;
  // The last manifest's menu was merged and saved; the result display
  // needs it.
  bool menu_merged_ = false;
  bool manifest_failed_ = false;
  bool succeeded_ = false;
  std::vector<std::string> problems_;
  InstallerWindowContent content_;
};

}  // namespace vorela
