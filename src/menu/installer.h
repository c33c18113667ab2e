// The installer window frmMenu: during its load it unpacks the package copied
// to WorkDir + "\temp.cab", installs its icons, script pages and shared files,
// decrypts and imports its manifest, and prepares the content the window then
// shows (what was added, and whether it worked).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "menu/menu_state.h"

namespace vorela {

// Loads the window (the whole import) and shows it until OK closes it; ends at
// once, without a window, when the package held more than one manifest.
void RunInstallerWindow(const MenuServices& services, MenuState& state);

}  // namespace vorela
