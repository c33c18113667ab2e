#include "controls/candy_button_window.h"

#include <utility>

namespace vorela {
namespace {

constexpr std::uint32_t kWmSetCursor = 0x0020;
constexpr std::uint32_t kWmGetDlgCode = 0x0087;
constexpr std::uint32_t kWmRButtonDown = 0x0204;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr WindowResult kDlgcWantAllKeys = 0x0004;
constexpr std::uint32_t kMkRButton = 0x0002;
constexpr std::uint32_t kMkShift = 0x0004;
constexpr std::uint32_t kMkControl = 0x0008;
constexpr std::uint32_t kMkMButton = 0x0010;

// Mouse-button and modifier masks as the button's events carry them.
std::int16_t ButtonMask(WindowWParam keys) {
  return static_cast<std::int16_t>(((keys & kMkLButton) ? 1 : 0) | ((keys & kMkRButton) ? 2 : 0) |
                                   ((keys & kMkMButton) ? 4 : 0));
}
std::int16_t ShiftMask(WindowWParam keys) {
  return static_cast<std::int16_t>(((keys & kMkShift) ? 1 : 0) | ((keys & kMkControl) ? 2 : 0));
}
float X(WindowLParam lparam) { return static_cast<std::int16_t>(lparam & 0xFFFF); }
float Y(WindowLParam lparam) { return static_cast<std::int16_t>((lparam >> 16) & 0xFFFF); }

}  // namespace

CandyButtonWindow::CandyButtonWindow(WindowSystem& windows, WindowHandle parent,
                                     const WindowRect& rect, std::string name,
                                     CandyButtonHost& host)
    : windows_(windows), self_(std::make_shared<CandyButtonWindow*>(this)) {
  button_ = std::make_unique<CandyButton>(std::move(name), host, CreateDrawingSurface());
  std::weak_ptr<CandyButtonWindow*> weak = self_;
  WindowSystem* system = &windows_;
  window_ = windows_.MakeWindow(
      parent, rect,
      [weak, system](WindowHandle window, std::uint32_t message, WindowWParam wparam,
                     WindowLParam lparam) -> WindowResult {
        if (auto self = weak.lock(); self && *self) {
          return (*self)->Procedure(window, message, wparam, lparam);
        }
        return system->DefaultProcedure(window, message, wparam, lparam);
      });
  DrawingSurface& surface = button_->Surface();
  surface.Resize(rect.width, rect.height);
  if (window_) surface.AttachWindow(static_cast<SurfaceWindow>(window_));
}

CandyButtonWindow::~CandyButtonWindow() {
  *self_ = nullptr;
  button_.reset();  // ends the routing on the window first
  if (window_ && windows_.IsWindow(window_)) windows_.DestroyWindow(window_);
}

WindowResult CandyButtonWindow::Procedure(WindowHandle window, std::uint32_t message,
                                          WindowWParam wparam, WindowLParam lparam) {
  CandyButton& b = *button_;
  switch (message) {
    case kWmLButtonDown:
    case kWmRButtonDown:
      if (message == kWmLButtonDown) {
        // Keep the moves that drag off the pressed button, and its release.
        pressed_ = true;
        windows_.SetCapture(window);
      }
      b.OnMouseDown(ButtonMask(wparam), ShiftMask(wparam), X(lparam), Y(lparam));
      return 0;
    case kWmMouseMove:
      b.OnMouseMove(ButtonMask(wparam), ShiftMask(wparam), X(lparam), Y(lparam));
      return 0;
    case kWmLButtonUp:
    case kWmRButtonUp: {
      // The release names the button that went up; the mask no longer has it.
      const std::int16_t released = message == kWmLButtonUp ? 1 : 2;
      b.OnMouseUp(released, ShiftMask(wparam), X(lparam), Y(lparam));
      if (message == kWmLButtonUp && pressed_) {
        pressed_ = false;
        if (windows_.GetCapture() == window) windows_.ReleaseCapture();
        const float x = X(lparam), y = Y(lparam);
        if (x >= 0 && y >= 0 && x < b.Surface().Width() && y < b.Surface().Height()) b.OnClick();
      }
      return 0;
    }
    case kWmLButtonDblClk:
      b.OnDblClick();
      return 0;
    case kWmKeyDown:
      b.OnKeyDown(static_cast<std::int32_t>(wparam), 0);
      return 0;
    case kWmKeyUp:
      b.OnKeyUp(static_cast<std::int32_t>(wparam), 0);
      return 0;
    case kWmSetFocus:
      b.OnGotFocus();
      return 0;
    case kWmKillFocus:
      b.OnLostFocus();
      return 0;
    case kWmGetDlgCode:
      return kDlgcWantAllKeys;
    case kWmSetCursor:
      windows_.SetCursor(b.DisplayHand() ? CursorShape::kHand : CursorShape::kArrow);
      return 1;
    case kWmSize: {
      int width = 0, height = 0;
      if (windows_.GetClientSize(window, &width, &height)) {
        if (width != b.Surface().Width() || height != b.Surface().Height()) {
          b.Surface().Resize(width, height);
        }
        b.OnResize();
      }
      return 0;
    }
    case kWmPaint:
      // Show the image, then let the default handling validate the window.
      b.Surface().Refresh();
      return windows_.DefaultProcedure(window, message, wparam, lparam);
    default:
      return windows_.DefaultProcedure(window, message, wparam, lparam);
  }
}

}  // namespace vorela
