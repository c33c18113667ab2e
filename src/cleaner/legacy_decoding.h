// Decoders for the forms in which older versions stored the user's secrets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace vorela {

// The key's sum K: over its characters, the ANSI code + 4, as a 16-bit signed
// number (keys long enough to overflow it are not supported).
std::int16_t LegacyKeySum(std::string_view key, const TextCodec& codec);

// The dotted-number title form ".n.n.n#check": each number minus K is the ANSI
// code of one character; text after the last dot is ignored. A code outside
// 1..255 gives the literal "Failed". A number that is not decimal raises
// Error 13.
std::string DecodeLegacyTitle(std::string_view text, std::string_view key,
                              const TextCodec& codec);

// Percent-decoding to bytes: "%hh" is a byte, "%h" followed by a non-digit is
// the byte h, any other "%" is itself, "+" is a space, a character that takes
// two bytes in the ANSI code page is dropped.
std::string UrlDecodeBytes(std::string_view text, const TextCodec& codec);

}  // namespace vorela
