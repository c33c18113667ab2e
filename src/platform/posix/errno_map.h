// errno to the Win32 code that the same failure gives on Windows.
#pragma once

#include "platform/error_codes.h"

namespace vorela::posix {

Win32Error FromErrno(int error_number);

}  // namespace vorela::posix
