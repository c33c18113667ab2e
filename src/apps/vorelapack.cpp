// vorelapack: command-line wiring; the tool itself is RunPackTool.
#include <iostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tools/vorelapack/pack_tool.h"

int main(int argc, char** argv) {
  vorela::UseBinaryStandardStreams();
  const std::vector<std::string> args = vorela::ProgramArguments(argc, argv);
  const vorela::Platform platform = vorela::SystemPlatform();
  return vorela::RunPackTool(args, std::cout, std::cerr, platform,
                             vorela::SystemCabinetWriter(), VORELA_VERSION);
}
