#include "menu/installer.h"

#include <algorithm>
#include <exception>

#include "common/blowfish.h"
#include "common/error.h"
#include "common/helpers.h"
#include "common/product_facts.h"
#include "common/set_xml.h"
#include "common/skip_on_error.h"
#include "common/system_folder.h"
#include "common/text_util.h"
#include "menu/file_ops.h"
#include "menu/ie_menus.h"
#include "menu/installer_form.h"
#include "menu/menu_id.h"
#include "menu/menu_merge.h"
#include "menu/package_rules.h"
#include "platform/xml_dom.h"

namespace vorela {
namespace {

// The text of xmlroot/<key> as the file on disk holds it now; "" when the
// file or the element cannot be read.
std::string SavedSetting(const Platform& platform, std::string_view key,
                         std::string_view file) {
  std::string text;
  SkipOnError([&] {
    std::unique_ptr<XmlDocument> doc = platform.xml->CreateDocument();
    if (!doc || doc->Load(*platform.files, file) != XmlLoadResult::kLoaded) return;
    text = doc->SelectSingleNode("xmlroot/" + std::string(key)).Text();
  });
  return text;
}

}  // namespace

template <class Statement>
bool frmMenu::Attempt(Statement&& statement, const std::string* about) {
  std::string problem;
  try {
    statement();
    return true;
  } catch (const Error& error) {
    problem = error.Description();
  } catch (const std::exception& error) {
    problem = error.what();
  } catch (...) {
    problem = "Unknown error";
  }
  // Errors of the cabinet reader do not say which file they are about.
  if (about && !about->empty() && problem.find(*about) == std::string::npos) {
    if (!problem.empty() && problem.back() == '.') problem.pop_back();
    problem += ": " + *about;
  }
  // The result display runs again after every later file: say it once.
  if (std::find(problems_.begin(), problems_.end(), problem) == problems_.end()) {
    problems_.push_back(problem);
  }
  return false;
}

frmMenu::frmMenu(const MenuServices& services, MenuState& state)
    : services_(services), platform_(*services.platform), state_(state) {
  // The design texts, shown where lang.xml supplies nothing else.
  content_.title = "vorela!ﾒﾆｭｰ追加";
  content_.labels[0] = "ID:";
  content_.labels[1] = "MENU名:";
  content_.labels[2] = "icon:";
  content_.labels[3] = "ヒント:";
  content_.note =
      "※メニューが更新されない場合は、vorela!を一旦終了させてから再度起動して"
      "ください";
  content_.note_visible = false;
  content_.note_color = kColorBlue;
  content_.message = "メニューの追加に失敗しました";
  content_.message_color = kColorRed;
}

frmMenu::~frmMenu() = default;

void frmMenu::Form_Load() {
  std::string cabinet;  // set while the cabinet is being read
  Attempt([&] {
    state_.ResourceDir = ResourceFolderPath(platform_);
    captions_.LoadCaptions(platform_, state_.ResourceDir + "\\" + kCaptionFileName);
    content_.title = captions_.GetCaption("801");
    for (int i = 0; i < 4; ++i) {
      content_.labels[i] = captions_.GetCaption(std::to_string(802 + i));
    }
    content_.note = captions_.GetCaption("806");
    content_.message = captions_.GetCaption("807");

    cab_ = std::make_unique<CabFile>(platform_);
    cab_->FileFound = [this](const std::string& file_name, const CabDateTime&,
                             std::int32_t,
                             const std::string&) { cab_FileFound(file_name); };
    cab_->CabName = state_.WorkDir + "\\temp.cab";
    cabinet = cab_->CabName;
    cab_->Extract("", state_.WorkDir, "");
    cab_->GetInfo("");
    cabinet.clear();
    DeleteFileOrRaise(platform_, state_.WorkDir + "\\temp.cab");
  }, &cabinet);
  // A shared file alone may have set the success caption; a manifest that
  // was not imported still makes the package a failure.
  if (manifest_failed_) ShowFailure();
}

void frmMenu::cab_FileFound(const std::string& name) {
  Attempt([&] {
    if (Utf16Length(name) <= 4) return;
    // The cabinet reader hands over the name after its last "\"; a name that
    // still holds a separator or a drive would lead outside the folders the
    // files belong in, so it is not installed.
    if (!IsPlainFileName(name)) return;
    switch (KindOfPackageFile(name)) {
      case PackageFileKind::kIcon:
        InstallIcon(name);
        break;
      case PackageFileKind::kSharedFile:
        InstallSharedFile(name);
        break;
      case PackageFileKind::kScriptPage:
        InstallScriptPage(name);
        break;
      case PackageFileKind::kManifest:
        ImportManifest(name);
        break;
      case PackageFileKind::kIgnored:
        break;
    }
    if (state_.ImportStatus == "111") ShowResult();
  });
}

void frmMenu::MoveIntoPlace(const std::string& source,
                            const std::string& target) {
  if (FileExists(platform_, target)) DeleteFileOrRaise(platform_, target);
  CopyFileOrRaise(platform_, source, target);
  DeleteFileOrRaise(platform_, source);
}

void frmMenu::InstallIcon(const std::string& name) {
  MoveIntoPlace(state_.WorkDir + "\\" + name, IconFolderPath(state_.ResourceDir) + "\\" + name);
  state_.ImportStatus[0] = '1';
}

void frmMenu::InstallSharedFile(const std::string& name) {
  MoveIntoPlace(state_.WorkDir + "\\" + name, state_.ResourceDir + "\\" + name);
  ShowSuccess();
}

void frmMenu::InstallScriptPage(const std::string& name) {
  const std::string folder = ScriptPageFolderPath(state_.ResourceDir);
  if (!FileExists(platform_, folder)) MakeDirectoryOrRaise(platform_, folder);
  MoveIntoPlace(state_.WorkDir + "\\" + name, folder + "\\" + name);
  state_.ImportStatus[1] = '1';
}

void frmMenu::ImportManifest(const std::string& name) {
  ++manifest_count_;
  const std::string source = state_.WorkDir + "\\" + name;
  // The decrypted name is built from the file name alone: a ".enc" in the
  // work folder's own path must not send the plain text somewhere else.
  const std::string decrypted = state_.WorkDir + "\\" + DecryptedManifestName(name);
  clsBlowfish encrypt_object(platform_);
  encrypt_object.Key(kCipherKey);
  // A manifest that does not decrypt ends here: reading on would import
  // whatever an earlier run may have left under the decrypted name.
  if (!encrypt_object.DecryptFile(source, decrypted, kCipherKey)) {
    throw Error(kObjectError, "clsBlowfish.DecryptFile",
                "The menu manifest cannot be decrypted");
  }
  ReadManifest(decrypted);
  DeleteFileOrRaise(platform_, decrypted);
  DeleteFileOrRaise(platform_, source);
  menu_merged_ = ImportMenu();
  if (!menu_merged_) manifest_failed_ = true;
  state_.ImportStatus[2] = '1';
}

void frmMenu::ReadManifest(const std::string& path) {
  package_menu_ = ReadMenuManifest(platform_, path);
}

bool frmMenu::ImportMenu() {
  const MenuRecord& menu = package_menu_;
  if (menu.ID.empty()) {
    problems_.push_back("The menu manifest names no menu ID");
    return false;
  }
  // The ID names the menu's script page; one that could name another file
  // is neither registered nor merged.
  if (!IsUsableMenuId(menu.ID)) {
    problems_.push_back("The menu ID cannot name a file: " + menu.ID);
    return false;
  }
  iniXml_ = MakeDataFilePaths(clsSystemFolder(platform_).System(),
                              clsSystemFolder(platform_).Appdata());
  if (menu.IE == "1") {
    RegisterPackageIeMenu(platform_, state_.ResourceDir, menu.ID, menu.SNAME);
  }
  bool merged = true;
  auto check = [&](Win32Error result, const std::string& target) {
    if (result == kErrorSuccess) return;
    merged = false;
    problems_.push_back(
        (result == kErrorInvalidData ? std::string("The menu could not be merged")
                                     : FileErrorText(result)) +
        ": " + target);
  };
  if (IsMainWebMenu(menu)) {
    check(MergeWebMain(platform_, menu, iniXml_), iniXml_.iniWebMain);
  } else {
    check(MergeWebMenu(platform_, menu, iniXml_), iniXml_.iniWebMenu);
    check(MergeCategory(platform_, menu, iniXml_), iniXml_.iniCategory);
  }
  return merged;
}

void frmMenu::ShowResult() {
  const MenuRecord& menu = package_menu_;
  content_.texts[0] = menu.ID;
  content_.texts[1] = menu.SNAME;
  content_.texts[2] = menu.ICON;
  content_.texts[3] = ReplaceAll(menu.HINT, "||", "\r\n");
  const std::string icon = IconFolderPath(state_.ResourceDir) + "\\" + menu.ICON;
  if (!services_.window->CanLoadPicture(icon)) {
    throw Error(RuntimeError::kFileNotFound, "LoadPicture", "File not found: " + icon);
  }
  content_.icon_path = icon;
  // Success needs the menu in the saved files, and MENUADD needs them too:
  // the launcher takes the flag as word that the menus changed.
  // (Why it was not merged is already among the problems.)
  if (!menu_merged_) return;
  ConfirmMenuAdded();
  ShowSuccess();
}

void frmMenu::ConfirmMenuAdded() {
  SetXml(platform_, "MENUADD", "1", iniXml_.iniTolvane,
         SettingsLocation{iniXml_.iniTolvane, iniXml_.iniPath});
  // SetXml reports nothing: the file read back is the proof.
  if (SavedSetting(platform_, "MENUADD", iniXml_.iniTolvane) != "1") {
    throw Error(RuntimeError::kPathFileAccess, "SetXml",
                "MENUADD could not be saved: " + iniXml_.iniTolvane);
  }
}

void frmMenu::ShowSuccess() {
  content_.message = captions_.GetCaption("808");
  content_.message_color = kColorBlue;
  content_.note_visible = true;
  succeeded_ = true;
}

void frmMenu::ShowFailure() {
  content_.message = captions_.GetCaption("807");
  content_.message_color = kColorRed;
  content_.note_visible = false;
  succeeded_ = false;
}

namespace {

// Removes temp.cab when the import is over, whatever stopped it: a package
// that failed to unpack must not leave its copy behind.
class CabinetCopy {
 public:
  CabinetCopy(const Platform& platform, std::string path)
      : platform_(platform), path_(std::move(path)) {}
  ~CabinetCopy() {
    if (FileExists(platform_, path_)) platform_.files->Delete(path_);
  }
  CabinetCopy(const CabinetCopy&) = delete;
  CabinetCopy& operator=(const CabinetCopy&) = delete;
  const std::string& path() const { return path_; }

 private:
  const Platform& platform_;
  std::string path_;
};

std::unique_ptr<ProcessLock> TakeTurn(const Platform& platform,
                                      const std::string& lock_file) {
  Win32Error error = kErrorSuccess;
  std::unique_ptr<ProcessLock> lock =
      platform.process->LockExclusive(lock_file, &error);
  if (!lock) RaiseFileError(error ? error : kErrorAccessDenied, "Lock", lock_file);
  return lock;
}

}  // namespace

bool RunPackageImport(const MenuServices& services, MenuState& state,
                      const std::string& package,
                      std::vector<std::string>* problems) {
  const Platform& platform = *services.platform;
  state.ImportStatus = "000";
  if (!FileExists(platform, state.WorkDir)) {
    MakeDirectoryOrRaise(platform, state.WorkDir);
  }
  frmMenu form(services, state);
  {
    // Imports take turns: all of them unpack into the one work folder and
    // edit the same menu files, from the copy to the last merge.
    const std::unique_ptr<ProcessLock> turn =
        TakeTurn(platform, state.WorkDir + "\\" + kImportLockName);
    const CabinetCopy cabinet(platform, state.WorkDir + "\\temp.cab");
    if (FileExists(platform, cabinet.path())) {
      DeleteFileOrRaise(platform, cabinet.path());
    }
    CopyPackageOrRaise(platform, package, cabinet.path());
    form.Form_Load();
  }
  if (problems) *problems = form.Problems();
  // A package with several manifests is installed without showing anything.
  if (form.ManifestCount() > 1) return form.AllManifestsImported();
  services.window->Run(form.Content());
  return form.Succeeded();
}

}  // namespace vorela
