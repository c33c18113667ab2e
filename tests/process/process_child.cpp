// Started by the process tests: writes its own path and argument text to the
// file named by the first word of its arguments, then exits. With arguments
// "lock:<lock file>|<marker>" it first waits for the lock.
#include <memory>
#include <string>

#include "platform/platform.h"

int main(int argc, char** argv) {
  vorela::InitProcessArguments(argc, argv);
  vorela::Process& process = vorela::SystemProcess();
  const std::string args = process.CommandLineArgs();
  // The marker path is everything up to the first "|".
  const size_t bar = args.find('|');
  if (bar == std::string::npos) return 2;
  std::string marker = args.substr(0, bar);
  std::unique_ptr<vorela::ProcessLock> lock;
  if (marker.rfind("lock:", 0) == 0) {
    vorela::Win32Error error = vorela::kErrorSuccess;
    lock = process.LockExclusive(marker.substr(5), &error);
    if (!lock) return 3;
    marker = args.substr(bar + 1);
  }
  const std::string report = process.ProgramPath() + "\n" + args.substr(bar + 1);
  return vorela::SystemFileSystem().WriteAtomic(marker, report) == vorela::kErrorSuccess ? 0 : 1;
}
