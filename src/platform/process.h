// Process seam: the running program, its command line, and starting another one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The program's arguments after its name, as UTF-8 (Windows hands main() its
// arguments in the ANSI code page, which cannot hold every name a user types;
// that backend splits the platform's own wide command line instead).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Puts standard input, output and error in binary mode: what a tool writes
// reaches the stream byte for byte on every build. (In text mode the Windows
// runtime writes "\r\n" for every "\n", and text that already has "\r\n"
// comes out as "\r\r\n".)
void UseBinaryStandardStreams();

// True when standard error is a terminal (a tool then shows progress there).
bool StandardErrorIsTerminal();

}  // namespace vorela
