// Error prefixing shared by the XML reader's classes: a failure that leaves one
// of their methods keeps its number and source and gains the method's label in
// front of its description, once.
#pragma once

#include <string_view>

#include "common/error.h"

namespace vorela {

// Call from inside a catch block only. Rethrows the exception being handled as
// a vorela::Error whose description starts with prefix. Errors of other types
// become vorela::Error with source `source` (7 for lack of memory, 5
// otherwise).
[[noreturn]] void RethrowWithPrefix(std::string_view source,
                                    std::string_view prefix);

// The current exception as a vorela::Error, unchanged when it is one already.
Error CurrentError(std::string_view source);

}  // namespace vorela
