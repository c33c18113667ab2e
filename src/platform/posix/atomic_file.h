// Whole-file replacement on POSIX: the bytes go to a temporary file beside the
// target, are flushed, and that file is renamed over the target.
//
// Temporaries are named ".<name>.tmp-XXXXXX" (six random letters or digits).
// The writer holds an exclusive flock on its temporary from the moment it
// exists until it has been renamed, so a temporary nobody holds belongs to a
// save that ended before it finished (killed, crashed, power lost). Each save
// first removes such stale temporaries of its own target. What is guaranteed:
// a live save's temporary is never removed, on any file system where flock
// works between the processes involved; where flock is refused (ENOLCK on some
// network file systems), temporaries are kept rather than guessed about. Not
// guaranteed: a temporary whose mode denies its owner reading cannot be
// checked and is kept; a file of the user's that happens to carry such a name
// and is not held is removed.
//
// Modes: a file that exists keeps its permission bits (never world-writable,
// never executable); a new file, and a file that was a link (the link is
// replaced, nothing it points to is written), gets the process's usual mode,
// 0666 less the umask, never world-writable. An owner-only file is 0600 less
// the umask whatever it was before.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela::posix {

// CommitIfAbsent's answer where the file system cannot place a file without
// replacing what is there (ERROR_NOT_SUPPORTED).
inline constexpr Win32Error kErrorNotSupported = 50;

// The folder part of a native path ("." for a bare name, "/" for the root).
std::string NativeParent(const std::string& native);

// The last component of a native path, trailing slashes ignored.
std::string NativeBaseName(const std::string& native);

// Replaces the file at native (its parent must exist) with bytes. On failure
// the old file is as it was and this save's temporary is gone.
Win32Error ReplaceFileAtomically(const std::string& native, std::string_view bytes,
                                 bool owner_only);

// A replacement written in pieces: the temporary is made (and this target's
// stale ones removed) on construction, and renamed over the target by Commit.
// Destroyed uncommitted, it removes its temporary. The first failure sticks.
class AtomicReplacement {
 public:
  AtomicReplacement(const std::string& native, bool owner_only);
  ~AtomicReplacement();
  AtomicReplacement(const AtomicReplacement&) = delete;
  AtomicReplacement& operator=(const AtomicReplacement&) = delete;

  // kErrorSuccess while every step so far has succeeded.
  Win32Error error() const { return error_; }
  Win32Error Write(std::string_view bytes);
  // An existing target is always flushed before the rename; a new one only
  // with flush_new_file.
  Win32Error Commit(bool flush_new_file);
  // Moves the temporary into place only while nothing is at the target,
  // flushed and durably: kErrorAlreadyExists when something is there, and
  // kErrorNotSupported when the file system cannot refuse to replace it. The
  // temporary is gone unless it became the target.
  Win32Error CommitIfAbsent();

 private:
  // Flushes (when asked) and gives the temporary its final mode.
  Win32Error Finish(bool flush);

  std::string native_;
  std::string folder_;
  std::string temp_;
  bool replaces_ = false;
  bool keep_existing_ = false;
  mode_t create_mode_ = 0666;
  int fd_ = -1;
  Win32Error error_ = kErrorSuccess;
};

// Removes the stale temporaries of folder/base; returns how many went.
int RemoveStaleTemporaries(const std::string& folder, const std::string& base);

}  // namespace vorela::posix
