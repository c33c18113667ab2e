// The file seam over POSIX calls, on the machine's Windows-form paths.
//
// Windows attributes are mapped the way Wine maps them: a name starting with "."
// is hidden, a file without the owner's write permission is read-only. Those
// checks are made on the mode bits themselves, so the results are the same when
// the process runs as root (which ignores permissions).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "base/ascii.h"
#include "platform/files.h"
#include "platform/posix/atomic_file.h"
#include "platform/posix/errno_map.h"
#include "platform/posix/file_streams.h"
#include "platform/posix/machine.h"
#include "platform/posix/plain_copy.h"

namespace vorela {
namespace {

using posix::FromErrno;
using posix::HasTrailingSeparator;
using posix::NativeBaseName;
using posix::NativeParent;
using posix::NativePath;

bool IsReadOnlyMode(mode_t mode) { return (mode & S_IWUSR) == 0; }

// A missing entry whose parent folder is missing too is "path not found".
Win32Error MissingCode(const std::string& native) {
  struct stat st;
  const std::string parent = NativeParent(native);
  if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kErrorPathNotFound;
  return kErrorFileNotFound;
}

Win32Error StatError(const std::string& native, int e) {
  if (e == ENOENT) return MissingCode(native);
  return FromErrno(e);
}

bool MatchesPattern(const char* pattern, const char* name) {
  // "*" and "?" with ASCII case folded, as a directory search matches them.
  auto fold = AsciiToLower;
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && fold(*pattern) == fold(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  // "*.*" also matches names without a dot, as on Windows.
  if (std::strcmp(pattern, ".*") == 0 || std::strcmp(pattern, ".") == 0) return true;
  return *pattern == '\0';
}

// Removes everything inside the open folder dir_fd; never follows a link.
Win32Error ClearFolder(int dir_fd, bool force) {
  DIR* dir = fdopendir(dir_fd);
  if (!dir) {
    int e = errno;
    close(dir_fd);
    return FromErrno(e);
  }
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  Win32Error result = kErrorSuccess;
  const int fd = dirfd(dir);
  struct stat self;
  if (fstat(fd, &self) == 0 && IsReadOnlyMode(self.st_mode)) {
    if (!force) {
      closedir(dir);
      return kErrorAccessDenied;
    }
    fchmod(fd, self.st_mode | S_IWUSR);
  }
  for (const std::string& name : names) {
    struct stat st;
    if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      int child = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) {
        result = FromErrno(errno);
        break;
      }
      result = ClearFolder(child, force);
      if (result != kErrorSuccess) break;
      if (IsReadOnlyMode(st.st_mode) && !force) {
        result = kErrorAccessDenied;
        break;
      }
      if (unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0) {
        result = FromErrno(errno);
        break;
      }
    } else {
      // Files and links alike: unlinking a link removes the link only.
      if (!S_ISLNK(st.st_mode) && IsReadOnlyMode(st.st_mode) && !force) {
        result = kErrorAccessDenied;
        break;
      }
      if (unlinkat(fd, name.c_str(), 0) != 0) {
        result = FromErrno(errno);
        break;
      }
    }
  }
  closedir(dir);
  return result;
}

class PosixFileSystem final : public FileSystem {
 public:
  Win32Error GetLength(std::string_view path, std::uint64_t* length) override {
    if (path.empty()) return kErrorPathNotFound;
    if (HasTrailingSeparator(path)) return kErrorFileNotFound;
    const std::string native = NativePath(path);
    struct stat st;
    if (stat(native.c_str(), &st) != 0) return StatError(native, errno);
    if (length) *length = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    return kErrorSuccess;
  }

  Win32Error FindEntry(std::string_view path, FileEntry* entry) override {
    if (path.empty() || HasTrailingSeparator(path)) return kErrorFileNotFound;
    if (path.find_first_of("*?") != std::string_view::npos) return kErrorInvalidName;
    const std::string native = NativePath(path);
    struct stat st;
    if (lstat(native.c_str(), &st) != 0) return StatError(native, errno);
    if (entry) {
      FileEntry e;
      e.is_link = S_ISLNK(st.st_mode);
      struct stat target;
      if (e.is_link && stat(native.c_str(), &target) == 0) st = target;
      e.is_directory = S_ISDIR(st.st_mode);
      e.is_hidden = NativeBaseName(native).rfind('.', 0) == 0;
      e.is_read_only = IsReadOnlyMode(st.st_mode);
      e.size = e.is_directory ? 0 : static_cast<std::uint64_t>(st.st_size);
      *entry = e;
    }
    return kErrorSuccess;
  }

  Win32Error ReadAll(std::string_view path, std::string* bytes) override {
    if (HasTrailingSeparator(path)) return kErrorFileNotFound;
    const std::string native = NativePath(path);
    int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return StatError(native, errno);
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      close(fd);
      return kErrorAccessDenied;
    }
    std::string out;
    out.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    while (true) {
      ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        int e = errno;
        close(fd);
        return FromErrno(e);
      }
      if (n == 0) break;
      out.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    if (bytes) *bytes = std::move(out);
    return kErrorSuccess;
  }

  Win32Error WriteAtomic(std::string_view path, std::string_view bytes) override {
    return Replace(path, bytes, false);
  }

  Win32Error OpenForReading(std::string_view path, std::unique_ptr<FileReader>* reader) override {
    if (HasTrailingSeparator(path)) return kErrorFileNotFound;
    const std::string native = NativePath(path);
    Win32Error e = posix::OpenFileReader(native, reader);
    if (e == kErrorFileNotFound) return MissingCode(native);
    return e;
  }

  Win32Error BeginReplace(std::string_view path, std::unique_ptr<FileWriter>* writer) override {
    if (Win32Error e = CheckReplaceable(path); e != kErrorSuccess) return e;
    return posix::BeginFileReplacement(NativePath(path), writer);
  }

  Win32Error WriteAtomicOwnerOnly(std::string_view path, std::string_view bytes) override {
    return Replace(path, bytes, true);
  }

  Win32Error CopyPlainFile(std::string_view from, std::string_view to) override {
    if (HasTrailingSeparator(from)) return kErrorFileNotFound;
    if (HasTrailingSeparator(to)) return kErrorPathNotFound;
    return posix::CopyPlainFile(NativePath(from), NativePath(to));
  }

  Win32Error Delete(std::string_view path) override {
    if (HasTrailingSeparator(path)) return kErrorFileNotFound;
    const std::string native = NativePath(path);
    struct stat st;
    if (lstat(native.c_str(), &st) != 0) return StatError(native, errno);
    if (S_ISDIR(st.st_mode)) return kErrorAccessDenied;
    if (!S_ISLNK(st.st_mode) && IsReadOnlyMode(st.st_mode)) return kErrorAccessDenied;
    if (unlink(native.c_str()) != 0) return FromErrno(errno);
    return kErrorSuccess;
  }

  Win32Error Rename(std::string_view from, std::string_view to) override {
    const std::string source = NativePath(from);
    const std::string target = NativePath(to);
    struct stat st;
    if (lstat(source.c_str(), &st) != 0) return StatError(source, errno);
    if (lstat(target.c_str(), &st) == 0 &&
        (S_ISDIR(st.st_mode) || (!S_ISLNK(st.st_mode) && IsReadOnlyMode(st.st_mode)))) {
      return kErrorAccessDenied;
    }
    if (rename(source.c_str(), target.c_str()) != 0) return StatError(target, errno);
    return kErrorSuccess;
  }

  Win32Error MakeDirectory(std::string_view path) override {
    if (path.empty()) return kErrorPathNotFound;
    const std::string native = NativePath(path);
    if (mkdir(native.c_str(), 0777) == 0) return kErrorSuccess;
    const int e = errno;
    if (e == EEXIST) return kErrorAlreadyExists;
    if (e == ENOENT || e == ENOTDIR) return kErrorPathNotFound;
    return FromErrno(e);
  }

  Win32Error RemoveEmptyDirectory(std::string_view path) override {
    const std::string native = NativePath(path);
    struct stat st;
    if (lstat(native.c_str(), &st) != 0) return StatError(native, errno);
    if (!S_ISDIR(st.st_mode)) return kErrorDirectory;
    if (rmdir(native.c_str()) != 0) return FromErrno(errno);
    return kErrorSuccess;
  }

  Win32Error ListFiles(std::string_view folder, std::string_view pattern,
                       std::vector<std::string>* names) override {
    std::string native = NativePath(folder);
    DIR* dir = opendir(native.c_str());
    if (!dir) return errno == ENOENT || errno == ENOTDIR ? kErrorPathNotFound : FromErrno(errno);
    const std::string pat(pattern.empty() ? "*" : pattern);
    std::vector<std::string> found;
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;  // hidden, and "." / ".."
      struct stat st;
      if (fstatat(dirfd(dir), entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
      if (MatchesPattern(pat.c_str(), entry->d_name)) found.emplace_back(entry->d_name);
    }
    closedir(dir);
    SortAsListed(&found);
    if (names) *names = std::move(found);
    return kErrorSuccess;
  }

  Win32Error DeleteTree(std::string_view path, bool force) override {
    std::string native = NativePath(path);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    struct stat st;
    if (lstat(native.c_str(), &st) != 0) {
      return errno == ENOENT ? kErrorPathNotFound : FromErrno(errno);
    }
    if (S_ISLNK(st.st_mode)) {
      return unlink(native.c_str()) == 0 ? kErrorSuccess : FromErrno(errno);
    }
    if (!S_ISDIR(st.st_mode)) return kErrorPathNotFound;
    int fd = open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return FromErrno(errno);
    if (Win32Error e = ClearFolder(fd, force); e != kErrorSuccess) return e;
    if (IsReadOnlyMode(st.st_mode) && !force) return kErrorAccessDenied;
    if (rmdir(native.c_str()) != 0) return FromErrno(errno);
    return kErrorSuccess;
  }

  Win32Error SetReadOnly(std::string_view path, bool read_only) override {
    const std::string native = NativePath(path);
    struct stat st;
    if (stat(native.c_str(), &st) != 0) return StatError(native, errno);
    mode_t mode = st.st_mode & 07777;
    mode = read_only ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (chmod(native.c_str(), mode) != 0) return FromErrno(errno);
    return kErrorSuccess;
  }

 private:
  Win32Error Replace(std::string_view path, std::string_view bytes, bool owner_only) {
    if (Win32Error e = CheckReplaceable(path); e != kErrorSuccess) return e;
    return posix::ReplaceFileAtomically(NativePath(path), bytes, owner_only);
  }

  Win32Error CheckReplaceable(std::string_view path) {
    if (path.empty() || HasTrailingSeparator(path)) return kErrorPathNotFound;
    const std::string native = NativePath(path);
    struct stat st;
    // A link in the file's place is replaced, not followed; a read-only
    // file is refused as on Windows.
    if (lstat(native.c_str(), &st) == 0 &&
        (S_ISDIR(st.st_mode) || (!S_ISLNK(st.st_mode) && IsReadOnlyMode(st.st_mode)))) {
      return kErrorAccessDenied;
    }
    const std::string parent = NativeParent(native);
    if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kErrorPathNotFound;
    return kErrorSuccess;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace vorela
