// The running program, process start with posix_spawn, and locks with flock.
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/posix/errno_map.h"
#include "platform/posix/machine.h"
#include "platform/process.h"

extern char** environ;

namespace vorela {
namespace {

std::string& Arguments() {
  static std::string args;
  return args;
}

// flock locks belong to the open file: closing it (or the process ending)
// releases the lock. O_CLOEXEC keeps started programs from holding it.
class FlockLock final : public ProcessLock {
 public:
  explicit FlockLock(int fd) : fd_(fd) {}
  ~FlockLock() override { close(fd_); }
  FlockLock(const FlockLock&) = delete;
  FlockLock& operator=(const FlockLock&) = delete;

 private:
  int fd_;
};

class PosixProcess final : public Process {
 public:
  std::string ProgramFolder() override {
    posix::EnsureProgramFolder();
    return posix::kProgramFolder;
  }

  std::string ProgramPath() override {
    std::string buffer(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    buffer.resize(static_cast<size_t>(n));
    return posix::WindowsPath(buffer);
  }

  std::string CommandLineArgs() override { return Arguments(); }

  Win32Error StartDetached(std::string_view program, std::string_view args,
                           bool minimized) override {
    (void)minimized;  // no window system to minimise into
    const std::string native = posix::NativePath(program);
    // The argument text travels as one word, so that the started program's
    // CommandLineArgs() gives back exactly this text, blanks and quotes included.
    std::string text(args);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(native.c_str()));
    if (!text.empty()) argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Its own session: the started program outlives us and ignores our signals.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, native.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? kErrorSuccess : posix::FromErrno(rc);
  }

  std::unique_ptr<ProcessLock> LockExclusive(std::string_view lock_file,
                                             Win32Error* error) override {
    const std::string native = posix::NativePath(lock_file);
    // O_NOFOLLOW: a link planted under the lock's name is not followed.
    const int fd = open(native.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      const int e = errno;
      if (error) *error = e == ENOENT ? kErrorPathNotFound : posix::FromErrno(e);
      return nullptr;
    }
    while (flock(fd, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      close(fd);
      if (error) *error = posix::FromErrno(e);
      return nullptr;
    }
    if (error) *error = kErrorSuccess;
    return std::make_unique<FlockLock>(fd);
  }
};

}  // namespace

void InitProcessArguments(int argc, char** argv) {
  std::string joined;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) joined += ' ';
    joined += argv[i];
  }
  Arguments() = joined;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// POSIX streams carry bytes unchanged already.
void UseBinaryStandardStreams() {}

bool StandardErrorIsTerminal() { return isatty(2) != 0; }

const char* ExecutableSuffix() { return ""; }

Process& SystemProcess() {
  static PosixProcess process;
  return process;
}

}  // namespace vorela
