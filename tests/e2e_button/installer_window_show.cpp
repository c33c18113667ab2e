// Shows the Windows build's installer window with its CandyButton OK, as the
// menu tool does after an import, for the end-to-end run under Xvfb. Once the
// window is up it prints the OK button's screen rectangle ("ok X Y W H") so
// the run can point at it; it ends when the window closes.
#include <cstdio>
#include <thread>

#include "controls/installer_ok_button.h"
#include "platform/installer_window.h"
#include "platform/win32/windows_lean.h"

namespace {

BOOL CALLBACK FindOk(HWND child, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if (std::wstring_view(name) == L"vorelaWindowSystemWindow") {
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
  }
  return TRUE;
}

void ReportOkButton() {
  for (int i = 0; i < 300; ++i) {
    HWND window = FindWindowW(L"vorelaInstallerWindow", nullptr);
    HWND ok = nullptr;
    if (window && IsWindowVisible(window)) EnumChildWindows(window, FindOk, reinterpret_cast<LPARAM>(&ok));
    RECT rect;
    if (ok && GetWindowRect(ok, &rect)) {
      std::printf("ok %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top);
      std::fflush(stdout);
      return;
    }
    Sleep(100);
  }
  std::printf("ok not found\n");
  std::fflush(stdout);
}

}  // namespace

int main() {
  vorela::SetInstallerOkButtonMaker([] { return vorela::MakeCandyOkButton(); });
  vorela::InstallerWindowContent content;
  content.title = "vorela! menu";
  const char* labels[4] = {"ID:", "Menu name:", "Icon:", "Hint:"};
  const char* texts[4] = {"100", "Search", "search.ico", "Search\r\nthe web"};
  for (int i = 0; i < 4; ++i) {
    content.labels[i] = labels[i];
    content.texts[i] = texts[i];
  }
  content.message = "The menu was added";
  content.message_color = vorela::kColorBlue;
  content.note = "If the menu does not appear, restart vorela!.";
  content.note_visible = true;
  std::thread reporter(ReportOkButton);
  vorela::SystemInstallerWindowHost().Run(content);
  reporter.join();
  std::printf("closed\n");
  return 0;
}
