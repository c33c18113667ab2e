#include "cabinet/pack_check.h"

#include <algorithm>

#include "cabinet/cab_file.h"
#include "cabinet/pack_manifest.h"
#include "common/blowfish.h"
#include "common/text_util.h"

namespace vorela {
namespace {

constexpr char kKey[] = "mossgate";
// A stored name holds at most 255 bytes before its terminating zero.
constexpr std::size_t kMaxStoredName = 255;

// How the installer handles a file: by the last four characters of its name,
// lower-cased; names of four characters or fewer are ignored.
std::string KindOf(const std::string& name) {
  if (Utf16Length(name) <= 4) return "";
  const std::string tail = AsciiLower(LastChars(name, 4));
  for (const char* kind : {".ico", ".htm", ".xml", ".enc"}) {
    if (tail == kind) return kind;
  }
  return "";
}

bool HasFile(const std::vector<std::string>& names, const std::string& wanted) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) {
    return EqualsIgnoreCase(n, wanted);
  });
}

// A scratch folder for reading the manifest out of the package.
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
  if (name.find('\\') != std::string::npos ||
      name.find('/') != std::string::npos) {
    found.push_back(
        {true,
         "\"" + name +
             "\": stored in a folder; the installer only looks at files at "
             "the top level of the package"});
    return found;
  }
  if (KindOf(name).empty()) {
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
  std::vector<std::string> names, full_names;
  cab.FileFound = [&](const std::string& file_name, const CabDateTime&,
                      std::int32_t, const std::string& folder) {
    names.push_back(file_name);
    full_names.push_back(folder + file_name);
  };
  try {
    cab.GetInfo("");
  } catch (const Error& e) {
    return {{true, "cannot read the package: " + e.Description()}};
  }
  if (full_names.empty()) found.push_back({true, "the package holds no files"});

  std::vector<std::string> top_level, manifests;
  for (const std::string& name : full_names) {
    for (PackFinding& f : CheckStoredName(platform, name))
      found.push_back(std::move(f));
    const bool top =
        name.find('\\') == std::string::npos && IsContainedStoredName(name);
    if (!top) continue;
    if (HasFile(top_level, name)) {
      found.push_back({true, "\"" + name + "\" is stored twice"});
    }
    top_level.push_back(name);
    if (KindOf(name) == ".enc") manifests.push_back(name);
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

  const std::string scratch = ScratchFolder(platform);
  if (scratch.empty()) {
    found.push_back(
        {true, "cannot create a temporary folder to read the manifest"});
    return found;
  }
  std::string bytes;
  bool extracted = false;
  try {
    extracted = cab.Extract(manifests[0], scratch, "manifest.enc");
  } catch (const Error& e) {
    found.push_back({true, "cannot unpack the manifest: " + e.Description()});
  }
  const std::string manifest_path = scratch + "\\manifest.enc";
  if (extracted) {
    if (platform.files->ReadAll(manifest_path, &bytes) != kErrorSuccess)
      extracted = false;
  }
  platform.files->Delete(manifest_path);
  platform.files->RemoveEmptyDirectory(scratch);
  if (!extracted) {
    if (found.empty() || !found.back().error) {
      found.push_back({true, "cannot unpack the manifest"});
    }
    return found;
  }

  ByteArray data(bytes.begin(), bytes.end());
  try {
    clsBlowfish cipher(platform);
    cipher.DecryptByte(data, kKey);
  } catch (const Error&) {
    found.push_back({true, "the manifest \"" + manifests[0] +
                               "\" does not decrypt with the system's key"});
    return found;
  }
  const ManifestReading reading =
      ReadManifest(std::string(data.begin(), data.end()));
  if (!reading.parsed) {
    found.push_back({true, "the manifest does not parse: " + reading.problem});
    return found;
  }
  if (!reading.problem.empty()) {
    found.push_back({true, "the manifest gives no menu: " + reading.problem});
    return found;
  }
  const std::string id = reading.Field("ID");
  if (id.empty()) found.push_back({true, "the manifest's ID is empty"});
  const std::string icon = reading.Field("ICON");
  if (!icon.empty() && (KindOf(icon) != ".ico" || !HasFile(top_level, icon))) {
    found.push_back(
        {true, "ICON \"" + icon + "\" names no icon in the package"});
  }
  for (const char* field : {"PICON", "CICON"}) {
    const std::string other = reading.Field(field);
    if (!other.empty() && !HasFile(top_level, other)) {
      found.push_back(
          {false,
           std::string(field) + " \"" + other +
               "\" is not in the package; it must already be installed"});
    }
  }
  if (reading.Field("IE") == "1" && !id.empty() &&
      !HasFile(top_level, id + ".htm")) {
    found.push_back(
        {true, "IE is \"1\" but the package has no page \"" + id + ".htm\""});
  }
  return found;
}

}  // namespace vorela
