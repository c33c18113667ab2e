// The three registry helpers both programs share: read one value as text,
// create a key and write one value, list a key's subkeys. Registry failures
// become "", false or -1; nothing is shown and nothing is raised for them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vorela {

// The value's text up to its first NUL (any type: a REG_DWORD 56 reads as "8"),
// read through a 1024-byte buffer, so a value of more than 1024 bytes reads as
// "". "" too when the key or value is missing. value_name "" is the default.
std::string RegReadString(const Platform& platform, RegKey root,
                          std::string_view sub_key,
                          std::string_view value_name);

// Creates sub_key (and missing parents) and writes value as REG_SZ, or, with
// as_dword, as the REG_DWORD of its decimal number. True when the value was
// written. A value that is not a number with as_dword raises Error 13 (6 when
// it does not fit 32 bits).
bool RegWriteValue(const Platform& platform, RegKey root,
                   std::string_view sub_key, std::string_view value_name,
                   std::string_view value, bool as_dword);

// Fills names from index 0 with the immediate subkeys of sub_key in the
// registry's enumeration order and returns the highest index filled. Returns -1
// when the key cannot be opened or has no subkeys, leaving names as passed.
// The listing stops before a name that does not fit 255 characters.
std::int32_t RegEnumSubKeys(const Platform& platform, RegKey root,
                            std::string_view sub_key,
                            std::vector<std::string>& names);

// The 32-bit number a text stands for as RegWriteValue reads it: blanks around
// it ignored, an optional sign, decimal digits, a fraction rounded half to
// even. Raises Error 13 for a text that is no number, 6 when out of range.
std::int32_t TextToLong(std::string_view text);

}  // namespace vorela
