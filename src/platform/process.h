// Process seam: the running program, its command line, and starting another one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela {

class Process {
 public:
  virtual ~Process() = default;
  // Full path of the running program's file, in Windows form.
  virtual std::string ProgramPath() = 0;
  // The argument text: everything after the program's name and the one blank
  // that separates it, unchanged (quotes included).
  virtual std::string CommandLineArgs() = 0;
  // Starts program with args and does not wait for it. The program path is
  // always quoted in the command line it builds, so a path with blanks can
  // never start a different program.
  virtual Win32Error StartDetached(std::string_view program, std::string_view args,
                                   bool minimized) = 0;
};

Process& SystemProcess();

// The file-name ending of programs on this build (".exe" on Windows, "" else).
const char* ExecutableSuffix();

// Hands main()'s arguments to the process backend. The Windows backend reads
// the platform's own command line instead; POSIX joins argv[1..] with blanks.
void InitProcessArguments(int argc, char** argv);

}  // namespace vorela
