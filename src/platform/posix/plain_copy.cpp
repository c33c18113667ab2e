#include "platform/posix/plain_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/errno_map.h"

namespace vorela::posix {
namespace {

constexpr size_t kBlockSize = 1 << 16;

// Closes the descriptor it holds when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the close's own failure (where a full disk may
  // show only then).
  int Close() {
    const int rc = close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

Win32Error MissingSource(const std::string& native) {
  const size_t slash = native.rfind('/');
  const std::string parent =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
  struct stat st;
  if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kErrorPathNotFound;
  return kErrorFileNotFound;
}

Win32Error Pump(int in, int out) {
  char buffer[kBlockSize];
  while (true) {
    const ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FromErrno(errno);
    }
    if (n == 0) return kErrorSuccess;
    ssize_t done = 0;
    while (done < n) {
      const ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return FromErrno(errno);
      }
      done += w;
    }
  }
}

}  // namespace

Win32Error CopyPlainFile(const std::string& from, const std::string& to) {
  if (from.empty() || from.back() == '/') return kErrorFileNotFound;
  if (to.empty() || to.back() == '/') return kErrorPathNotFound;
  // O_NONBLOCK: opening a FIFO must not wait for a writer. The kind is then
  // taken from what was opened, so a swap after a check cannot fool it.
  Descriptor in(open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (in.get() < 0) {
    if (errno == ENOENT) return MissingSource(from);
    if (errno == ENXIO) return kErrorBadFileType;  // a socket, or a device without driver
    return FromErrno(errno);
  }
  struct stat st;
  if (fstat(in.get(), &st) != 0) return FromErrno(errno);
  if (!S_ISREG(st.st_mode)) return kErrorBadFileType;
  fcntl(in.get(), F_SETFL, fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

  struct stat existing;
  mode_t mode = 0666;
  if (lstat(to.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode) ||
        (!S_ISLNK(existing.st_mode) && (existing.st_mode & S_IWUSR) == 0)) {
      return kErrorAccessDenied;
    }
    mode = existing.st_mode & 0777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  const size_t slash = to.rfind('/');
  const std::string parent =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : to.substr(0, slash));
  const std::string base = slash == std::string::npos ? to : to.substr(slash + 1);
  struct stat folder;
  if (stat(parent.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
    return kErrorPathNotFound;
  }
  std::string temp = parent + "/." + base + ".tmp-XXXXXX";
  Descriptor out(mkostemp(temp.data(), O_CLOEXEC));
  if (out.get() < 0) return FromErrno(errno);
  Win32Error result = Pump(in.get(), out.get());
  if (result == kErrorSuccess && fsync(out.get()) != 0) result = FromErrno(errno);
  if (result == kErrorSuccess && fchmod(out.get(), mode) != 0) result = FromErrno(errno);
  if (out.Close() != 0 && result == kErrorSuccess) result = FromErrno(errno);
  if (result == kErrorSuccess && rename(temp.c_str(), to.c_str()) != 0) {
    result = FromErrno(errno);
  }
  if (result != kErrorSuccess) unlink(temp.c_str());
  return result;
}

}  // namespace vorela::posix
