#include "menu/installer.h"

#include "common/blowfish.h"
#include "common/error.h"
#include "common/helpers.h"
#include "common/set_xml.h"
#include "common/skip_on_error.h"
#include "common/system_folder.h"
#include "common/text_util.h"
#include "menu/file_ops.h"
#include "menu/ie_menus.h"
#include "menu/installer_form.h"
#include "menu/menu_merge.h"

namespace vorela {
namespace {

constexpr char kCipherKey[] = "mossgate";

// A name the handlers may append to a folder: one plain file name.
bool IsPlainFileName(std::string_view name) {
  return name.find_first_of("\\/:") == std::string_view::npos && name != "." &&
         name != "..";
}

// Where a manifest is decrypted to: its name with ".enc" turned into ".xml".
// A name whose ending is ".enc" in another case (e.g. "MENU.ENC") has its
// last four characters replaced, so the decrypted file never is the manifest
// itself.
std::string DecryptedName(const std::string& name) {
  std::string decrypted = ReplaceAll(name, ".enc", ".xml");
  if (decrypted == name) decrypted = name.substr(0, name.size() - 4) + ".xml";
  return decrypted;
}

}  // namespace

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
  SkipOnError([&] {
    state_.ResourceDir = clsSystemFolder(platform_).System() + "\\tolresource";
    captions_.LoadCaptions(platform_, state_.ResourceDir + "\\lang.xml");
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
    cab_->Extract("", state_.WorkDir, "");
    cab_->GetInfo("");
    DeleteFileOrRaise(platform_, state_.WorkDir + "\\temp.cab");
  });
}

void frmMenu::cab_FileFound(const std::string& name) {
  SkipOnError([&] {
    if (Utf16Length(name) <= 4) return;
    // The cabinet reader hands over the name after its last "\"; a name that
    // still holds a separator or a drive would lead outside the folders the
    // files belong in, so it is not installed.
    if (!IsPlainFileName(name)) return;
    const std::string ending = AsciiLower(LastChars(name, 4));
    if (ending == ".ico") {
      InstallIcon(name);
    } else if (ending == ".xml") {
      InstallSharedFile(name);
    } else if (ending == ".htm") {
      InstallScriptPage(name);
    } else if (ending == ".enc") {
      ImportManifest(name);
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
  MoveIntoPlace(state_.WorkDir + "\\" + name,
                state_.ResourceDir + "\\icon\\" + name);
  state_.ImportStatus[0] = '1';
}

void frmMenu::InstallSharedFile(const std::string& name) {
  MoveIntoPlace(state_.WorkDir + "\\" + name, state_.ResourceDir + "\\" + name);
  ShowSuccess();
}

void frmMenu::InstallScriptPage(const std::string& name) {
  const std::string folder = state_.ResourceDir + "\\htm";
  if (!FileExists(platform_, folder)) MakeDirectoryOrRaise(platform_, folder);
  MoveIntoPlace(state_.WorkDir + "\\" + name, folder + "\\" + name);
  state_.ImportStatus[1] = '1';
}

void frmMenu::ImportManifest(const std::string& name) {
  ++manifest_count_;
  const std::string source = state_.WorkDir + "\\" + name;
  // The decrypted name is built from the file name alone: a ".enc" in the
  // work folder's own path must not send the plain text somewhere else.
  const std::string decrypted = state_.WorkDir + "\\" + DecryptedName(name);
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
  ImportMenu();
  state_.ImportStatus[2] = '1';
}

void frmMenu::ReadManifest(const std::string& path) {
  package_menu_ = ReadMenuManifest(platform_, path);
}

void frmMenu::ImportMenu() {
  const MenuRecord& menu = package_menu_;
  if (menu.ID.empty()) return;
  iniXml_ = MakeDataFilePaths(clsSystemFolder(platform_).System(),
                              clsSystemFolder(platform_).Appdata());
  if (menu.IE == "1") {
    RegisterPackageIeMenu(platform_, state_.ResourceDir, menu.ID, menu.SNAME);
  }
  if (IsMainWebMenu(menu)) {
    MergeWebMain(platform_, menu, iniXml_);
  } else {
    MergeWebMenu(platform_, menu, iniXml_);
    MergeCategory(platform_, menu, iniXml_);
  }
}

void frmMenu::ShowResult() {
  const MenuRecord& menu = package_menu_;
  content_.texts[0] = menu.ID;
  content_.texts[1] = menu.SNAME;
  content_.texts[2] = menu.ICON;
  content_.texts[3] = ReplaceAll(menu.HINT, "||", "\r\n");
  const std::string icon = state_.ResourceDir + "\\icon\\" + menu.ICON;
  if (!services_.window->CanLoadPicture(icon)) {
    throw Error(kErrorFileNotFoundRt, "LoadPicture", "File not found");
  }
  content_.icon_path = icon;
  SetXml(platform_, "MENUADD", "1", iniXml_.iniTolvane,
         SettingsLocation{iniXml_.iniTolvane, iniXml_.iniPath});
  ShowSuccess();
}

void frmMenu::ShowSuccess() {
  content_.message = captions_.GetCaption("808");
  content_.message_color = kColorBlue;
  content_.note_visible = true;
}

void RunInstallerWindow(const MenuServices& services, MenuState& state) {
  frmMenu form(services, state);
  form.Form_Load();
  // A package with several manifests is installed without showing anything.
  if (form.ManifestCount() > 1) return;
  services.window->Run(form.Content());
}

}  // namespace vorela
