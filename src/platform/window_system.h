// Window-system seam: what a control needs to watch its own window from the
// inside. Window handles and their validity, the owning process, replacing a
// window procedure and putting the old one back, synchronous messages, the
// mouse cursor, looking a function up by name in a module, and the request for
// a mouse-leave report.
//
// Two backends keep one contract (tests/winsys runs the same cases on both):
//
//   * Win32: real windows. A replaced procedure is installed with
//     SetWindowLongPtrW(GWLP_WNDPROC) as one shared entry point that finds the
//     callable of its window; the previous procedure is called through
//     CallWindowProcW. Module look-ups use GetModuleHandleA, else LoadLibraryA
//     for the check alone (FreeLibrary afterwards), and GetProcAddress.
//   * POSIX: an in-process window model (posix/window_model.h) with handles,
//     sizes, procedures and synchronous messages, a second "process" for the
//     ownership check, a module table that tests can empty, and a record of the
//     tracking requests and cursor changes it was asked for.
//
// Rules both backends keep:
//
//   * Handles are non-zero integers; 0 is "no window". A destroyed window's
//     handle is no longer a window.
//   * Method names avoid the <windows.h> macros (CreateWindow, SendMessage).
//   * Every call happens on the thread that owns the windows; nothing here
//     locks. Procedures run synchronously inside SendWindowMessage and inside the
//     platform's dispatch.
//   * A window carries at most one procedure installed through this seam at a
//     time: a second ReplaceProcedure on it fails with kErrorAlreadyExists.
//   * RestoreProcedure puts the previous procedure back when the installed one
//     is still the window's current procedure. When something else has been
//     installed on top in the meantime, taking ours out would cut that one
//     off, so ours stays in the chain as a pass-through to the previous
//     procedure and the callable is dropped. Either way the callable is never
//     called again after RestoreProcedure returns.
//   * When a window is destroyed, its installed callable sees WM_NCDESTROY
//     last and is dropped with the window.
//   * Backends never throw and never print; failures are Win32 error codes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela {

using WindowHandle = std::intptr_t;
using WindowResult = std::intptr_t;
using WindowWParam = std::uintptr_t;
using WindowLParam = std::intptr_t;
using ProcessId = std::uint32_t;

// An opaque window procedure value (on Win32 a WNDPROC, in the model an id).
using ProcedureToken = std::uintptr_t;

// A window procedure as a callable.
using WindowProcedure =
    std::function<WindowResult(WindowHandle window, std::uint32_t message, WindowWParam wparam,
                               WindowLParam lparam)>;

// The platform's error for a handle that is not a window.
inline constexpr Win32Error kErrorInvalidWindowHandle = 1400;

// Message numbers the controls use.
inline constexpr std::uint32_t kWmCreate = 0x0001;
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmSize = 0x0005;
inline constexpr std::uint32_t kWmSetFocus = 0x0007;
inline constexpr std::uint32_t kWmKillFocus = 0x0008;
inline constexpr std::uint32_t kWmPaint = 0x000F;
inline constexpr std::uint32_t kWmNcDestroy = 0x0082;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmKeyUp = 0x0101;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmMouseLeave = 0x02A3;

// Key-state bits of a mouse message's wParam.
inline constexpr std::uint32_t kMkLButton = 0x0001;

// Packs two signed 16-bit coordinates the way mouse messages carry them.
constexpr WindowLParam MakePointLParam(int x, int y) {
  return static_cast<WindowLParam>(static_cast<std::uint32_t>(
      (static_cast<std::uint32_t>(y & 0xFFFF) << 16) | static_cast<std::uint32_t>(x & 0xFFFF)));
}

enum class CursorShape { kArrow, kHand };

// The mouse-leave request, laid out as the platform's structure is: size,
// flags, window, hover time. kTrackMouseEventSize is the platform's own size
// of that structure (16 on 32-bit Windows and in the model, 24 on 64-bit
// Windows); a request with any other size is refused, as the platform does.
inline constexpr std::uint32_t kTmeLeave = 0x00000002;
struct TrackMouseRequest {
  std::uint32_t size = 0;
  std::uint32_t flags = 0;
  WindowHandle window = 0;
  std::uint32_t hover_time = 0;
};
extern const std::uint32_t kTrackMouseEventSize;

// Which exported function carries the request.
enum class TrackingFunction {
  kUser32,    // "TrackMouseEvent" in "User32"
  kComctl32,  // "_TrackMouseEvent" in "Comctl32"
};

struct WindowRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // --- windows -------------------------------------------------------------
  // Creates a visible child of parent (0: a top-level popup, not shown) with
  // `procedure` as its own procedure, whose client area is rect's size. The
  // procedure sees WM_CREATE and then WM_SIZE with that size while the window
  // is made, and passes what it does not handle to DefaultProcedure. Returns
  // 0 when no window can be made.
  virtual WindowHandle MakeWindow(WindowHandle parent, const WindowRect& rect,
                                  WindowProcedure procedure) = 0;
  // Sends WM_DESTROY, destroys the children, and sends WM_NCDESTROY last.
  virtual bool DestroyWindow(WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  // Client size in pixels; false (and nothing written) for a non-window.
  virtual bool GetClientSize(WindowHandle window, int* width, int* height) = 0;
  // Moves and resizes the window; it receives WM_SIZE when its size changes.
  virtual bool MoveWindow(WindowHandle window, const WindowRect& rect) = 0;
  // The process that created the window (0 for a non-window), and ours.
  virtual ProcessId WindowProcessId(WindowHandle window) = 0;
  virtual ProcessId CurrentProcessId() = 0;

  // --- procedures ----------------------------------------------------------
  // Makes `procedure` the window's procedure. On success *installed receives
  // the value now in place and *previous the one it replaced (to be called
  // through CallProcedure). Fails with the platform's error number.
  virtual Win32Error ReplaceProcedure(WindowHandle window, WindowProcedure procedure,
                                      ProcedureToken* installed, ProcedureToken* previous) = 0;
  // The window's current procedure (0 for a non-window).
  virtual ProcedureToken CurrentProcedure(WindowHandle window) = 0;
  // Ends a ReplaceProcedure (see the rules above). `installed` and `previous`
  // are the values it returned.
  virtual Win32Error RestoreProcedure(WindowHandle window, ProcedureToken installed,
                                      ProcedureToken previous) = 0;
  // Calls a procedure value obtained above.
  virtual WindowResult CallProcedure(ProcedureToken procedure, WindowHandle window,
                                     std::uint32_t message, WindowWParam wparam,
                                     WindowLParam lparam) = 0;
  // The platform's default handling of a message.
  virtual WindowResult DefaultProcedure(WindowHandle window, std::uint32_t message,
                                        WindowWParam wparam, WindowLParam lparam) = 0;
  // Delivers a message to the window's current procedure and returns its
  // result; 0 for a non-window.
  virtual WindowResult SendWindowMessage(WindowHandle window, std::uint32_t message,
                                         WindowWParam wparam, WindowLParam lparam) = 0;

  // --- mouse ---------------------------------------------------------------
  virtual void SetCursor(CursorShape shape) = 0;
  // Mouse capture: while a window holds it, the mouse messages of the thread
  // go to it even outside its client area (a pressed button needs the moves
  // that drag off it). Not pure, so existing wrappers keep compiling; a
  // wrapper should forward them.
  virtual void SetCapture(WindowHandle window) {}
  virtual void ReleaseCapture() {}
  virtual WindowHandle GetCapture() { return 0; }
  // True when `module` is loaded or can be loaded and exports `function` by
  // that name. A module loaded only to answer is unloaded again.
  virtual bool ModuleExports(std::string_view module, std::string_view function) = 0;
  // Sends the request through the chosen function; true when it accepted it.
  virtual bool TrackMouse(TrackingFunction function, const TrackMouseRequest& request) = 0;
};

// The window system of this build (the Win32 one, or the process's model).
WindowSystem& SystemWindowSystem();

}  // namespace vorela
