// vorelapack: builds, lists, extracts and checks menu packages (cabinets of
// icons, script pages and one encrypted manifest).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/cabinet.h"
#include "platform/platform.h"

namespace vorela {

// Exit codes: 0 success (check: installs cleanly), 1 a failure or a package
// with problems, 2 a usage error.
int RunPackTool(const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err, const Platform& platform,
                CabinetWriter& writer, const std::string& version);

}  // namespace vorela
