#include "e2e_menu/run_program.h"

#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace vorela::testing {

#ifdef _WIN32

int RunProgram(const std::string& program, const std::string& arguments,
               const std::string& output_native_path,
               const std::string& error_native_path) {
  // The runtime joins the pieces with one blank and adds no quotes: the
  // program's own path is quoted here, the argument text goes as it is.
  const std::string quoted = "\"" + program + "\"";
  std::vector<const char*> argv = {quoted.c_str()};
  if (!arguments.empty()) argv.push_back(arguments.c_str());
  argv.push_back(nullptr);
  std::fflush(stdout);
  std::fflush(stderr);
  const int saved_out = _dup(1);
  const int saved_err = _dup(2);
  const int out = _open(output_native_path.c_str(),
                        _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0644);
  if (out >= 0) {
    _dup2(out, 1);
    _close(out);
  }
  const int err = _open(error_native_path.c_str(),
                        _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0644);
  if (err >= 0) {
    _dup2(err, 2);
    _close(err);
  }
  const intptr_t code = _spawnv(_P_WAIT, program.c_str(), argv.data());
  _dup2(saved_out, 1);
  _close(saved_out);
  _dup2(saved_err, 2);
  _close(saved_err);
  return static_cast<int>(code);
}

#else

int RunProgram(const std::string& program, const std::string& arguments,
               const std::string& output_native_path,
               const std::string& error_native_path) {
  // The POSIX process backend joins argv[1..] with blanks: one piece keeps
  // the text exactly.
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  if (!arguments.empty()) argv.push_back(const_cast<char*>(arguments.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output_native_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, error_native_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr,
                                  argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

}  // namespace vorela::testing
