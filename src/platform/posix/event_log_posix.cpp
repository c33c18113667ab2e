// The event log off Windows: one line per entry in <machine root>/event.log.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <string>

#include "platform/event_log.h"
#include "platform/posix/errno_map.h"
#include "platform/posix/machine.h"

namespace vorela {
namespace {

std::string_view TypeName(EventType type) {
  switch (type) {
    case EventType::kError:
      return "Error";
    case EventType::kWarning:
      return "Warning";
    case EventType::kInformation:
      return "Information";
  }
  return "Information";
}

// Tabs separate the fields and line feeds the entries, so neither may appear
// inside a field.
void AppendField(std::string& line, std::string_view text) {
  for (char c : text) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

class FileEventLog final : public EventLog {
 public:
  Win32Error Report(EventType type, std::string_view text) override {
    std::string root = posix::MachineRoot();
    // The root is made on first use, like every other part of the machine.
    std::error_code made;
    std::filesystem::create_directories(root, made);
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    std::string line = stamp;
    line += '\t';
    AppendField(line, ProgramName());
    line += '\t';
    line += TypeName(type);
    line += '\t';
    AppendField(line, text);
    line += '\n';
    int fd = open((root + "/event.log").c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return posix::FromErrno(errno);
    // One write per entry: appends of other processes land before or after it.
    ssize_t written = write(fd, line.data(), line.size());
    int saved = errno;
    close(fd);
    if (written != static_cast<ssize_t>(line.size())) {
      return written < 0 ? posix::FromErrno(saved) : kErrorDiskFull;
    }
    return kErrorSuccess;
  }
};

}  // namespace

std::string ProgramName() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string name = n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
  size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? std::string("vorela") : name;
}

EventLog& SystemEventLog() {
  static FileEventLog log;
  return log;
}

}  // namespace vorela
