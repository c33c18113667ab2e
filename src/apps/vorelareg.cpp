// vorelareg: command-line wiring; the tool itself is RunRegTool.
#include <cstdio>
#include <string>
#include <vector>

#include "common/reg_tool.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
  vorela::Platform platform;
  platform.text = &vorela::SystemTextCodec();
  platform.files = &vorela::SystemFileSystem();
  platform.registry = &vorela::SystemRegistry();
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
  // An exported file through "-" is UTF-16: no newline translation. Arguments
  // arrive in the ANSI code page there and UTF-8 everywhere else.
  _setmode(_fileno(stdout), _O_BINARY);
  for (std::string& arg : args) arg = platform.text->FromAnsi(arg);
#endif
  vorela::RegToolResult result =
      vorela::RunRegTool(platform, args, VORELA_VERSION);
  std::fwrite(result.out.data(), 1, result.out.size(), stdout);
  std::fputs(result.err.c_str(), stderr);
  std::fflush(stdout);
  return result.exit_code;
}
