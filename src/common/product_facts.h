// The fixed names both programs and the tools share. Every path, key name and
// constant of the system is fixed; each one is written here once so that the
// menu tool, the cleaner and the tools cannot drift apart.
#pragma once

#include <string>
#include <string_view>

namespace vorela {

struct Platform;

// The cipher key of both programs: manifests, search pages and the secret file.
inline constexpr char kCipherKey[] = "mossgate";

// The shared resource folder's name, below the system folder. An Internet
// Explorer entry whose default value names it is one of ours.
inline constexpr char kResourceFolderName[] = "tolresource";
// Below the resource folder: menu icons and the entries' script pages.
inline constexpr char kIconFolderName[] = "icon";
inline constexpr char kScriptPageFolderName[] = "htm";

// Below the menu tool's own folder: where a package is copied and unpacked.
inline constexpr char kWorkFolderName[] = "work";

// In the system folder: the menu list file the menu records name.
inline constexpr char kMenuListFileName[] = "loadtv.xml";

// The per-user data folder's name, below the application-data folder.
inline constexpr char kDataFolderName[] = "vorela";

// The data files. The menu files and bookmark.xml also sit, as shared
// defaults, in the resource folder; lang.xml only sits there.
inline constexpr char kSettingsFileName[] = "vorela.xml";
inline constexpr char kHistoryFileName[] = "history.xml";
inline constexpr char kWebHistoryFileName[] = "webhistory.xml";
inline constexpr char kCommandFileName[] = "command.xml";
inline constexpr char kPhraseFileName[] = "phrase.xml";
inline constexpr char kSecretFileName[] = "secret.xml";
inline constexpr char kWebFileName[] = "web.xml";
inline constexpr char kWebMainFileName[] = "webmain.xml";
inline constexpr char kCategoryFileName[] = "category.xml";
inline constexpr char kWebMenuFileName[] = "webmenu.xml";
inline constexpr char kBookmarkFileName[] = "bookmark.xml";
inline constexpr char kCaptionFileName[] = "lang.xml";

// Internet Explorer's context-menu extension key, below HKEY_CURRENT_USER.
inline constexpr char kMenuExtKey[] = "Software\\Microsoft\\Internet Explorer\\MenuExt";

// The legacy settings tree, below HKEY_CURRENT_USER, and its subtrees.
inline constexpr char kLegacyRegistryKey[] = "SOFTWARE\\VORELA";
inline constexpr char kLegacyWebMenuKey[] = "SOFTWARE\\VORELA\\WEBMENU";
inline constexpr char kLegacyCategoryKey[] = "SOFTWARE\\VORELA\\CATEGORY";
inline constexpr char kLegacySecretKey[] = "SOFTWARE\\VORELA\\SECRET";
inline constexpr char kLegacyPhraseKey[] = "SOFTWARE\\VORELA\\WORD";
inline constexpr char kLegacyHistoryKey[] = "SOFTWARE\\VORELA\\HISTORY";
inline constexpr char kLegacyCommandKey[] = "SOFTWARE\\VORELA\\COMMAND";
inline constexpr char kLegacyWebHistoryKey[] = "SOFTWARE\\VORELA\\WEBHISTORY";

// System directory + "\tolresource", as the platform reports the system
// directory ("" + "\tolresource" when it reports none).
std::string ResourceFolderPath(const Platform& platform);

// The icon folder and the script-page folder of a resource folder, and the
// script page the Internet Explorer entry of menu `id` runs.
std::string IconFolderPath(std::string_view resource_folder);
std::string ScriptPageFolderPath(std::string_view resource_folder);
std::string ScriptPagePath(std::string_view resource_folder, std::string_view id);

// True when a MenuExt entry with this default value belongs to the product:
// it runs a script page of the resource folder.
bool IsProductMenuExtEntry(std::string_view default_value);

// The per-user data files, for an application-data folder without trailing
// separator. Each path is the folder followed by the file's name.
struct UserDataFiles {
  std::string Folder;  // application data + "\vorela\" (with its trailing "\")
  std::string Settings, History, WebHistory, Command, Phrase, Secret, Web, WebMain, Category,
      WebMenu, Bookmark;
};
UserDataFiles MakeUserDataFiles(std::string_view application_data);

}  // namespace vorela
