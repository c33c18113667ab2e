// The setup API's cabinet walk, rebuilt over libmspack. It keeps the Windows
// contract of platform/cabinet.h: the same notifications in the same order, the
// callback's answers honoured as Windows documents them, and the same error
// codes. An existing target is written beside itself under a temporary name
// and then renamed over, so it is replaced whole or not at all; a new one is
// written in place and removed again if its data is bad.
#include <fcntl.h>
#include <mspack.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/cabinet.h"
#include "platform/posix/cabinet_targets.h"
#include "platform/posix/errno_map.h"
#include "platform/posix/machine.h"
#include "platform/text.h"

namespace vorela {
namespace {

using posix::FromErrno;

// Errors of reading the cabinet: anything wrong with its bytes is invalid data.
Win32Error FromMspack(int e) {
  switch (e) {
    case MSPACK_ERR_OPEN:
      return kErrorFileNotFound;
    case MSPACK_ERR_NOMEMORY:
      return kErrorNotEnoughMemory;
    case MSPACK_ERR_WRITE:
      return kErrorDiskFull;
    default:
      return kErrorInvalidData;
  }
}

std::uint16_t DosDateOf(const mscabd_file& f) {
  const int year = f.date_y - 1980;
  return static_cast<std::uint16_t>(
      ((year & 0x7F) << 9) | ((f.date_m & 0x0F) << 5) | (f.date_d & 0x1F));
}

std::uint16_t DosTimeOf(const mscabd_file& f) {
  return static_cast<std::uint16_t>(((f.time_h & 0x1F) << 11) |
                                    ((f.time_m & 0x3F) << 5) |
                                    ((f.time_s / 2) & 0x1F));
}

// The stored stamp as a file time (local time, as the stamp carries no zone).
// Files of one cabinet mostly share a stamp, so the last conversion is kept.
bool StampOf(const mscabd_file& f, timespec* out) {
  static thread_local struct {
    int y = -1, mo, d, h, mi, s;
    std::time_t t;
  } last;
  if (last.y != f.date_y || last.mo != f.date_m || last.d != f.date_d ||
      last.h != f.time_h || last.mi != f.time_m || last.s != f.time_s) {
    std::tm tm{};
    tm.tm_year = f.date_y - 1900;
    tm.tm_mon = f.date_m - 1;
    tm.tm_mday = f.date_d;
    tm.tm_hour = f.time_h;
    tm.tm_min = f.time_m;
    tm.tm_sec = f.time_s;
    tm.tm_isdst = -1;
    last = {f.date_y, f.date_m, f.date_d, f.time_h, f.time_m, f.time_s,
            std::mktime(&tm)};
  }
  if (last.t == static_cast<std::time_t>(-1)) return false;
  *out = {last.t, 0};
  return true;
}

// libmspack's I/O, silent (its default one prints warnings about odd headers)
// and with output files that the walk opens itself: the decompressor's "open
// for writing" takes the descriptor handed over just before, so that the walk
// decides how the file is created and keeps it to stamp it and clean up.
struct WalkSystem {
  mspack_system base;  // first, so that libmspack's pointer is ours too
  int output_fd = -1;
};

struct WalkFile {
  std::FILE* in = nullptr;  // the cabinet
  int out = -1;             // an output file, owned by the walk
};

mspack_file* WalkOpen(mspack_system* self, const char* name, int mode) {
  auto* system = reinterpret_cast<WalkSystem*>(self);
  if (mode == MSPACK_SYS_OPEN_WRITE) {
    if (system->output_fd < 0) return nullptr;
    auto* file = new WalkFile{nullptr, system->output_fd};
    system->output_fd = -1;
    return reinterpret_cast<mspack_file*>(file);
  }
  if (mode != MSPACK_SYS_OPEN_READ) return nullptr;
  std::FILE* f = std::fopen(name, "rb");
  if (!f) return nullptr;
  return reinterpret_cast<mspack_file*>(new WalkFile{f, -1});
}
void WalkClose(mspack_file* file) {
  auto* f = reinterpret_cast<WalkFile*>(file);
  if (f->in) std::fclose(f->in);
  delete f;
}
int WalkRead(mspack_file* file, void* buffer, int bytes) {
  auto* f = reinterpret_cast<WalkFile*>(file);
  if (bytes < 0 || !f->in) return -1;
  const std::size_t n =
      std::fread(buffer, 1, static_cast<std::size_t>(bytes), f->in);
  return std::ferror(f->in) ? -1 : static_cast<int>(n);
}
int WalkWrite(mspack_file* file, void* buffer, int bytes) {
  auto* f = reinterpret_cast<WalkFile*>(file);
  if (bytes < 0 || f->out < 0) return -1;
  const char* p = static_cast<const char*>(buffer);
  for (int left = bytes; left > 0;) {
    const ssize_t n = write(f->out, p, static_cast<std::size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    p += n;
    left -= static_cast<int>(n);
  }
  return bytes;
}
int WalkSeek(mspack_file* file, off_t offset, int mode) {
  auto* f = reinterpret_cast<WalkFile*>(file);
  if (!f->in) return -1;
  const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET
                     : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR
                                                   : SEEK_END;
  return fseeko(f->in, offset, whence) == 0 ? 0 : -1;
}
off_t WalkTell(mspack_file* file) {
  auto* f = reinterpret_cast<WalkFile*>(file);
  return f->in ? ftello(f->in) : -1;
}
void WalkMessage(mspack_file*, const char*, ...) {}
void* WalkAlloc(mspack_system*, std::size_t bytes) {
  return std::malloc(bytes);
}
void WalkFree(void* p) { std::free(p); }
void WalkCopy(void* from, void* to, std::size_t bytes) {
  std::memmove(to, from, bytes);
}

class Decompressor {
 public:
  Decompressor() : cabd_(mspack_create_cab_decompressor(&system_.base)) {
    // A larger input buffer means fewer reads of the cabinet per data block.
    if (cabd_) cabd_->set_param(cabd_, MSCABD_PARAM_DECOMPBUF, 65536);
  }
  ~Decompressor() {
    if (cabd_ && cab_) cabd_->close(cabd_, cab_);
    if (cabd_) mspack_destroy_cab_decompressor(cabd_);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  mscab_decompressor* get() const { return cabd_; }
  mscabd_cabinet* cab() const { return cab_; }
  void set_cab(mscabd_cabinet* cab) { cab_ = cab; }

  // Decompresses file into the open descriptor fd (which stays open).
  int ExtractTo(mscabd_file* file, int fd, const std::string& name) {
    system_.output_fd = fd;
    const int rc = cabd_->extract(cabd_, file, name.c_str());
    system_.output_fd = -1;
    return rc;
  }

 private:
  WalkSystem system_{{WalkOpen, WalkClose, WalkRead, WalkWrite, WalkSeek,
                      WalkTell, WalkMessage, WalkAlloc, WalkFree, WalkCopy,
                      nullptr}};
  mscab_decompressor* cabd_;
  mscabd_cabinet* cab_ = nullptr;
};

struct Outcome {
  bool ok = true;
  Win32Error error = kErrorSuccess;
  bool data_error = false;
};

bool IsReadOnlyFile(const struct stat& st) {
  return !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

// Decompresses into fd, stamps and closes it; on failure removes `path`.
Outcome Fill(Decompressor& cabd, mscabd_file* file, int fd,
             const std::string& path) {
  const int rc = cabd.ExtractTo(file, fd, path);
  timespec stamp;
  if (rc == MSPACK_ERR_OK && StampOf(*file, &stamp)) {
    const timespec times[2] = {stamp, stamp};
    futimens(fd, times);
  }
  const bool closed = close(fd) == 0;
  if (rc != MSPACK_ERR_OK || !closed) {
    unlink(path.c_str());
    if (rc == MSPACK_ERR_OK || rc == MSPACK_ERR_WRITE || rc == MSPACK_ERR_OPEN)
      return {false, kErrorDiskFull};
    return {false, FromMspack(rc), true};
  }
  return {};
}

// Writes one file to target (ANSI bytes). A new file is written in place (and
// removed again when its data turns out bad); an existing one is replaced
// whole through a temporary file beside it. A read-only file is refused, as
// Windows refuses to replace it.
Outcome WriteTarget(Decompressor& cabd, mscabd_file* file,
                    std::string_view target_ansi,
                    posix::CabinetTargets& targets, unsigned* serial) {
  if (target_ansi.empty()) return {false, kErrorPathNotFound};
  bool folder_missing = false;
  const std::string native =
      targets.Resolve(SystemTextCodec().FromAnsi(target_ansi), &folder_missing);
  if (native.empty()) return {false, kErrorPathNotFound};
  const std::size_t slash = native.rfind('/');
  const std::string dir =
      slash == std::string::npos ? "." : native.substr(0, slash);
  const std::string name =
      slash == std::string::npos ? native : native.substr(slash + 1);

  struct stat st;
  bool exists = lstat(native.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) return {false, kErrorAccessDenied};
    if (S_ISLNK(st.st_mode) && stat(native.c_str(), &st) == 0 &&
        S_ISDIR(st.st_mode))
      return {false, kErrorAccessDenied};
    if (IsReadOnlyFile(st)) return {false, kErrorAccessDenied};
  }

  // New files get the process's usual mode: 0666 less the umask.
  constexpr int kCreate = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
  if (!exists) {
    const int fd = open(native.c_str(), kCreate, 0666);
    if (fd >= 0) {
      Outcome outcome = Fill(cabd, file, fd, native);
      if (outcome.ok) targets.Written(dir, name);
      return outcome;
    }
    if (errno != EEXIST) return {false, FromErrno(errno)};
    // Someone created it meanwhile: replace it whole like any existing file.
  }

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "/.vorela-cab-" + std::to_string(getpid()) + "-" +
           std::to_string(++*serial);
    fd = open(temp.c_str(), kCreate, 0666);
    if (fd < 0 && errno != EEXIST) return {false, FromErrno(errno)};
  }
  if (fd < 0) return {false, kErrorAccessDenied};
  Outcome outcome = Fill(cabd, file, fd, temp);
  if (!outcome.ok) return outcome;
  if (rename(temp.c_str(), native.c_str()) != 0) {
    const int e = errno;
    unlink(temp.c_str());
    return {false, FromErrno(e)};
  }
  targets.Written(dir, name);
  return {};
}

class MspackCabinetIterator final : public CabinetIterator {
 public:
  bool IterateCabinet(std::string_view cabinet_ansi, std::uint32_t reserved,
                      CabinetCallback callback, std::uintptr_t context,
                      Win32Error* last_error) override {
    Win32Error ignored;
    if (!last_error) last_error = &ignored;
    *last_error = kErrorSuccess;
    if (reserved != 0 || !callback)
      return Fail(last_error, kErrorInvalidParameter);

    const std::string cabinet(cabinet_ansi);
    const std::string native =
        posix::NativePath(SystemTextCodec().FromAnsi(cabinet));
    struct stat st;
    if (cabinet.empty() || stat(native.c_str(), &st) != 0) {
      const int e = cabinet.empty() ? ENOENT : errno;
      return Fail(last_error, e == ENOENT ? kErrorFileNotFound : FromErrno(e));
    }
    if (S_ISDIR(st.st_mode)) return Fail(last_error, kErrorAccessDenied);
    if (access(native.c_str(), R_OK) != 0)
      return Fail(last_error, kErrorAccessDenied);

    Decompressor cabd;
    if (!cabd.get()) return Fail(last_error, kErrorNotEnoughMemory);
    mscabd_cabinet* cab = cabd.get()->open(cabd.get(), native.c_str());
    if (!cab)
      return Fail(last_error, FromMspack(cabd.get()->last_error(cabd.get())));
    cabd.set_cab(cab);

    const std::size_t cut = cabinet.find_last_of("\\/");
    const std::string folder =
        cut == std::string::npos ? "" : cabinet.substr(0, cut + 1);
    const std::string name =
        cut == std::string::npos ? cabinet : cabinet.substr(cut + 1);
    CabinetInfoA info{folder.c_str(), name.c_str(), "", cab->set_id,
                      cab->set_index};
    if (std::uint32_t answer =
            callback(context, kNotifyCabinetInfo,
                     reinterpret_cast<std::uintptr_t>(&info), 0)) {
      return Fail(last_error, answer);
    }

    posix::CabinetTargets targets;
    unsigned serial = 0;
    for (mscabd_file* file = cab->files; file; file = file->next) {
      FileInCabinetInfoA entry{};
      entry.NameInCabinet = file->filename ? file->filename : "";
      entry.FileSize = file->length;
      entry.DosDate = DosDateOf(*file);
      entry.DosTime = DosTimeOf(*file);
      entry.DosAttribs = static_cast<std::uint16_t>(file->attribs);
      const std::uint32_t answer =
          callback(context, kNotifyFileInCabinet,
                   reinterpret_cast<std::uintptr_t>(&entry),
                   reinterpret_cast<std::uintptr_t>(cabinet.c_str()));
      if (answer == kFileOpSkip) continue;
      if (answer != kFileOpDoIt) return Fail(last_error, kErrorCancelled);

      const std::string_view target(
          entry.FullTargetName, strnlen(entry.FullTargetName, kCabinetMaxPath));
      Outcome outcome = target.size() >= kCabinetMaxPath
                            ? Outcome{false, kErrorFilenameExcedRange}
                            : WriteTarget(cabd, file, target, targets, &serial);
      if (outcome.data_error) {
        if (cab->flags & (MSCAB_HDR_NEXTCAB | MSCAB_HDR_PREVCAB)) {
          // The file's data lives partly in another cabinet of a set.
          const char* other = (cab->flags & MSCAB_HDR_NEXTCAB) && cab->nextname
                                  ? cab->nextname
                              : cab->prevname ? cab->prevname
                                              : "";
          CabinetInfoA next{folder.c_str(), other, "", cab->set_id,
                            cab->set_index};
          char new_path[kCabinetMaxPath] = {};
          if (std::uint32_t reply =
                  callback(context, kNotifyNeedNewCabinet,
                           reinterpret_cast<std::uintptr_t>(&next),
                           reinterpret_cast<std::uintptr_t>(new_path))) {
            return Fail(last_error, reply);
          }
        }
        return Fail(last_error, outcome.error);
      }
      const std::string written(target);
      FilePathsA paths{written.c_str(), cabinet.c_str(), outcome.error, 0};
      if (std::uint32_t reply =
              callback(context, kNotifyFileExtracted,
                       reinterpret_cast<std::uintptr_t>(&paths), 0)) {
        return Fail(last_error, reply);
      }
    }
    return true;
  }

 private:
  static bool Fail(Win32Error* last_error, Win32Error code) {
    *last_error = code;
    return false;
  }
};

}  // namespace

CabinetIterator& SystemCabinetIterator() {
  static MspackCabinetIterator iterator;
  return iterator;
}

}  // namespace vorela
