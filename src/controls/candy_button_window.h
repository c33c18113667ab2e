// A CandyButton in a window of the window system: the window's procedure turns
// the platform's messages into the button's input (press, move, release,
// click, double click, Enter, focus, size, paint), and the button's surface
// is shown in the window. Used by the installer window and by tests on real
// windows (Win32) and on the POSIX window model alike.
//
// A click is reported when a left press and the following release both land
// on the button. The window asks the dialog manager for every key, so Enter
// reaches the button and not the dialog's default handling.
#pragma once

#include <cstdint>
#include <memory>

#include "controls/candy_button.h"
#include "platform/window_system.h"

namespace vorela {

class CandyButtonWindow {
 public:
  // Makes the window as a child of parent; the button is made on a surface of
  // this build shown in it. Check Handle() for success.
  CandyButtonWindow(WindowSystem& windows, WindowHandle parent, const WindowRect& rect,
                    std::string name, CandyButtonHost& host);
  ~CandyButtonWindow();
  CandyButtonWindow(const CandyButtonWindow&) = delete;
  CandyButtonWindow& operator=(const CandyButtonWindow&) = delete;

  WindowHandle Handle() const { return window_; }
  CandyButton& Button() { return *button_; }

 private:
  WindowResult Procedure(WindowHandle window, std::uint32_t message, WindowWParam wparam,
                         WindowLParam lparam);

  WindowSystem& windows_;
  WindowHandle window_ = 0;
  std::unique_ptr<CandyButton> button_;
  bool pressed_ = false;  // a left press landed on the button
  // Cleared when the window is destroyed, so late messages find nothing.
  std::shared_ptr<CandyButtonWindow*> self_;
};

}  // namespace vorela
