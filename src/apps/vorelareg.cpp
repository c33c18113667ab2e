// vorelareg: command-line wiring; the tool itself is RunRegTool.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/vorelareg/reg_tool.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  // An exported file through "-" is UTF-16: no newline translation.
  vorela::UseBinaryStandardStreams();
  vorela::Platform platform;
  platform.text = &vorela::SystemTextCodec();
  platform.files = &vorela::SystemFileSystem();
  platform.registry = &vorela::SystemRegistry();
  const std::vector<std::string> args = vorela::ProgramArguments(argc, argv);
  vorela::RegToolResult result =
      vorela::RunRegTool(platform, args, VORELA_VERSION);
  std::fwrite(result.out.data(), 1, result.out.size(), stdout);
  std::fputs(result.err.c_str(), stderr);
  std::fflush(stdout);
  return result.exit_code;
}
