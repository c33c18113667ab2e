// vorelapack: command-line wiring; the tool itself is RunPackTool.
#include <iostream>
#include <string>
#include <vector>

#include "cabinet/pack_tool.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const vorela::Platform platform = vorela::SystemPlatform();
  return vorela::RunPackTool(args, std::cout, std::cerr, platform,
                             vorela::SystemCabinetWriter(), VORELA_VERSION);
}
