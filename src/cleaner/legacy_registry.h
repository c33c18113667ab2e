// The cleaner's own registry readers for the legacy settings tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vorela {

// The text read as a whole number; 0 when it is not one (the empty text too).
std::int32_t ToLong(std::string_view text);

// How a read of one legacy value went. A missing key or value is no failure:
// there is simply nothing to migrate. Anything else that stops the read (no
// access, a value that keeps changing under the reader) is, and the migration
// then keeps that value for a later run.
enum class LegacyRead { kRead, kMissing, kFailed };

struct LegacyValue {
  LegacyRead status = LegacyRead::kMissing;
  std::uint32_t type = kRegNone;
  std::string bytes;  // exactly the stored bytes, whatever their number
};

// One value read whole, however large: the buffer is sized to the value.
LegacyValue RegReadWholeValue(const Platform& platform, RegKey root, std::string_view sub_key,
                              std::string_view value_name);

// The text the migration copies for a value. String values (and values of
// other types) give their bytes up to the first NUL, from the ANSI code page;
// a REG_DWORD (or REG_QWORD) gives its number in decimal, signed, as the
// programs' own DWORD writer reads a number from its text. "" when not read.
std::string LegacyValueText(const TextCodec& codec, const LegacyValue& value);

// Exactly the bytes the value holds, however many; empty when the key or
// value cannot be read.
std::string RegReadBinary(const Platform& platform, RegKey root,
                          std::string_view sub_key,
                          std::string_view value_name);

// The number of values of the key minus 1; -1 when the key cannot be opened.
// A value whose name or data does not fit the enumeration's small buffers is
// counted all the same: the caller needs the number of values, not their data.
std::int32_t RegCountValues(const Platform& platform, RegKey root,
                            std::string_view sub_key);

}  // namespace vorela
