#include "platform/posix/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/errno_map.h"

namespace vorela::posix {
namespace {

constexpr char kTempInfix[] = ".tmp-";
constexpr size_t kRandomChars = 6;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsAlphabetChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Whether name is one of base's temporaries, by the exact shape the writer
// gives them (a longer name belongs to some other file).
bool IsTemporaryOf(std::string_view name, const std::string& base) {
  const std::string prefix = "." + base + kTempInfix;
  if (name.size() != prefix.size() + kRandomChars || name.substr(0, prefix.size()) != prefix) {
    return false;
  }
  for (char c : name.substr(prefix.size())) {
    if (!IsAlphabetChar(c)) return false;
  }
  return true;
}

std::string RandomSuffix() {
  unsigned char bytes[kRandomChars];
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // Without the kernel's randomness the exclusive create still keeps names
    // apart; this only makes clashes likelier.
    static unsigned counter = 0;
    unsigned seed = static_cast<unsigned>(getpid()) * 2654435761u + counter++;
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(seed >>= 3);
  }
  std::string out;
  for (unsigned char b : bytes) out.push_back(kAlphabet[b % (sizeof kAlphabet - 1)]);
  return out;
}

Win32Error WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FromErrno(errno);
    }
    done += static_cast<size_t>(n);
  }
  return kErrorSuccess;
}

// Creates and locks a fresh temporary for folder/base; -1 with *error set on
// failure.
int CreateTemporary(const std::string& folder, const std::string& base, mode_t mode,
                    std::string* temp, Win32Error* error) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp = folder + "/." + base + kTempInfix + RandomSuffix();
    int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      *error = FromErrno(errno);
      return -1;
    }
    // Another save's clean-up may have found the file before the lock was
    // taken and be removing it: then start again under a new name.
    struct stat st;
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) == 0 || errno == ENOLCK;
    if (locked && fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
    close(fd);
  }
  *error = kErrorCannotMake;
  return -1;
}

// Makes the folder's entries durable (a rename or link in it).
void SyncFolder(const std::string& folder) {
  int dir_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    fsync(dir_fd);
    close(dir_fd);
  }
}

}  // namespace

std::string NativeParent(const std::string& native) {
  size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return native.substr(0, slash);
}

std::string NativeBaseName(const std::string& native) {
  size_t end = native.size();
  while (end > 1 && native[end - 1] == '/') --end;
  size_t slash = native.rfind('/', end - 1);
  size_t start = slash == std::string::npos ? 0 : slash + 1;
  return native.substr(start, end - start);
}

int RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
  int dir_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd < 0) return 0;
  DIR* dir = fdopendir(dir_fd);
  if (!dir) {
    close(dir_fd);
    return 0;
  }
  std::vector<std::string> candidates;
  while (dirent* entry = readdir(dir)) {
    if (IsTemporaryOf(entry->d_name, base)) candidates.emplace_back(entry->d_name);
  }
  int removed = 0;
  for (const std::string& name : candidates) {
    int fd = openat(dir_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held, now;
    // Held by a live save, or cannot tell: keep it.
    if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(dir_fd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        now.st_dev == held.st_dev && now.st_ino == held.st_ino &&
        unlinkat(dir_fd, name.c_str(), 0) == 0) {
      ++removed;
    }
    close(fd);
  }
  closedir(dir);
  return removed;
}

AtomicReplacement::AtomicReplacement(const std::string& native, bool owner_only)
    : native_(native), folder_(NativeParent(native)) {
  const std::string base = NativeBaseName(native);
  RemoveStaleTemporaries(folder_, base);
  // The mode is given at creation, so the kernel applies the umask; an
  // existing file's own bits are put back afterwards.
  create_mode_ = owner_only ? 0600 : 0666;
  struct stat st;
  if (lstat(native.c_str(), &st) == 0) {
    replaces_ = true;
    if (!owner_only && S_ISREG(st.st_mode)) {
      keep_existing_ = true;
      create_mode_ = st.st_mode & 0666 & ~S_IWOTH;
    }
  }
  fd_ = CreateTemporary(folder_, base, create_mode_, &temp_, &error_);
}

AtomicReplacement::~AtomicReplacement() {
  if (fd_ < 0) return;
  unlink(temp_.c_str());
  close(fd_);
}

Win32Error AtomicReplacement::Write(std::string_view bytes) {
  if (error_ == kErrorSuccess) error_ = WriteAll(fd_, bytes);
  return error_;
}

Win32Error AtomicReplacement::Finish(bool flush) {
  if (flush && fsync(fd_) != 0) return FromErrno(errno);
  struct stat made;
  mode_t wanted = create_mode_;
  if (!keep_existing_ && fstat(fd_, &made) == 0) wanted = made.st_mode & 0666 & ~S_IWOTH;
  if (fchmod(fd_, wanted) != 0) return FromErrno(errno);
  return kErrorSuccess;
}

Win32Error AtomicReplacement::Commit(bool flush_new_file) {
  if (fd_ < 0 || error_ != kErrorSuccess) return error_;
  const bool flush = replaces_ || flush_new_file;
  Win32Error result = Finish(flush);
  if (result == kErrorSuccess && rename(temp_.c_str(), native_.c_str()) != 0) {
    result = FromErrno(errno);
  }
  if (result != kErrorSuccess) unlink(temp_.c_str());
  // Closing lets go of the lock: only now, after the rename. Flushed data
  // was saved before it, so a late close error changes nothing that was
  // saved; an unflushed new file reports it.
  const int closed = close(fd_);
  fd_ = -1;
  if (result == kErrorSuccess && !flush && closed != 0) result = FromErrno(errno);
  error_ = result;
  if (result != kErrorSuccess || !flush) return result;
  SyncFolder(folder_);
  return kErrorSuccess;
}

Win32Error AtomicReplacement::CommitIfAbsent() {
  if (fd_ < 0 || error_ != kErrorSuccess) return error_;
  Win32Error result = Finish(/*flush=*/true);
  bool placed = false;
  if (result == kErrorSuccess) {
    if (renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, native_.c_str(), RENAME_NOREPLACE) == 0) {
      placed = true;
    } else if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
      // No such rename here: a second name for the temporary is made only
      // where there is none yet, then the temporary's own name goes.
      if (link(temp_.c_str(), native_.c_str()) == 0) {
        placed = true;
        unlink(temp_.c_str());
      } else {
        result = errno == EEXIST                                              ? kErrorAlreadyExists
                 : (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS) ? kErrorNotSupported
                                                                              : FromErrno(errno);
      }
    } else {
      result = FromErrno(errno);
    }
  }
  if (!placed) unlink(temp_.c_str());
  // The lock goes with the close, after the temporary's name is gone.
  close(fd_);
  fd_ = -1;
  error_ = result;
  if (result != kErrorSuccess) return result;
  SyncFolder(folder_);
  return kErrorSuccess;
}

Win32Error ReplaceFileAtomically(const std::string& native, std::string_view bytes,
                                 bool owner_only) {
  AtomicReplacement replacement(native, owner_only);
  replacement.Write(bytes);
  return replacement.Commit(/*flush_new_file=*/true);
}

}  // namespace vorela::posix
