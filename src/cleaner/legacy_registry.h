// The cleaner's own registry readers for the legacy settings tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vorela {

// The text read as a whole number; 0 when it is not one (the empty text too).
std::int32_t ToLong(std::string_view text);

// Exactly the bytes the value holds, read through a 1024-byte buffer; empty
// when the key or value cannot be read or the value is larger than 1024 bytes.
std::string RegReadBinary(const Platform& platform, RegKey root,
                          std::string_view sub_key,
                          std::string_view value_name);

// The number of values of the key minus 1; -1 when the key cannot be opened.
// A value whose name or data does not fit the enumeration's small buffers is
// counted all the same: the caller needs the number of values, not their data.
std::int32_t RegCountValues(const Platform& platform, RegKey root,
                            std::string_view sub_key);

}  // namespace vorela
