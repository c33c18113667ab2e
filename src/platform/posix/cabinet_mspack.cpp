// The setup API's cabinet walk, rebuilt over libmspack. It keeps the Windows
// contract of platform/cabinet.h: the same notifications in the same order, the
// callback's answers honoured as Windows documents them, and the same error
// codes. Targets are written beside themselves under a temporary name and then
// renamed, so an existing file is replaced whole or not at all.
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
#include "platform/posix/machine.h"
#include "platform/text.h"

namespace vorela {
namespace {

Win32Error FromErrno(int e) {
  switch (e) {
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY:
      return kErrorAccessDenied;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case EROFS:
      return kErrorWriteProtect;
    case ENAMETOOLONG:
      return kErrorFilenameExcedRange;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    default:
      return kErrorAccessDenied;
  }
}

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

// The file keeps its stored stamp as its modification time (local time, as the
// stamp carries no zone).
void SetStamp(const std::string& native, const mscabd_file& f) {
  std::tm tm{};
  tm.tm_year = f.date_y - 1900;
  tm.tm_mon = f.date_m - 1;
  tm.tm_mday = f.date_d;
  tm.tm_hour = f.time_h;
  tm.tm_min = f.time_m;
  tm.tm_sec = f.time_s;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return;
  timespec times[2] = {{t, 0}, {t, 0}};
  utimensat(AT_FDCWD, native.c_str(), times, 0);
}

// libmspack's I/O over stdio, like its default one but silent: a backend never
// prints (the default writes its warnings about odd headers to stderr).
struct QuietFile {
  std::FILE* f;
};

mspack_file* QuietOpen(mspack_system*, const char* name, int mode) {
  const char* how = mode == MSPACK_SYS_OPEN_READ     ? "rb"
                    : mode == MSPACK_SYS_OPEN_WRITE  ? "wb"
                    : mode == MSPACK_SYS_OPEN_UPDATE ? "r+b"
                                                     : "ab";
  std::FILE* f = std::fopen(name, how);
  if (!f) return nullptr;
  return reinterpret_cast<mspack_file*>(new QuietFile{f});
}
void QuietClose(mspack_file* file) {
  auto* q = reinterpret_cast<QuietFile*>(file);
  std::fclose(q->f);
  delete q;
}
int QuietRead(mspack_file* file, void* buffer, int bytes) {
  auto* q = reinterpret_cast<QuietFile*>(file);
  if (bytes < 0) return -1;
  const std::size_t n =
      std::fread(buffer, 1, static_cast<std::size_t>(bytes), q->f);
  return std::ferror(q->f) ? -1 : static_cast<int>(n);
}
int QuietWrite(mspack_file* file, void* buffer, int bytes) {
  auto* q = reinterpret_cast<QuietFile*>(file);
  if (bytes < 0) return -1;
  const std::size_t n =
      std::fwrite(buffer, 1, static_cast<std::size_t>(bytes), q->f);
  return n == static_cast<std::size_t>(bytes) ? bytes : -1;
}
int QuietSeek(mspack_file* file, off_t offset, int mode) {
  auto* q = reinterpret_cast<QuietFile*>(file);
  const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET
                     : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR
                                                   : SEEK_END;
  return fseeko(q->f, offset, whence) == 0 ? 0 : -1;
}
off_t QuietTell(mspack_file* file) {
  return ftello(reinterpret_cast<QuietFile*>(file)->f);
}
void QuietMessage(mspack_file*, const char*, ...) {}
void* QuietAlloc(mspack_system*, std::size_t bytes) {
  return std::malloc(bytes);
}
void QuietFree(void* p) { std::free(p); }
void QuietCopy(void* from, void* to, std::size_t bytes) {
  std::memmove(to, from, bytes);
}

mspack_system kQuietSystem = {QuietOpen, QuietClose, QuietRead,    QuietWrite,
                              QuietSeek, QuietTell,  QuietMessage, QuietAlloc,
                              QuietFree, QuietCopy,  nullptr};

class Decompressor {
 public:
  Decompressor() : cabd_(mspack_create_cab_decompressor(&kQuietSystem)) {
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

 private:
  mscab_decompressor* cabd_;
  mscabd_cabinet* cab_ = nullptr;
};

struct Outcome {
  bool ok = true;
  Win32Error error = kErrorSuccess;
  bool data_error = false;
};

// Writes one file to target (ANSI bytes) through a temporary file beside it.
Outcome WriteTarget(mscab_decompressor* cabd, mscabd_file* file,
                    std::string_view target_ansi) {
  if (target_ansi.empty()) return {false, kErrorPathNotFound};
  const std::string native =
      posix::NativePath(SystemTextCodec().FromAnsi(target_ansi));
  if (native.empty() || native.back() == '/')
    return {false, kErrorPathNotFound};
  const std::size_t slash = native.rfind('/');
  const std::string dir =
      slash == std::string::npos ? "." : native.substr(0, slash);
  struct stat st;
  if (stat(dir.c_str(), &st) != 0) return {false, kErrorPathNotFound};
  if (!S_ISDIR(st.st_mode)) return {false, kErrorPathNotFound};
  if (stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return {false, kErrorAccessDenied};

  std::string temp = dir + "/.vorela-cab-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return {false, FromErrno(errno)};
  close(fd);
  const int rc = cabd->extract(cabd, file, temp.c_str());
  if (rc != MSPACK_ERR_OK) {
    unlink(temp.c_str());
    if (rc == MSPACK_ERR_WRITE || rc == MSPACK_ERR_OPEN)
      return {false, kErrorDiskFull};
    return {false, FromMspack(rc), true};
  }
  // mkstemp creates the file private to its owner; give it the usual mode.
  const mode_t mask = umask(0);
  umask(mask);
  chmod(temp.c_str(), 0666 & ~mask);
  SetStamp(temp, *file);
  if (rename(temp.c_str(), native.c_str()) != 0) {
    const int e = errno;
    unlink(temp.c_str());
    return {false, FromErrno(e)};
  }
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
                            : WriteTarget(cabd.get(), file, target);
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
