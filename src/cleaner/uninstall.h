// The cleaner's uninstall path: the menu tool's Internet Explorer entries, the
// user's data folder and the manual's shortcut. Nothing is shown, every failing
// step is skipped.
#pragma once

#include "platform/platform.h"

namespace vorela {

void Uninstall(const Platform& platform);

}  // namespace vorela
