// Key paths and names of the registry store: how a sub-key path splits into
// components, which paths are refused, and the folded form names are looked up
// and ordered by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/error_codes.h"

namespace vorela::posix {

// The longest key name component accepted, in UTF-16 code units (the platform
// accepts 256, one more than it documents).
inline constexpr std::size_t kMaxKeyNameLength = 256;
// The longest sub-key path the A functions take, in UTF-16 code units: they
// convert it into a fixed buffer of MAX_PATH + 1 characters.
inline constexpr std::size_t kMaxKeyPathLength = 260;

// Splits a sub-key path at "\" into its components. Empty components (a
// doubled or trailing "\") are skipped, as the platform does. Refuses a path
// that starts with "\" (161) and a component longer than kMaxKeyNameLength
// (87).
Win32Error SplitKeyPath(std::string_view utf8_path,
                        std::vector<std::string>* components);

// The form a name is matched and ordered by: ASCII letters lower-cased, which
// is the order in which the platform enumerates subkeys ("[" sorts before "a").
std::string FoldName(std::string_view utf8_name);

}  // namespace vorela::posix
