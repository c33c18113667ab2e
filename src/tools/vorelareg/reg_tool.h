// vorelareg, the registry tool: export a key to a .reg file, import a .reg
// file, delete a key, on the registry of this build (the store of the POSIX
// machine, or the real registry on Windows).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vorela {

struct RegToolResult {
  int exit_code = 0;
  std::string out;  // bytes for standard output
  std::string err;  // text for standard error
};

// args excludes the program name. Uses platform.registry, .text and .files.
RegToolResult RunRegTool(const Platform& platform,
                         const std::vector<std::string>& args,
                         std::string_view version);

}  // namespace vorela
