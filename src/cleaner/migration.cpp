#include "cleaner/migration.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "cleaner/legacy_decoding.h"
#include "cleaner/legacy_registry.h"
#include "cleaner/uninstall.h"
#include "cleaner/xml_writers.h"
#include "common/helpers.h"
#include "common/product_facts.h"
#include "common/registry_helpers.h"
#include "common/set_xml.h"
#include "common/skip_on_error.h"
#include "common/system_folder.h"
#include "common/text_util.h"
#include "common/xml_file.h"
#include "platform/registry_key.h"

namespace vorela {
namespace {

constexpr const char* kBrowserBar = "{5E0B7C21-9F43-4D8A-B6E2-3A917C04D5F8}";

std::string TwoDigits(std::int32_t n) { return ZeroPad(n, 2); }

std::string AsText(const ByteArray& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

CleanerPaths ComputeCleanerPaths(const Platform& platform) {
  CleanerPaths p;
  p.ResourceFolder = ResourceFolderPath(platform);
  p.LangXml = p.ResourceFolder + "\\" + kCaptionFileName;
  const UserDataFiles files = MakeUserDataFiles(clsSystemFolder(platform).Appdata());
  p.DataFolder = files.Folder;
  p.VorelaXml = files.Settings;
  p.HistoryXml = files.History;
  p.WebHistoryXml = files.WebHistory;
  p.CommandXml = files.Command;
  p.PhraseXml = files.Phrase;
  p.SecretXml = files.Secret;
  p.WebMainXml = files.WebMain;
  p.CategoryXml = files.Category;
  p.WebMenuXml = files.WebMenu;
  p.BookmarkXml = files.Bookmark;
  return p;
}

void CleanerMain(const Platform& platform) {
  if (platform.process->CommandLineArgs() == "uninstall") {
    Uninstall(platform);
  } else {
    Migration(platform).MigrateSettings();
  }
}

Migration::Migration(const Platform& platform)
    : platform_(platform), decryptor_(platform), encryptor_(platform) {}

void Migration::MarkIncomplete(const std::string& what) {
  all_written_ = false;
  // Debug builds say why the legacy tree was kept, when asked.
  TraceSkippedError(("not written: " + what).c_str());
  if (std::getenv("VORELA_TRACE")) {
    std::fprintf(stderr, "vorelacleaner: not written: %s\n", what.c_str());
  }
}

bool Migration::WriteSetting(const std::string& key, const std::string& value,
                             const std::string& file) {
  // SetXml reports nothing: the value read back is the proof it arrived. It
  // is compared with what the document service gives back for that text once
  // saved and loaded (outer white space, characters a document cannot hold).
  // Text that would leave a file that no longer loads is not written at all.
  const std::optional<std::string> expected = StoredText(platform_, value);
  if (!expected) return false;
  const SettingsLocation where{paths_.VorelaXml, paths_.DataFolder};
  SetXml(platform_, key, value, file, where);
  return ReadXmlValue(platform_, key, file) == *expected;
}

std::string Migration::ReadLegacyText(std::string_view key, std::string_view name,
                                      bool* intact) {
  const LegacyValue value = RegReadWholeValue(platform_, kHkeyCurrentUser, key, name);
  if (value.status == LegacyRead::kFailed) *intact = false;
  return LegacyValueText(*platform_.text, value);
}

void Migration::ForgetValue(std::string_view name) {
  SkipOnError([&] {
    RegistryKey key(*platform_.registry);
    if (key.Open(kHkeyCurrentUser, kLegacyRegistryKey, kKeySetValue) == kErrorSuccess) {
      platform_.registry->DeleteValue(key.get(), platform_.text->ToAnsi(name));
    }
  });
}

void Migration::ForgetTree(std::string_view sub_key) {
  SkipOnError([&] {
    platform_.registry->DeleteTree(kHkeyCurrentUser, platform_.text->ToAnsi(sub_key));
  });
}

void Migration::MigrateSettings() {
  SkipOnError([&] { paths_ = ComputeCleanerPaths(platform_); });
  SkipOnError([&] { captions_.LoadCaptions(platform_, paths_.LangXml); });
  SkipOnError([&] { decryptor_.Key(kCipherKey); });
  SkipOnError([&] { encryptor_.Key(kCipherKey); });
  // The data folder exists before any file is written into it, whichever
  // writer comes first (only the settings writer would create it otherwise).
  SkipOnError([&] {
    std::string folder = paths_.DataFolder;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (folder.size() > std::string("\\vorela").size()) platform_.files->MakeDirectory(folder);
  });

  // Without an application-data folder there is no data folder to migrate
  // into; the paths would point at the root of the current drive.
  if (paths_.DataFolder.size() <= std::string("\\vorela\\").size()) {
    Finish();
    return;
  }
  // A step that stops half-way has deleted only what it had moved; the rest,
  // and with it the tree, stays.
  for (void (Migration::*step)() :
       {&Migration::CopyTopLevelSettings, &Migration::MigrateSecrets, &Migration::MigratePhrases,
        &Migration::MigrateLists, &Migration::CopyDefaultFiles, &Migration::MigrateCategories,
        &Migration::MigrateWebMenus}) {
    if (!SkipOnError([&] { (this->*step)(); })) MarkIncomplete("a step that stopped");
  }

  // What the pieces leave behind (the root key, values no step reads) goes
  // only when every piece has moved; until then a later run still finds it.
  if (all_written_) {
    SkipOnError([&] {
      platform_.registry->DeleteTree(kHkeyCurrentUser, std::string(kLegacyRegistryKey) + "\\");
    });
  }
  Finish();
}

void Migration::CopyTopLevelSettings() {
  for (const char* name : {"CALC10", "CALC16", "CALCUNDO", "BORDER", "BACKCOLOR", "BUTTON",
                           "CLIPBOARD", "MENU", "MENUADD", "MENUVERSION", "PROV"}) {
    const bool done = SkipOnError([&] {
      bool intact = true;
      const std::string v = ReadLegacyText(kLegacyRegistryKey, name, &intact);
      if (!intact || (!v.empty() && !WriteSetting(name, v, paths_.VorelaXml))) {
        MarkIncomplete(name);
        return;
      }
      ForgetValue(name);
    });
    if (!done) MarkIncomplete(name);
  }
}

void Migration::MigrateSecrets() {
  std::vector<std::string> names;
  const std::int32_t n =
      RegEnumSubKeys(platform_, kHkeyCurrentUser, "Software\\VORELA\\SECRET", names);
  if (n < 0) {
    ForgetTree(kLegacySecretKey);
    return;
  }
  secrets_.clear();
  bool intact = true;
  const TextCodec& codec = *platform_.text;
  for (std::int32_t j = 0; j <= n; ++j) {
    const std::string key =
        std::string(kLegacySecretKey) + "\\" + std::string(TrimSpaces(names[j]));
    SecretRecord row;
    // A field that cannot be decoded (missing, empty or damaged ciphertext, a
    // broken title form) stays empty; the secret and all others still go on.
    const std::string t = ReadLegacyText(key, "TITLE", &intact);
    SkipOnError([&] {
      row.Title = codec.FromAnsi(UrlDecodeBytes(DecodeLegacyTitle(t, kCipherKey, codec), codec));
    });
    for (const auto& entry :
         {std::pair{"VALUE", &row.Text}, std::pair{"PASSWORD", &row.Password}}) {
      const char* value = entry.first;
      std::string* field = entry.second;
      const LegacyValue raw = RegReadWholeValue(platform_, kHkeyCurrentUser, key, value);
      if (raw.status == LegacyRead::kFailed) intact = false;
      SkipOnError([&] {
        ByteArray bytes(raw.bytes.begin(), raw.bytes.end());
        decryptor_.DecryptByte(bytes, kCipherKey);
        *field = codec.FromAnsi(UrlDecodeBytes(codec.FromAnsi(AsText(bytes)), codec));
      });
    }
    secrets_.push_back(row);
  }
  // secret.enc is written whole from every secret: with one of them unread it
  // is not written at all, and the next run tries all of them again.
  if (!intact) {
    MarkIncomplete("SECRET");
    return;
  }
  // The secret file's encrypted image, built in memory: the plain text never
  // touches the disk, and a failed write leaves any earlier secret.enc intact.
  const bool written = SkipOnError([&] {
    const std::string image = SecretImage();
    const std::string target = ReplaceAll(paths_.SecretXml, ".xml", ".enc");
    std::string stored;
    if (platform_.files->WriteAtomicOwnerOnly(target, image) != kErrorSuccess ||
        platform_.files->ReadAll(target, &stored) != kErrorSuccess || stored != image) {
      throw Error(RuntimeError::kPathFileAccess, "vorelacleaner", "Path/File access error");
    }
  });
  if (written) {
    ForgetTree(kLegacySecretKey);
  } else {
    MarkIncomplete("secret.enc");
  }
  SkipOnError([&] {
    if (FileExists(platform_, paths_.SecretXml)) platform_.files->Delete(paths_.SecretXml);
  });
}

std::string Migration::SecretImage() {
  std::unique_ptr<XmlDocument> doc = NewXmlDocument(platform_);
  XmlNode root = Require(doc->AppendChild(Require(doc->CreateElement("xmlroot"))));
  for (const SecretRecord& row : secrets_) {
    XmlNode secret = Require(root.AppendChild(Require(doc->CreateElement("secret"))));
    AppendTextElement(*doc, secret, "title", row.Title);
    AppendTextElement(*doc, secret, "text", row.Text);
    AppendTextElement(*doc, secret, "password", row.Password);
  }
  std::string plain;
  // The launcher decrypts this and loads it: a document that would not load
  // again is not worth encrypting.
  if (!doc->Serialize(&plain) || !LoadsAgain(platform_, plain)) {
    throw Error(RuntimeError::kPathFileAccess, "vorelacleaner", "Path/File access error");
  }
  ByteArray bytes(plain.begin(), plain.end());
  encryptor_.EncryptByte(bytes, kCipherKey);
  return AsText(bytes);
}

void Migration::MigratePhrases() {
  // The phrases are numbered by position, so they move together: one save of
  // phrase.xml, then the whole legacy list goes.
  std::vector<std::pair<std::string, std::string>> phrases;
  bool intact = true;
  const std::int32_t n = RegCountValues(platform_, kHkeyCurrentUser, "Software\\VORELA\\WORD");
  for (std::int32_t i = 1; i <= n + 1; ++i) {
    phrases.emplace_back("WORD" + std::to_string(i),
                         ReadLegacyText(kLegacyPhraseKey, "WORD" + TwoDigits(i), &intact));
  }
  if (!intact) {
    MarkIncomplete("WORD");
    return;
  }
  if (!phrases.empty()) {
    const SettingsLocation where{paths_.VorelaXml, paths_.DataFolder};
    if (!SkipOnError([&] { WriteSettingsList(platform_, paths_.PhraseXml, phrases, where); })) {
      MarkIncomplete("phrase.xml");
      return;
    }
  }
  ForgetTree(kLegacyPhraseKey);
}

void Migration::MigrateLists() {
  const struct {
    const char* key;
    const char* prefix;
    const std::string* file;
  } lists[] = {{kLegacyHistoryKey, "HISTORY", &paths_.HistoryXml},
               {kLegacyCommandKey, "COMMAND", &paths_.CommandXml},
               {kLegacyWebHistoryKey, "WEBHISTORY", &paths_.WebHistoryXml}};
  for (const auto& list : lists) {
    std::vector<std::string> entries;
    bool intact = true;
    for (int i = 1; i <= 10; ++i) {
      const std::string v =
          ReadLegacyText(list.key, std::string(list.prefix) + TwoDigits(i), &intact);
      if (!TrimSpaces(v).empty()) entries.push_back(v);
    }
    if (!intact) {
      MarkIncomplete(list.key);
      continue;
    }
    if (!entries.empty() &&
        !SkipOnError([&] { WriteNumberedList(platform_, list.prefix, *list.file, entries); })) {
      MarkIncomplete(*list.file);
      continue;
    }
    ForgetTree(list.key);
  }
}

void Migration::CopyDefaultFiles() {
  SkipOnError([&] {
    const std::string source = paths_.ResourceFolder + "\\" + kWebMainFileName;
    if (FileExists(platform_, source)) platform_.files->Copy(source, paths_.WebMainXml);
  });
  SkipOnError([&] {
    const std::string source = paths_.ResourceFolder + "\\" + kBookmarkFileName;
    if (!FileExists(platform_, paths_.BookmarkXml) && FileExists(platform_, source)) {
      platform_.files->Copy(source, paths_.BookmarkXml);
    }
  });
}

void Migration::MigrateCategories() {
  std::vector<std::string> names;
  std::int32_t n = -1;
  SkipOnError([&] { n = RegEnumSubKeys(platform_, kHkeyCurrentUser, kLegacyCategoryKey, names); });
  if (n < 0) {
    no_categories_ = true;
    ForgetTree(kLegacyCategoryKey);
    return;
  }
  categories_.assign(static_cast<size_t>(n) + 1, MenuItemRecord{});
  bool intact = true;
  for (std::int32_t i = 0; i <= n; ++i) {
    const std::string key = std::string(kLegacyCategoryKey) + "\\MENU" + TwoDigits(i + 1);
    MenuItemRecord& row = categories_[static_cast<size_t>(i)];
    row.DispName = ReadLegacyText(key, "DISPNAME", &intact);
    row.Icon = ReadLegacyText(key, "ICON", &intact);
    row.MenuId = ReadLegacyText(key, "MENUID", &intact);
  }
  if (!intact ||
      !SkipOnError([&] { WriteCategoryFile(platform_, paths_.DataFolder, categories_); })) {
    MarkIncomplete("category.xml");
    return;
  }
  ForgetTree(kLegacyCategoryKey);
}

void Migration::MigrateWebMenus() {
  std::vector<std::string> names;
  std::int32_t n = -1;
  SkipOnError([&] { n = RegEnumSubKeys(platform_, kHkeyCurrentUser, kLegacyWebMenuKey, names); });
  if (n < 0) {
    ForgetTree(kLegacyWebMenuKey);
    return;
  }
  providers_.assign(static_cast<size_t>(n) + 1, MenuItemRecord{});
  items_.assign(1, MenuItemRecord{});  // item rows count from 1
  bool intact = true;
  for (std::int32_t i = 0; i <= n; ++i) {
    const std::string pp = TwoDigits(i + 1);
    const std::string provider = std::string(kLegacyWebMenuKey) + "\\MENU" + pp;
    std::vector<std::string> item_names;
    std::int32_t m = -1;
    SkipOnError([&] { m = RegEnumSubKeys(platform_, kHkeyCurrentUser, provider, item_names); });
    if (m < 0) continue;
    MenuItemRecord& row = providers_[static_cast<size_t>(i)];
    row.DispName = ReadLegacyText(provider, "DISPNAME", &intact);
    row.Icon = ReadLegacyText(provider, "ICON", &intact);
    row.MenuId = ReadLegacyText(provider, "MENUID", &intact);
    for (std::int32_t j = 0; j <= m; ++j) {
      const std::string key = provider + "\\MENU" + pp + TwoDigits(j + 1);
      MenuItemRecord item;
      item.DispName = ReadLegacyText(key, "DISPNAME", &intact);
      item.Icon = ReadLegacyText(key, "ICON", &intact);
      item.KeyNo = std::to_string(ToLong(ReadLegacyText(key, "KEYNO", &intact)));
      item.MenuId = ReadLegacyText(key, "MENUID", &intact);
      item.Hint = ReadLegacyText(key, "HINT", &intact);
      item.Ie = ReadLegacyText(key, "IE", &intact);
      item.Category = ReadLegacyText(key, "CATEGORY", &intact);
      items_.push_back(item);
    }
  }
  if (!intact || !SkipOnError([&] {
        WriteWebMenuFile(platform_, paths_.DataFolder, providers_, items_);
      })) {
    MarkIncomplete("webmenu.xml");
    return;
  }
  ForgetTree(kLegacyWebMenuKey);
}

void Migration::Finish() {
  std::string width;
  SkipOnError([&] { width = ReadXmlValue(platform_, "WIDTH", paths_.VorelaXml); });
  SkipOnError([&] {
    const std::string program = platform_.process->ProgramPath();
    const size_t slash = program.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? "" : program.substr(0, slash);
    const std::string menu_tool = folder + "\\vorelamenu" + ExecutableSuffix();
    // "xml" installs the default menu files over the user's, so it is only for
    // a user who has no menus yet: no legacy categories, and neither menu file
    // in the data folder (categories migrated by an earlier run, or installed
    // by a package since, are the user's menus too).
    const bool has_menus = FileExists(platform_, paths_.WebMenuXml) ||
                           FileExists(platform_, paths_.CategoryXml) || !no_categories_;
    const std::string mode = has_menus ? "ie" : "xml";
    // Started minimised and not awaited; the seam quotes the program path, so a
    // folder with blanks in its name cannot start some other program.
    if (FileExists(platform_, menu_tool)) platform_.process->StartDetached(menu_tool, mode, true);
  });
  if (ToLong(width) > 0) return;
  SkipOnError([&] {
    platform_.ui->ShowMessage(captions_.GetCaptionText("922"), "vorela!",
                              kMbOk | kMbIconInformation);
  });
  SkipOnError([&] {
    if (!platform_.browser) return;
    Win32Error error = kErrorSuccess;
    std::unique_ptr<BrowserWindow> window = platform_.browser->NewWindow(&error);
    if (!window) return;
    window->ShowBrowserBar(kBrowserBar, true, -1);
    window->Navigate(captions_.GetCaptionText("207"));
    window->SetVisible(true);
  });
}

}  // namespace vorela
