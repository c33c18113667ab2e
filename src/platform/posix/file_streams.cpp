#include "platform/posix/file_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/atomic_file.h"
#include "platform/posix/errno_map.h"
#include "platform/replacement_writer.h"

namespace vorela::posix {
namespace {

class DescriptorReader : public FileReader {
 public:
  DescriptorReader(int fd, std::uint64_t length) : fd_(fd), length_(length) {}
  ~DescriptorReader() override { close(fd_); }
  std::uint64_t Length() const override { return length_; }
  Win32Error Read(void* buffer, std::size_t size, std::size_t* got) override {
    *got = 0;
    while (true) {
      const ssize_t n = read(fd_, buffer, size);
      if (n >= 0) {
        *got = static_cast<std::size_t>(n);
        return kErrorSuccess;
      }
      if (errno != EINTR) return FromErrno(errno);
    }
  }

 private:
  int fd_;
  std::uint64_t length_;
};


}  // namespace

Win32Error OpenFileReader(const std::string& native, std::unique_ptr<FileReader>* reader) {
  const int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return kErrorAccessDenied;
  }
  // The data is read once, front to back.
  posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  *reader = std::make_unique<DescriptorReader>(fd, static_cast<std::uint64_t>(st.st_size));
  return kErrorSuccess;
}

Win32Error BeginFileReplacement(const std::string& native, std::unique_ptr<FileWriter>* writer) {
  auto made = std::make_unique<ReplacementWriter<AtomicReplacement>>(native);
  if (Win32Error e = made->error(); e != kErrorSuccess) return e;
  *writer = std::move(made);
  return kErrorSuccess;
}

}  // namespace vorela::posix
