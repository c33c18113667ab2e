// How the installer treats the files of a menu package. The installer and the
// package tool's check both follow these rules, so the check cannot promise
// what the install does not do.
#pragma once

#include <string>
#include <string_view>

namespace vorela {

// What the installer does with a stored file, by the last four characters of
// its name, case ignored.
enum class PackageFileKind {
  kIgnored,     // four characters or fewer, or another ending: left unpacked
  kIcon,        // ".ico": moved to the resource folder's "icon" folder
  kSharedFile,  // ".xml": replaces the resource folder's file of that name
  kScriptPage,  // ".htm": moved to the resource folder's "htm" folder
  kManifest,    // ".enc": decrypted and merged into the menu files
};
PackageFileKind KindOfPackageFile(std::string_view name);

// A name the installer may append to a folder: one plain file name, without a
// separator, a drive or stream colon, and not "." or "..". Other names are
// never installed.
bool IsPlainFileName(std::string_view name);

// Where a manifest is decrypted to, beside it: its name with ".enc" turned
// into ".xml". A name whose ending is ".enc" in another case (e.g. "MENU.ENC")
// has its last four characters replaced, so the decrypted file never is the
// manifest itself.
std::string DecryptedManifestName(std::string_view name);

}  // namespace vorela
