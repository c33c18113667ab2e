#include "support/program_runner.h"

#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include "platform/win32/windows_lean.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
extern char** environ;
#endif

#include "platform/process.h"

namespace vorela::testing {

std::string BuiltProgram(const std::string& name) {
  const char* bin = std::getenv("VORELA_TEST_BIN");
  if (!bin || !*bin) return {};
  return std::string(bin) + "/" + name + ExecutableSuffix();
}

#ifdef _WIN32

namespace {

void Drain(HANDLE pipe, std::string* out) {
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) out->append(buffer, n);
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::string& args,
                         const std::vector<std::pair<std::string, std::string>>& env,
                         int timeout_seconds, const std::string& desktop) {
  ProgramResult result;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out_read, out_write, err_read, err_write;
  CreatePipe(&out_read, &out_write, &inherit, 0);
  CreatePipe(&err_read, &err_write, &inherit, 0);
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  HANDLE null_in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherit, OPEN_EXISTING, 0, nullptr);
  for (const auto& [name, value] : env) {
    SetEnvironmentVariableW(win32::Widen(name).c_str(), win32::Widen(value).c_str());
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_in;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  std::wstring desktop_name = win32::Widen(desktop);
  if (!desktop_name.empty()) startup.lpDesktop = desktop_name.data();
  std::wstring command = L"\"" + win32::Widen(program) + L"\"";
  if (!args.empty()) command += L" " + win32::Widen(args);
  PROCESS_INFORMATION info = {};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &info);
  for (const auto& [name, value] : env) SetEnvironmentVariableW(win32::Widen(name).c_str(), nullptr);
  CloseHandle(out_write);
  CloseHandle(err_write);
  CloseHandle(null_in);
  if (!started) {
    CloseHandle(out_read);
    CloseHandle(err_read);
    result.err = "cannot start " + program;
    return result;
  }
  std::thread out_thread(Drain, out_read, &result.out);
  std::thread err_thread(Drain, err_read, &result.err);
  if (WaitForSingleObject(info.hProcess, timeout_seconds * 1000) == WAIT_TIMEOUT) {
    result.timed_out = true;
    TerminateProcess(info.hProcess, 99);
    WaitForSingleObject(info.hProcess, INFINITE);
  }
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  result.exit_code = static_cast<int>(code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  // A program it started may still hold the pipes: do not wait for them forever.
  out_thread.detach();
  err_thread.detach();
  Sleep(50);
  return result;
}

namespace {

// One argument as the platform's command-line splitting gives it back.
std::string QuotedArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

}  // namespace

ProgramResult RunProgramWithArguments(
    const std::string& program, const std::vector<std::string>& args,
    const std::vector<std::pair<std::string, std::string>>& env, int timeout_seconds) {
  std::string tail;
  for (const std::string& arg : args) {
    if (!tail.empty()) tail += ' ';
    tail += QuotedArgument(arg);
  }
  return RunProgram(program, tail, env, timeout_seconds);
}

#else

ProgramResult RunProgram(const std::string& program, const std::string& args,
                         const std::vector<std::pair<std::string, std::string>>& env,
                         int timeout_seconds, const std::string& /*desktop*/) {
  std::vector<std::string> one;
  if (!args.empty()) one.push_back(args);
  return RunProgramWithArguments(program, one, env, timeout_seconds);
}

ProgramResult RunProgramWithArguments(
    const std::string& program, const std::vector<std::string>& args,
    const std::vector<std::pair<std::string, std::string>>& env, int timeout_seconds) {
  ProgramResult result;
  int out_pipe[2], err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  std::vector<std::string> env_strings;
  for (char** e = environ; *e; ++e) env_strings.emplace_back(*e);
  for (const auto& [name, value] : env) env_strings.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> words = args;
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (rc != 0) {
    close(out_pipe[0]);
    close(err_pipe[0]);
    result.err = "cannot start " + program;
    return result;
  }
  const time_t deadline = time(nullptr) + timeout_seconds;
  bool out_open = true, err_open = true, exited = false;
  int status = 0;
  while (!exited || out_open || err_open) {
    if (!exited && waitpid(pid, &status, WNOHANG) == pid) exited = true;
    if (time(nullptr) > deadline) {
      if (!exited) {
        result.timed_out = true;
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        exited = true;
      }
      break;
    }
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    // A child it started in the background may keep a pipe open: once the
    // program itself has ended, give the pipes a moment and stop.
    if (poll(fds, 2, exited ? 200 : 50) <= 0) {
      if (exited) break;
      continue;
    }
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      } else {
        (i == 0 ? out_open : err_open) = false;
      }
    }
  }
  close(out_pipe[0]);
  close(err_pipe[0]);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

#endif

}  // namespace vorela::testing
