// Package mode and the installer window frmMenu: the package is copied to
// WorkDir + "\temp.cab"; during its load the window unpacks it, installs its
// icons, script pages and shared files, decrypts and imports its manifest,
// and prepares the content it then shows (what was added, and whether it
// worked).
#pragma once

#include <string>
#include <vector>

#include "menu/menu_state.h"

namespace vorela {

// The lock file in WorkDir that package imports take turns on.
inline constexpr char kImportLockName[] = "import.lock";

// Imports the package at `package` (an existing path): takes this machine's
// turn, copies the package to temp.cab, loads the window (the whole import),
// removes temp.cab and gives the turn back, then shows the window until OK
// closes it; without a window when the package held more than one manifest.
// Returns true when the window shows the success caption (with several
// manifests: when every one was merged and saved). *problems gets one line
// per failure met during the load. Raises when the import cannot start: the
// work folder, the lock or the copy fails, or the package is no regular file.
bool RunPackageImport(const MenuServices& services, MenuState& state,
                      const std::string& package,
                      std::vector<std::string>* problems);

}  // namespace vorela
