#include "menu/package_rules.h"

#include "common/text_util.h"

namespace vorela {

PackageFileKind KindOfPackageFile(std::string_view name) {
  if (Utf16Length(name) <= 4) return PackageFileKind::kIgnored;
  const std::string ending = AsciiLower(LastChars(name, 4));
  if (ending == ".ico") return PackageFileKind::kIcon;
  if (ending == ".xml") return PackageFileKind::kSharedFile;
  if (ending == ".htm") return PackageFileKind::kScriptPage;
  if (ending == ".enc") return PackageFileKind::kManifest;
  return PackageFileKind::kIgnored;
}

bool IsPlainFileName(std::string_view name) {
  return name.find_first_of("\\/:") == std::string_view::npos && name != "." &&
         name != "..";
}

std::string DecryptedManifestName(std::string_view name) {
  std::string decrypted = ReplaceAll(name, ".enc", ".xml");
  if (decrypted == name) {
    decrypted = std::string(name.substr(0, name.size() - 4)) + ".xml";
  }
  return decrypted;
}

}  // namespace vorela
