#include "cleaner/uninstall.h"

#include <string>
#include <vector>

#include "common/helpers.h"
#include "common/product_facts.h"
#include "common/registry_helpers.h"
#include "common/skip_on_error.h"
#include "common/system_folder.h"

namespace vorela {
namespace {

// "vorela!マニュアル.lnk"
constexpr const char* kManualShortcut =
    "\\vorela!\xE3\x83\x9E\xE3\x83\x8B\xE3\x83\xA5\xE3\x82\xA2\xE3\x83\xAB.lnk";

}  // namespace

void Uninstall(const Platform& platform) {
  std::vector<std::string> names;
  std::int32_t n = -1;
  SkipOnError([&] { n = RegEnumSubKeys(platform, kHkeyCurrentUser, kMenuExtKey, names); });
  for (std::int32_t i = 0; i <= n; ++i) {
    const std::string key = std::string(kMenuExtKey) + "\\" + names[i];
    const std::string ansi_key = platform.text->ToAnsi(key);
    SkipOnError([&] {
      if (IsProductMenuExtEntry(RegReadString(platform, kHkeyCurrentUser, key, ""))) {
        platform.registry->DeleteKey(kHkeyCurrentUser, ansi_key);
      }
    });
    SkipOnError([&] {
      if (RegReadString(platform, kHkeyCurrentUser, key, "Powerd").find("vorela!") !=
          std::string::npos) {
        platform.registry->DeleteKey(kHkeyCurrentUser, ansi_key);
      }
    });
  }

  const clsSystemFolder folders(platform);
  // A folder the platform cannot name is "": the paths would then point at
  // "\vorela" in the root of the current drive, which is nobody's data folder.
  const std::string appdata = folders.Appdata();
  if (!appdata.empty()) {
    const std::string data_folder = appdata + "\\vorela";
    // Without force first, then with force for read-only files. The removal
    // never follows a link out of the folder (links are removed as links).
    SkipOnError([&] { platform.files->DeleteTree(data_folder, false); });
    SkipOnError([&] { platform.files->DeleteTree(data_folder, true); });
  }
  const std::string common_files = folders.CommonFiles();
  if (!common_files.empty()) {
    SkipOnError([&] {
      const std::string shortcut = common_files + kManualShortcut;
      if (FileExists(platform, shortcut)) platform.files->Delete(shortcut);
    });
  }
}

}  // namespace vorela
