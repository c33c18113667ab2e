#include "common/skip_on_error.h"

#include <cstdio>
#include <cstdlib>

namespace vorela {

void TraceSkippedError(const char* what) {
#ifndef NDEBUG
  // Only debug builds say anything, and only when asked: the routines that skip
  // errors are documented to report nothing.
  static const bool enabled = std::getenv("VORELA_TRACE") != nullptr;
  if (enabled) std::fprintf(stderr, "vorela: skipped: %s\n", what);
#else
  (void)what;
#endif
}

}  // namespace vorela
