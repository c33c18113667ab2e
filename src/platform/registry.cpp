// Backend-independent parts of the registry seam.
#include "platform/registry.h"

namespace vorela {

bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

}  // namespace vorela
