// Skip-on-error: the failure style of the programs' top-level routines and file
// handlers. Each statement runs through SkipOnError; when it fails, the failure
// is dropped (traced in debug builds) and the routine goes on with the next one.
#pragma once

#include <exception>
#include <utility>

#include "common/error.h"

namespace vorela {

void TraceSkippedError(const char* what);

// Runs statement; returns false (and swallows the error) when it throws.
template <class Statement>
bool SkipOnError(Statement&& statement) noexcept {
  try {
    std::forward<Statement>(statement)();
    return true;
  } catch (const std::exception& e) {
    TraceSkippedError(e.what());
  } catch (...) {
    TraceSkippedError("unknown error");
  }
  return false;
}

}  // namespace vorela
