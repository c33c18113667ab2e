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

// Deletes the stale temporaries of target; returns how many went.
int RemoveStaleTemporaries(const std::wstring& target);

}  // namespace vorela::win32
