// vorelacrypt: command-line wiring; the tool itself is RunCryptTool.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cleaner/crypt_tool.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define VORELA_ISATTY _isatty
#else
#include <unistd.h>
#define VORELA_ISATTY isatty
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Cipher bytes through "-" must not be translated as text.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  vorela::Platform platform;
  platform.text = &vorela::SystemTextCodec();
  platform.files = &vorela::SystemFileSystem();
  vorela::CryptToolOptions options;
  options.progress_bar = VORELA_ISATTY(2) != 0;
  options.version = VORELA_VERSION;
  return vorela::RunCryptTool(args, std::cin, std::cout, std::cerr, platform,
                              options);
}
