// Started by the process tests: writes its own path and argument text to the
// file named by the first word of its arguments, then exits.
#include <string>

#include "platform/platform.h"

int main(int argc, char** argv) {
  vorela::InitProcessArguments(argc, argv);
  vorela::Process& process = vorela::SystemProcess();
  const std::string args = process.CommandLineArgs();
  // The marker path is everything up to the first "|".
  const size_t bar = args.find('|');
  if (bar == std::string::npos) return 2;
  const std::string marker = args.substr(0, bar);
  const std::string report = process.ProgramPath() + "\n" + args.substr(bar + 1);
  return vorela::SystemFileSystem().WriteAtomic(marker, report) == vorela::kErrorSuccess ? 0 : 1;
}
