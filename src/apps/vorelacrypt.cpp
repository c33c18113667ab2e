// vorelacrypt: command-line wiring; the tool itself is RunCryptTool.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/vorelacrypt/crypt_tool.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  // Cipher bytes through "-" must not be translated as text.
  vorela::UseBinaryStandardStreams();
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args = vorela::ProgramArguments(argc, argv);
  vorela::Platform platform;
  platform.text = &vorela::SystemTextCodec();
  platform.files = &vorela::SystemFileSystem();
  vorela::CryptToolOptions options;
  options.progress_bar = vorela::StandardErrorIsTerminal();
  options.version = VORELA_VERSION;
  return vorela::RunCryptTool(args, std::cin, std::cout, std::cerr, platform,
                              options);
}
