// Stands in for the menu tool beside the cleaner: appends the argument text it
// was started with to "started.txt" in its own folder.
#include <string>

#include "platform/platform.h"

int main(int argc, char** argv) {
  vorela::InitProcessArguments(argc, argv);
  vorela::Process& process = vorela::SystemProcess();
  const std::string self = process.ProgramPath();
  const std::string marker = self.substr(0, self.find_last_of('\\')) + "\\started.txt";
  std::string previous;
  vorela::SystemFileSystem().ReadAll(marker, &previous);
  return vorela::SystemFileSystem().WriteAtomic(marker, previous + process.CommandLineArgs() + "\n")
             == vorela::kErrorSuccess ? 0 : 1;
}
