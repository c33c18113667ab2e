// The errors that the cabinet object raises.
#pragma once

#include <cstdint>
#include <string>

#include "common/error.h"

namespace vorela {

inline constexpr std::int32_t kCabNameMissingError =
    kObjectError + 1956;  // 0x800407A4
inline constexpr char kCabNameMissingDescription[] =
    "You must set the CabName property before taking any action on the CabFile "
    "object.";

// The description of a platform error code as the cabinet object reports it;
// "Unknown error." for a code it does not know.
const char* CabErrorDescription(std::uint32_t code);

// The error for a failed platform walk: number = code, source "CabFile".
Error CabPlatformError(std::uint32_t code);

}  // namespace vorela
