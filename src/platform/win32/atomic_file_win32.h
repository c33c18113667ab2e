// Whole-file replacement over kernel32: the bytes go to a temporary file beside
// the target, are flushed, and that file is renamed over the target.
//
// Temporaries are named "~<name>.<process id>-<number>.tmp". The writer keeps
// its temporary open without sharing from creation until the rename is done
// (the rename goes through the open handle), so nobody else can delete a live
// one; a temporary that can be deleted belongs to a save that ended before it
// finished. Each save first deletes such stale temporaries of its own target.
// An owner-only file gets an access list of its own (protected from the
// folder's) that grants the current user alone.
#pragma once

#include <string>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela::win32 {

// Replaces target (a full path whose folder exists) with bytes. On failure
// the old file is as it was and this save's temporary is gone.
Win32Error ReplaceFileAtomically(const std::wstring& target, std::string_view bytes,
                                 bool owner_only);

// A replacement written in pieces: the temporary is made (and the target's
// stale ones deleted) on construction, and renamed over the target by Commit.
// Destroyed uncommitted, it deletes its temporary. The first failure sticks.
class AtomicReplacement {
 public:
  AtomicReplacement(const std::wstring& target, bool owner_only);
  ~AtomicReplacement();
  AtomicReplacement(const AtomicReplacement&) = delete;
  AtomicReplacement& operator=(const AtomicReplacement&) = delete;

  // kErrorSuccess while every step so far has succeeded.
  Win32Error error() const { return error_; }
  Win32Error Write(std::string_view bytes);
  // An existing target is always flushed before the rename; a new one only
  // with flush_new_file.
  Win32Error Commit(bool flush_new_file);

 private:
  std::wstring target_;
  std::wstring temp_;
  void* file_ = nullptr;  // the temporary's handle
  bool replaces_ = false;
  Win32Error error_ = kErrorSuccess;
};

// Deletes the stale temporaries of target; returns how many went.
int RemoveStaleTemporaries(const std::wstring& target);

}  // namespace vorela::win32
