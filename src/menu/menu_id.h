// Which menu IDs the tool will act on. An ID becomes part of a file name (the
// script page resource folder + "\htm\" + ID + ".htm" that a context-menu
// entry runs), so an ID that could name anything else is refused.
#pragma once

#include <string_view>

namespace vorela {

// False for an empty ID and for one that holds a path separator, a drive or
// stream colon, "..", a character no file name may hold, or that is a DOS
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, any case, with or without
// an extension).
bool IsUsableMenuId(std::string_view id);

}  // namespace vorela
