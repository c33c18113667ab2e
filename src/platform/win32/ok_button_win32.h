// The installer window's OK button, behind a seam of its own so that the
// owner-drawn button control can take its place without touching the window.
#pragma once

#include <string_view>

#include "platform/win32/windows_lean.h"

namespace vorela::win32 {

// Creates the button as a child of parent with command id `id`. A click
// reaches the parent as WM_COMMAND(BN_CLICKED, id). Null when it cannot be
// made.
HWND CreateOkButton(HWND parent, int id, std::wstring_view caption, int x,
                    int y, int width, int height);

}  // namespace vorela::win32
