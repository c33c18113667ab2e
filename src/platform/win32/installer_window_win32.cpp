// The installer window as a real top-level window: four labels with read-only
// text boxes, the icon picture, the status caption and the note in their
// colours, and the OK button, which closes the window.
//
// Test hook: when the environment variable VORELA_TEST_PRESS_OK is set to 1,
// the window presses its own OK button (Enter, pressed and released) once it
// is shown, so end-to-end runs under a display need no one to dismiss it.
// Nothing else reads it.
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/installer_window.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

constexpr wchar_t kClassName[] = L"vorelaInstallerWindow";
constexpr wchar_t kOkFormResource[] = L"VORELA_OK_FORM";
constexpr int kMessageId = 100;
constexpr int kNoteId = 101;

// Layout in pixels at 96 dpi; the window is not resizable.
constexpr int kMargin = 12;
constexpr int kLabelWidth = 90;
constexpr int kRowHeight = 24;
constexpr int kTextWidth = 260;
constexpr int kHintHeight = 64;
constexpr int kIconSize = 32;

struct WindowState {
  const InstallerWindowContent* content = nullptr;
  HWND message = nullptr;
  HWND note = nullptr;
  std::unique_ptr<InstallerOkButton> ok;
  HICON icon = nullptr;
  HICON decoration[3] = {};
  HFONT font = nullptr;
  HBRUSH background = nullptr;
};

COLORREF ToColorRef(std::uint32_t color) {
  return RGB(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam,
                            LPARAM lparam) {
  auto* state =
      reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_CTLCOLORSTATIC:
      if (state) {
        HWND control = reinterpret_cast<HWND>(lparam);
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        if (control == state->message) {
          SetTextColor(dc, ToColorRef(state->content->message_color));
        } else if (control == state->note) {
          SetTextColor(dc, ToColorRef(state->content->note_color));
        }
        return reinterpret_cast<LRESULT>(state->background);
      }
      break;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

bool RegisterWindowClass() {
  static bool registered = [] {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    return RegisterClassExW(&window_class) != 0;
  }();
  return registered;
}

HWND AddControl(HWND parent, const wchar_t* kind, const std::string& text,
                DWORD style, int x, int y, int width, int height, int id,
                HFONT font) {
  HWND control = CreateWindowExW(
      kind == std::wstring_view(L"EDIT") ? WS_EX_CLIENTEDGE : 0, kind,
      win32::Widen(text).c_str(), WS_CHILD | style, x, y, width, height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleW(nullptr), nullptr);
  if (control && font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  return control;
}

void BuildControls(HWND window, WindowState& state) {
  const InstallerWindowContent& content = *state.content;
  int y = kMargin;
  const int text_x = kMargin + kLabelWidth;
  for (int i = 0; i < 4; ++i) {
    const bool hint = i == 3;
    const int height = hint ? kHintHeight : kRowHeight - 4;
    AddControl(window, L"STATIC", content.labels[i], WS_VISIBLE, kMargin, y + 2,
               kLabelWidth - 4, kRowHeight - 4, -1, state.font);
    std::string text = content.texts[i];
    AddControl(window, L"EDIT", text,
               WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL |
                   (hint ? ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL : 0),
               text_x, y, kTextWidth, height, -1, state.font);
    y += height + 4;
  }
  HWND image = AddControl(window, L"STATIC", "", WS_VISIBLE | SS_ICON,
                          text_x + kTextWidth + kMargin, kMargin, kIconSize,
                          kIconSize, -1, nullptr);
  if (image && !content.icon_path.empty()) {
    state.icon = static_cast<HICON>(
        LoadImageW(nullptr, win32::Widen(content.icon_path).c_str(), IMAGE_ICON,
                   kIconSize, kIconSize, LR_LOADFROMFILE));
    if (state.icon) {
      SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(state.icon), 0);
    }
  }
  // Decoration: Image1 under the menu's icon, Picture1 and Picture2 at the
  // left of the OK button's row (resources of the program).
  const wchar_t* const kDecoration[3] = {L"VORELA_IMAGE1", L"VORELA_PICTURE1",
                                         L"VORELA_PICTURE2"};
  for (int i = 0; i < 3; ++i) {
    state.decoration[i] = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), kDecoration[i], IMAGE_ICON,
                   kIconSize, kIconSize, 0));
  }
  const int full_width = kLabelWidth + kTextWidth + kMargin + kIconSize;
  y += 4;
  state.message =
      AddControl(window, L"STATIC", content.message, WS_VISIBLE, kMargin, y,
                 full_width, kRowHeight - 4, kMessageId, state.font);
  y += kRowHeight;
  state.note = AddControl(window, L"STATIC", content.note,
                          content.note_visible ? WS_VISIBLE : 0, kMargin, y,
                          full_width, 2 * kRowHeight, kNoteId, state.font);
  y += 2 * kRowHeight + 4;
  const int decoration_x[3] = {text_x + kTextWidth + kMargin, kMargin,
                               kMargin + kIconSize + 8};
  const int decoration_y[3] = {kMargin + kIconSize + 8, y - 3, y - 3};
  for (int i = 0; i < 3; ++i) {
    HWND picture = AddControl(window, L"STATIC", "", WS_VISIBLE | SS_ICON,
                              decoration_x[i], decoration_y[i], kIconSize,
                              kIconSize, -1, nullptr);
    if (picture && state.decoration[i]) {
      SendMessageW(picture, STM_SETICON,
                   reinterpret_cast<WPARAM>(state.decoration[i]), 0);
    }
  }
  state.ok = MakeInstallerOkButton();
  // The click only asks the window to close: the button's window must
  // outlive the message that reports the click.
  if (state.ok &&
      !state.ok->Create(reinterpret_cast<std::uintptr_t>(window),
                        kMargin + full_width - 88, y, 88, kRowHeight + 2,
                        content.ok_caption,
                        [window] { PostMessageW(window, WM_CLOSE, 0, 0); })) {
    state.ok.reset();
  }
}

HWND OkHandle(const WindowState& state) {
  return state.ok ? reinterpret_cast<HWND>(state.ok->Handle()) : nullptr;
}

class Win32InstallerWindowHost : public InstallerWindowHost {
 public:
  bool CanLoadPicture(std::string_view path) override {
    std::string bytes;
    return SystemFileSystem().ReadAll(path, &bytes) == kErrorSuccess &&
           LooksLikeIconFile(bytes);
  }

  void Run(const InstallerWindowContent& content) override {
    if (!RegisterWindowClass()) return;
    WindowState state;
    state.content = &content;
    state.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    state.background = GetSysColorBrush(COLOR_BTNFACE);

    const int client_width =
        2 * kMargin + kLabelWidth + kTextWidth + kMargin + kIconSize;
    const int client_height = 2 * kMargin + 3 * kRowHeight + kHintHeight + 12 +
                              3 * kRowHeight + kRowHeight + 2;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, client_width, client_height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window =
        CreateWindowExW(0, kClassName, win32::Widen(content.title).c_str(),
                        style, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top,
                        nullptr, nullptr, GetModuleHandleW(nullptr), &state);
    if (!window) return;  // no display: the import has been done all the same
    BuildControls(window, state);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    HWND ok = OkHandle(state);
    if (ok) SetFocus(ok);

    const char* press = std::getenv("VORELA_TEST_PRESS_OK");
    if (press && std::string_view(press) == "1") {
      if (ok) {
        PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(ok, WM_KEYUP, VK_RETURN, 0xC0000001);
      } else {
        PostMessageW(window, WM_CLOSE, 0, 0);
      }
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (!IsDialogMessageW(window, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    state.ok.reset();
    if (state.icon) DestroyIcon(state.icon);
    for (HICON picture : state.decoration) {
      if (picture) DestroyIcon(picture);
    }
  }
};

}  // namespace

std::string InstallerOkButtonForm() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, kOkFormResource, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

InstallerWindowHost& SystemInstallerWindowHost() {
  static Win32InstallerWindowHost host;
  return host;
}

}  // namespace vorela
