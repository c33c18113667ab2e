// Helpers that both programs carry.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vorela {

// True when asking the file system for the path's length succeeds; false on any
// error. A folder named without a trailing "\" exists, with one it does not.
// Never raises.
bool FileExists(const Platform& platform, std::string_view path) noexcept;

// The highest index of a list; -1 for a list that has never been sized (empty).
template <class T>
std::int32_t UpperBound(const std::vector<T>& list) {
  return static_cast<std::int32_t>(list.size()) - 1;
}

}  // namespace vorela
