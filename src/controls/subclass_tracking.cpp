#include "controls/subclass_tracking.h"

namespace vorela::controls {

TrackingAvailability CheckTrackingAvailable(WindowSystem& windows) {
  if (windows.ModuleExports("User32", "TrackMouseEvent")) return {true, true};
  if (windows.ModuleExports("Comctl32", "_TrackMouseEvent")) return {true, false};
  return {};
}

MouseTracking::MouseTracking(WindowSystem& windows, ErrorReport& report, TrackingHost& host)
    : windows_(windows), host_(host), subclasser_(windows, report, this) {}

MouseTracking::~MouseTracking() { Stop(); }

bool MouseTracking::Start(WindowHandle window) {
  availability_ = CheckTrackingAvailable(windows_);
  if (!availability_.available) return false;
  window_ = window;
  // A window that cannot be subclassed has been reported; routing messages
  // to it would only add reports of the same failure.
  if (!subclasser_.sc_Subclass(window, 0, this)) return false;
  subclasser_.sc_RouteMessage(window, static_cast<std::int32_t>(kWmPaint), kMsgBefore);
  subclasser_.sc_RouteMessage(window, static_cast<std::int32_t>(kWmMouseMove), kMsgAfter);
  subclasser_.sc_RouteMessage(window, static_cast<std::int32_t>(kWmMouseLeave), kMsgAfter);
  return true;
}

void MouseTracking::Stop() { subclasser_.EndAllRouting(); }

void MouseTracking::OnPaintBefore() { host_.RebuildShape(); }

void MouseTracking::OnMouseMove(WindowWParam wparam, WindowLParam lparam) {
  // The left button alone held: a drag that enters does not light the button.
  if ((wparam & 0xFFFF) == kMkLButton) return;
  if (mouse_over_) return;
  auto x = static_cast<std::int16_t>(static_cast<std::uint32_t>(lparam) & 0xFFFF);
  auto y = static_cast<std::int16_t>((static_cast<std::uint32_t>(lparam) >> 16) & 0xFFFF);
  if (x > 0 && x < host_.ClientWidth() && y > 0 && y < host_.ClientHeight()) {
    mouse_over_ = true;
    TrackMouseRequest request;
    request.size = kTrackMouseEventSize;
    request.flags = kTmeLeave;
    request.window = window_;
    request.hover_time = 0;
    (void)windows_.TrackMouse(
        availability_.from_user32 ? TrackingFunction::kUser32 : TrackingFunction::kComctl32,
        request);
    host_.RaiseMouseEnter();
    host_.Redraw(kStateHover);
  }
}

void MouseTracking::OnMouseLeave() {
  mouse_over_ = false;
  host_.RaiseMouseLeave();
  if (!host_.IsChecked()) host_.Redraw(host_.HasFocus() ? kStateFocused : kStateNormal);
}

void MouseTracking::RoutedMessage(bool before, bool* handled, WindowResult* result,
                                  WindowHandle window, std::uint32_t message, WindowWParam wparam,
                                  WindowLParam lparam, std::int32_t user_value) {
  if (message == kWmPaint && before) {
    OnPaintBefore();
  } else if (message == kWmMouseMove && !before) {
    OnMouseMove(wparam, lparam);
  } else if (message == kWmMouseLeave && !before) {
    OnMouseLeave();
  }
}

}  // namespace vorela::controls
