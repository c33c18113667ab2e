#include "tools/vorelapack/pack_check.h"

#include <algorithm>

#include "cabinet/cab_file.h"
#include "cabinet/cab_routines.h"
#include "common/blowfish.h"
#include "common/product_facts.h"
#include "common/text_util.h"
#include "menu/package_rules.h"

namespace vorela {
namespace {

// A stored name holds at most 255 bytes before its terminating zero.
constexpr std::size_t kMaxStoredName = 255;

bool HasFile(const std::vector<std::string>& names, const std::string& wanted) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) {
    return EqualsIgnoreCase(n, wanted);
  });
}

// A scratch folder to unpack the package into, as the installer unpacks it
// into its work folder.
std::string ScratchFolder(const Platform& platform) {
  char buffer[261] = {};
  std::string base;
  if (platform.folders) {
    const std::uint32_t n = platform.folders->TempPath(sizeof buffer, buffer);
    if (n > 0 && n < sizeof buffer)
      base = platform.text->FromAnsi(std::string(buffer, n));
  }
  if (base.empty()) return {};
  base = EnsureTrailingBackslash(base);
  for (int i = 0; i < 1000; ++i) {
    const std::string dir = base + "vorelapack-check-" + std::to_string(i);
    if (platform.files->MakeDirectory(dir) == kErrorSuccess) return dir;
  }
  return {};
}

// Removes the scratch folder whatever the check found.
class Scratch {
 public:
  explicit Scratch(const Platform& platform)
      : platform_(platform), path_(ScratchFolder(platform)) {}
  ~Scratch() {
    if (!path_.empty()) platform_.files->DeleteTree(path_, true);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::string& path() const { return path_; }
  // Text about a file in the scratch folder, told with the package's name.
  std::string Hide(const std::string& text, const std::string& package) const {
    return ReplaceAll(text, path_, package);
  }

 private:
  const Platform& platform_;
  std::string path_;
};

}  // namespace

std::vector<PackFinding> CheckStoredName(const Platform& platform,
                                         const std::string& name) {
  std::vector<PackFinding> found;
  const std::string ansi = platform.text->ToAnsi(name);
  if (ansi.size() > kMaxStoredName) {
    found.push_back({true, "\"" + name + "\": the name is " +
                               std::to_string(ansi.size()) +
                               " bytes long; a cabinet holds at most 255"});
  }
  if (const char* problem = StoredNameProblem(name)) {
    found.push_back({true, "\"" + name + "\": the name " + problem +
                               "; it is refused and never unpacked"});
    return found;
  }
  if (name.find('/') != std::string::npos) {
    found.push_back(
        {true, "\"" + name +
                   "\": the name holds \"/\"; the installer cannot unpack it "
                   "and the whole install fails"});
    return found;
  }
  if (name.find('\\') != std::string::npos) {
    found.push_back(
        {true,
         "\"" + name +
             "\": stored in a folder; the installer only looks at files at "
             "the top level of the package"});
    return found;
  }
  if (KindOfPackageFile(name) == PackageFileKind::kIgnored) {
    found.push_back(
        {false,
         "\"" + name +
             "\": neither .ico, .htm, .xml nor .enc; the installer unpacks "
             "and then ignores it"});
  }
  return found;
}

std::vector<PackFinding> CheckPackage(const Platform& platform,
                                      const std::string& path) {
  std::vector<PackFinding> found;
  CabFile cab(platform);
  cab.CabName = path;
  std::vector<std::string> full_names;
  cab.FileFound = [&](const std::string& file_name, const CabDateTime&,
                      std::int32_t, const std::string& folder) {
    full_names.push_back(folder + file_name);
  };
  try {
    cab.GetInfo("");
  } catch (const Error& e) {
    return {{true, "cannot read the package: " + e.Description()}};
  }
  if (full_names.empty()) found.push_back({true, "the package holds no files"});

  std::vector<std::string> top_level, manifests, shared;
  for (const std::string& name : full_names) {
    for (PackFinding& f : CheckStoredName(platform, name))
      found.push_back(std::move(f));
    if (!IsPlainFileName(name) || !IsContainedStoredName(name)) continue;
    if (HasFile(top_level, name)) {
      found.push_back({true, "\"" + name + "\" is stored twice"});
    }
    top_level.push_back(name);
    const PackageFileKind kind = KindOfPackageFile(name);
    if (kind == PackageFileKind::kManifest) manifests.push_back(name);
    if (kind == PackageFileKind::kSharedFile) shared.push_back(name);
  }

  if (manifests.empty()) {
    found.push_back(
        {true, "no manifest: the package has no .enc file at its top level"});
    return found;
  }
  if (manifests.size() > 1) {
    found.push_back(
        {true, std::to_string(manifests.size()) +
                   " manifests: the installer then installs them all without "
                   "showing its window"});
    return found;
  }
  const std::string& manifest = manifests[0];
  const std::string decrypted = DecryptedManifestName(manifest);
  if (HasFile(top_level, decrypted)) {
    found.push_back(
        {true, "\"" + manifest + "\" and \"" + decrypted +
                   "\": decrypting the manifest writes \"" + decrypted +
                   "\" in the work folder, over the shipped file of that name"});
  }

  // Unpack everything, as the installer does before it looks at any file.
  const Scratch scratch(platform);
  if (scratch.path().empty()) {
    found.push_back(
        {true, "cannot create a temporary folder to read the manifest"});
    return found;
  }
  try {
    cab.Extract("", scratch.path(), "");
  } catch (const Error& e) {
    found.push_back({true, "the installer cannot unpack the package (" +
                               scratch.Hide(e.Description(), path) +
                               "), so it installs nothing"});
    return found;
  }
  for (const std::string& name : shared) {
    if (EqualsIgnoreCase(name, decrypted)) continue;
    for (PackFinding& f : CheckSharedFile(platform, name, scratch.path() + "\\" + name))
      found.push_back(std::move(f));
  }

  std::string bytes;
  if (platform.files->ReadAll(scratch.path() + "\\" + manifest, &bytes) !=
      kErrorSuccess) {
    found.push_back({true, "cannot unpack the manifest \"" + manifest + "\""});
    return found;
  }
  ByteArray data(bytes.begin(), bytes.end());
  try {
    clsBlowfish cipher(platform);
    cipher.DecryptByte(data, kCipherKey);
  } catch (const Error&) {
    found.push_back({true, "the manifest \"" + manifest +
                               "\" does not decrypt with the system's key"});
    return found;
  }
  const std::string plain(data.begin(), data.end());
  std::vector<PackFinding> text = CheckManifestText(platform, plain);
  if (!text.empty()) {
    for (PackFinding& f : text) found.push_back(std::move(f));
    return found;
  }
  const MenuRecord menu = ReadManifestRecord(platform, plain);
  if (!menu.ICON.empty() &&
      (KindOfPackageFile(menu.ICON) != PackageFileKind::kIcon ||
       !HasFile(top_level, menu.ICON))) {
    found.push_back(
        {true, "ICON \"" + menu.ICON + "\" names no icon in the package"});
  }
  for (const auto& [field, other] :
       {std::pair{"PICON", menu.PICON}, std::pair{"CICON", menu.CICON}}) {
    if (!other.empty() && !HasFile(top_level, other)) {
      found.push_back(
          {false,
           std::string(field) + " \"" + other +
               "\" is not in the package; it must already be installed"});
    }
  }
  if (menu.IE == "1" && !HasFile(top_level, menu.ID + ".htm")) {
    found.push_back({true, "IE is \"1\" but the package has no page \"" +
                               menu.ID + ".htm\""});
  }
  return found;
}

}  // namespace vorela
