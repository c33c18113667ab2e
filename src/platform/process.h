// Process seam: the running program, its command line, and starting another one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error_codes.h"

namespace vorela {

// An exclusive lock that processes take turns on. It is released when the
// object is destroyed, and by the system when the holding process ends,
// however it ends, so a killed holder never blocks the next one for good.
class ProcessLock {
 public:
  virtual ~ProcessLock() = default;
};

class Process {
 public:
  virtual ~Process() = default;
  // Full path of the running program's file, in Windows form.
  virtual std::string ProgramPath() = 0;
  // The program's own folder in the machine's layout: the folder that holds
  // its work folder. On Windows that is the folder of ProgramPath(). The POSIX
  // machine has a folder of its own for it (C:\Program Files\vorela), so two
  // machines never share one and the binaries may sit in a read-only place;
  // ProgramPath() still names the real executable.
  virtual std::string ProgramFolder();
  // The argument text: everything after the program's name and the one blank
  // that separates it, unchanged (quotes included).
  virtual std::string CommandLineArgs() = 0;
  // Starts program with args and does not wait for it. The program path is
  // always quoted in the command line it builds, so a path with blanks can
  // never start a different program.
  virtual Win32Error StartDetached(std::string_view program, std::string_view args,
                                   bool minimized) = 0;
  // Waits until this process holds the exclusive lock of lock_file (created
  // when missing; its folder must exist) and returns it. Null, with *error
  // set, when the file cannot be created or locked. The lock is not handed
  // to programs this process starts.
  virtual std::unique_ptr<ProcessLock> LockExclusive(std::string_view lock_file,
                                                     Win32Error* error) = 0;
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
