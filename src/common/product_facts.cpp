#include "common/product_facts.h"

#include "common/system_folder.h"

namespace vorela {

std::string ResourceFolderPath(const Platform& platform) {
  return clsSystemFolder(platform).System() + "\\" + kResourceFolderName;
}

std::string IconFolderPath(std::string_view resource_folder) {
  return std::string(resource_folder) + "\\" + kIconFolderName;
}

std::string ScriptPageFolderPath(std::string_view resource_folder) {
  return std::string(resource_folder) + "\\" + kScriptPageFolderName;
}

std::string ScriptPagePath(std::string_view resource_folder, std::string_view id) {
  return ScriptPageFolderPath(resource_folder) + "\\" + std::string(id) + ".htm";
}

bool IsProductMenuExtEntry(std::string_view default_value) {
  return default_value.find(kResourceFolderName) != std::string_view::npos;
}

UserDataFiles MakeUserDataFiles(std::string_view application_data) {
  UserDataFiles files;
  files.Folder = std::string(application_data) + "\\" + kDataFolderName + "\\";
  const std::string& folder = files.Folder;
  files.Settings = folder + kSettingsFileName;
  files.History = folder + kHistoryFileName;
  files.WebHistory = folder + kWebHistoryFileName;
  files.Command = folder + kCommandFileName;
  files.Phrase = folder + kPhraseFileName;
  files.Secret = folder + kSecretFileName;
  files.Web = folder + kWebFileName;
  files.WebMain = folder + kWebMainFileName;
  files.Category = folder + kCategoryFileName;
  files.WebMenu = folder + kWebMenuFileName;
  files.Bookmark = folder + kBookmarkFileName;
  return files;
}

}  // namespace vorela
