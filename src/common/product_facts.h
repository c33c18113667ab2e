// The fixed names both programs and the tools share. Every path, key name and
// constant of the system is fixed; each one is written here once so that the
// menu tool, the cleaner and the tools cannot drift apart.
#pragma once

namespace vorela {

// The cipher key of both programs: manifests, search pages and the secret file.
inline constexpr char kCipherKey[] = "mossgate";

// The shared resource folder's name, below the system folder.
inline constexpr char kResourceFolderName[] = "tolresource";

// Internet Explorer's context-menu extension key, below HKEY_CURRENT_USER.
inline constexpr char kMenuExtKey[] = "Software\\Microsoft\\Internet Explorer\\MenuExt";

// The legacy settings tree, below HKEY_CURRENT_USER.
inline constexpr char kLegacyRegistryKey[] = "SOFTWARE\\VORELA";

}  // namespace vorela
