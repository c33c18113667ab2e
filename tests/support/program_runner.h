// Runs a real program of this build and collects what it printed. In the
// Windows build the test itself runs under Wine, so the program starts in the
// same prefix and sees the same registry and drive C:.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vorela::testing {

struct ProgramResult {
  int exit_code = -1;
  bool timed_out = false;
  // The signal that ended the program (POSIX; 0 when it exited, and always 0
  // on Windows, where a crash shows as an exception code in exit_code).
  int signal = 0;
  std::string out;
  std::string err;
};

// The built program `name` (no suffix) from the build's bin folder, as a native
// path; "" when the build did not say where that is.
std::string BuiltProgram(const std::string& name);

// Runs program (native path) with the argument text args, passed to it as one
// command-line tail. env: extra variables for the child. Standard input is
// empty. Waits up to timeout_seconds, then kills it. On Windows a desktop
// name other than "" starts the program on that desktop (see
// MessageBoxWatcher); elsewhere it is ignored.
ProgramResult RunProgram(const std::string& program, const std::string& args,
                         const std::vector<std::pair<std::string, std::string>>& env = {},
                         int timeout_seconds = 60, const std::string& desktop = {});

// The same with separate arguments, each reaching the program's main() as one
// argument (on Windows quoted into the command line as the runtime splits it).
ProgramResult RunProgramWithArguments(
    const std::string& program, const std::vector<std::string>& args,
    const std::vector<std::pair<std::string, std::string>>& env = {},
    int timeout_seconds = 60);

}  // namespace vorela::testing
