// Whole-file reads and writes for the ciphers' file forms, with the file seam's
// failures turned into the run-time errors that callers have always seen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vorela {

using ByteArray = std::vector<std::uint8_t>;

// True when the file's length can be read (the ciphers' existence test).
bool CipherSourceExists(const Platform& platform, std::string_view path);

// Reads the whole file; throws vorela::Error (53, 70, 75, 76, ...) on failure.
ByteArray ReadCipherFile(const Platform& platform, std::string_view path,
                         const char* source);

// Replaces path atomically with bytes; on failure the old file stays and
// vorela::Error is thrown.
void WriteCipherFile(const Platform& platform, std::string_view path,
                     const ByteArray& bytes, const char* source);

}  // namespace vorela
