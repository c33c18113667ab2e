#include "platform/win32/ok_button_win32.h"

#include <string>

namespace vorela::win32 {

HWND CreateOkButton(HWND parent, int id, std::wstring_view caption, int x,
                    int y, int width, int height) {
  const std::wstring text(caption);
  return CreateWindowExW(0, L"BUTTON", text.c_str(),
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                         x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace vorela::win32
