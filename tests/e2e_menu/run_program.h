// Runs a program to its end, as the scenarios run the real tool: the argument
// text reaches the program exactly as given (one piece, quotes and blanks
// kept), and the call waits for the program to exit.
#pragma once

#include <string>

namespace vorela::testing {

// Starts program (a native path) with the argument text and waits. Returns
// the exit code, or -1 when the program could not be started. The program's
// standard output is written to output_native_path, its standard error to
// error_native_path.
int RunProgram(const std::string& program, const std::string& arguments,
               const std::string& output_native_path,
               const std::string& error_native_path);

}  // namespace vorela::testing
