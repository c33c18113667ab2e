// Hover tracking for a button: the platform reports a mouse leaving a window
// only to a window that asked for it, and delivers the report as
// WM_MOUSELEAVE, which the control's host never passes on. So the button's
// window is subclassed and three messages are routed to this class:
//
//   WM_PAINT      (15)  before   host.RebuildShape()
//   WM_MOUSEMOVE  (512) after    mouse-enter detection
//   WM_MOUSELEAVE (675) after    mouse-leave handling
//
// Mouse-enter detection: a key-state word of exactly 1 (left button alone, a
// drag) is ignored; so is a move while the mouse-over flag is set. Otherwise
// x and y (signed 16-bit halves of lParam) inside 0 < x < width and
// 0 < y < height set the flag, request one leave report (flag TME_LEAVE, no
// hover time), raise MouseEnter and redraw in the hover state (3). The first
// row and column count as outside.
//
// Mouse-leave handling: the flag is cleared, MouseLeave raised, and unless
// the button is checked it is redrawn focused (2) when it has the focus,
// else normal (0).
//
// Tracking is available when "TrackMouseEvent" in "User32", else
// "_TrackMouseEvent" in "Comctl32", can be found; without either the window
// is not subclassed and the button simply has no hover look.
#pragma once

#include <cstdint>

#include "controls/subclass.h"
#include "platform/window_system.h"

namespace vorela::controls {

// Visual states the tracking asks the button to draw.
inline constexpr int kStateNormal = 0;
inline constexpr int kStateFocused = 2;
inline constexpr int kStateHover = 3;

// What the tracking needs from the button that owns it.
class TrackingHost {
 public:
  virtual void RebuildShape() = 0;
  virtual void Redraw(int state) = 0;
  virtual bool IsChecked() const = 0;
  virtual bool HasFocus() const = 0;
  // Client size in pixels.
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // Raise the events to the button's observer.
  virtual void RaiseMouseEnter() = 0;
  virtual void RaiseMouseLeave() = 0;

 protected:
  ~TrackingHost() = default;
};

struct TrackingAvailability {
  bool available = false;
  bool from_user32 = false;
};

// Looks the two tracking functions up, in order.
TrackingAvailability CheckTrackingAvailable(WindowSystem& windows);

class MouseTracking final : public RoutingOwner {
 public:
  MouseTracking(WindowSystem& windows, ErrorReport& report, TrackingHost& host);
  ~MouseTracking();
  MouseTracking(const MouseTracking&) = delete;
  MouseTracking& operator=(const MouseTracking&) = delete;

  // Run-mode set-up: the availability check, then subclassing of `window`
  // with user value 0 and the three routes. Returns whether hover tracking
  // is on. Call once per window.
  bool Start(WindowHandle window);
  // End of all routing (also done by the destructor).
  void Stop();

  bool available() const { return availability_.available; }
  bool from_user32() const { return availability_.from_user32; }

  // The mouse-over flag. The button reads it in its state rules and clears
  // it when a left-button drag leaves the client area.
  bool mouse_over() const { return mouse_over_; }
  void set_mouse_over(bool over) { mouse_over_ = over; }

  // The three handlers, callable directly by an owner that routes itself.
  void OnPaintBefore();
  void OnMouseMove(WindowWParam wparam, WindowLParam lparam);
  void OnMouseLeave();

  Subclasser& subclasser() { return subclasser_; }

  void RoutedMessage(bool before, bool* handled, WindowResult* result, WindowHandle window,
                     std::uint32_t message, WindowWParam wparam, WindowLParam lparam,
                     std::int32_t user_value) override;

 private:
  WindowSystem& windows_;
  TrackingHost& host_;
  Subclasser subclasser_;
  TrackingAvailability availability_;
  WindowHandle window_ = 0;
  bool mouse_over_ = false;
};

}  // namespace vorela::controls
