// The window system on Windows: real windows, SetWindowLongPtrW subclassing
// through one shared entry point, and the tracking functions found by name.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/win32/windows_lean.h"
#include "platform/window_system.h"

namespace vorela {

const std::uint32_t kTrackMouseEventSize = sizeof(TRACKMOUSEEVENT);

#if defined(_WIN64)
static_assert(sizeof(TRACKMOUSEEVENT) == 24);
#else
static_assert(sizeof(TRACKMOUSEEVENT) == 16);
#endif

namespace {

constexpr wchar_t kClassName[] = L"vorelaWindowSystemWindow";

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle ToHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// --- windows made by MakeWindow ----------------------------------------------
// Each window's callable lives in a table from WM_NCCREATE to WM_NCDESTROY.
// During CreateWindowExW the creation parameter points at the caller's
// shared pointer, so a creation that fails frees the callable either way.
using ProcedureRef = std::shared_ptr<WindowProcedure>;

std::mutex& ClassLock() {
  static std::mutex lock;
  return lock;
}
std::map<HWND, ProcedureRef>& ClassTable() {
  static auto* table = new std::map<HWND, ProcedureRef>();
  return *table;
}

LRESULT CALLBACK ClassProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  ProcedureRef procedure;
  {
    std::lock_guard<std::mutex> hold(ClassLock());
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      ClassTable()[hwnd] = *static_cast<ProcedureRef*>(create->lpCreateParams);
    }
    auto it = ClassTable().find(hwnd);
    if (it != ClassTable().end()) procedure = it->second;
  }
  LRESULT result = procedure && *procedure
                       ? (*procedure)(ToHandle(hwnd), message, wparam, lparam)
                       : DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    std::lock_guard<std::mutex> hold(ClassLock());
    ClassTable().erase(hwnd);
  }
  return result;
}

bool RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ClassProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

// --- procedures installed by ReplaceProcedure ---------------------------------
struct Subclass {
  WindowProcedure callable;
  WNDPROC previous = nullptr;
};

// Windows live on one thread, but the table is global: a lock keeps it sound
// should two threads each subclass their own windows. It is never held while
// a procedure runs.
std::mutex& TableLock() {
  static std::mutex lock;
  return lock;
}
std::map<HWND, std::shared_ptr<Subclass>>& Table() {
  static auto* table = new std::map<HWND, std::shared_ptr<Subclass>>();
  return *table;
}

std::shared_ptr<Subclass> Lookup(HWND hwnd) {
  std::lock_guard<std::mutex> hold(TableLock());
  auto it = Table().find(hwnd);
  return it == Table().end() ? nullptr : it->second;
}

void Forget(HWND hwnd) {
  std::lock_guard<std::mutex> hold(TableLock());
  Table().erase(hwnd);
}

LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  std::shared_ptr<Subclass> entry = Lookup(hwnd);
  if (!entry) return DefWindowProcW(hwnd, message, wparam, lparam);
  WNDPROC previous = entry->previous;
  WindowProcedure call = entry->callable;
  LRESULT result = call ? call(ToHandle(hwnd), message, wparam, lparam)
                        : CallWindowProcW(previous, hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    // The window's last message: nothing will call through us again.
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SubclassProcedure)) {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    Forget(hwnd);
  }
  return result;
}

ProcedureToken SubclassToken() { return reinterpret_cast<ProcedureToken>(SubclassProcedure); }

using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

class Win32WindowSystem final : public WindowSystem {
 public:
  WindowHandle MakeWindow(WindowHandle parent, const WindowRect& rect,
                          WindowProcedure procedure) override {
    if (!RegisterWindowClass()) return 0;
    auto held = std::make_shared<WindowProcedure>(std::move(procedure));
    DWORD style = parent ? (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS) : WS_POPUP;
    HWND hwnd = CreateWindowExW(0, kClassName, L"", style, rect.x, rect.y, rect.width,
                                rect.height, ToHwnd(parent), nullptr, GetModuleHandleW(nullptr),
                                &held);
    return ToHandle(hwnd);
  }

  bool DestroyWindow(WindowHandle window) override {
    return ::DestroyWindow(ToHwnd(window)) != FALSE;
  }

  bool IsWindow(WindowHandle window) override {
    return window != 0 && ::IsWindow(ToHwnd(window)) != FALSE;
  }

  bool GetClientSize(WindowHandle window, int* width, int* height) override {
    RECT rc;
    if (!IsWindow(window) || !GetClientRect(ToHwnd(window), &rc)) return false;
    *width = rc.right - rc.left;
    *height = rc.bottom - rc.top;
    return true;
  }

  bool MoveWindow(WindowHandle window, const WindowRect& rect) override {
    return ::MoveWindow(ToHwnd(window), rect.x, rect.y, rect.width, rect.height, TRUE) != FALSE;
  }

  ProcessId WindowProcessId(WindowHandle window) override {
    DWORD process = 0;
    if (!IsWindow(window)) return 0;
    GetWindowThreadProcessId(ToHwnd(window), &process);
    return process;
  }

  ProcessId CurrentProcessId() override { return GetCurrentProcessId(); }

  Win32Error ReplaceProcedure(WindowHandle window, WindowProcedure procedure,
                              ProcedureToken* installed, ProcedureToken* previous) override {
    HWND hwnd = ToHwnd(window);
    if (!IsWindow(window)) return kErrorInvalidWindowHandle;
    if (!procedure) return kErrorInvalidParameter;
    auto entry = std::make_shared<Subclass>();
    entry->callable = std::move(procedure);
    {
      std::lock_guard<std::mutex> hold(TableLock());
      if (Table().count(hwnd)) return kErrorAlreadyExists;
      Table()[hwnd] = entry;
    }
    SetLastError(0);
    LONG_PTR old = SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                                     reinterpret_cast<LONG_PTR>(SubclassProcedure));
    DWORD error = GetLastError();
    if (old == 0) {
      Forget(hwnd);
      return error != 0 ? error : kErrorAccessDenied;
    }
    entry->previous = reinterpret_cast<WNDPROC>(old);
    *installed = SubclassToken();
    *previous = static_cast<ProcedureToken>(old);
    return kErrorSuccess;
  }

  ProcedureToken CurrentProcedure(WindowHandle window) override {
    if (!IsWindow(window)) return 0;
    return static_cast<ProcedureToken>(GetWindowLongPtrW(ToHwnd(window), GWLP_WNDPROC));
  }

  Win32Error RestoreProcedure(WindowHandle window, ProcedureToken installed,
                              ProcedureToken previous) override {
    HWND hwnd = ToHwnd(window);
    std::shared_ptr<Subclass> entry = Lookup(hwnd);
    if (!IsWindow(window)) return kErrorInvalidWindowHandle;
    if (!entry || installed != SubclassToken()) return kErrorInvalidParameter;
    // From here on the callable is never called, whatever happens below.
    entry->callable = nullptr;
    if (CurrentProcedure(window) == installed) {
      SetLastError(0);
      if (SetWindowLongPtrW(hwnd, GWLP_WNDPROC, static_cast<LONG_PTR>(previous)) != 0) {
        Forget(hwnd);
        return kErrorSuccess;
      }
      // Could not put it back: stay in place as a pass-through.
      DWORD error = GetLastError();
      return error != 0 ? error : kErrorAccessDenied;
    }
    // Someone subclassed on top of us; they call us as their previous
    // procedure, so we stay as a pass-through until the window goes.
    return kErrorSuccess;
  }

  WindowResult CallProcedure(ProcedureToken procedure, WindowHandle window,
                             std::uint32_t message, WindowWParam wparam,
                             WindowLParam lparam) override {
    if (procedure == 0) return DefWindowProcW(ToHwnd(window), message, wparam, lparam);
    return CallWindowProcW(reinterpret_cast<WNDPROC>(procedure), ToHwnd(window), message,
                           wparam, lparam);
  }

  WindowResult DefaultProcedure(WindowHandle window, std::uint32_t message, WindowWParam wparam,
                                WindowLParam lparam) override {
    return DefWindowProcW(ToHwnd(window), message, wparam, lparam);
  }

  WindowResult SendWindowMessage(WindowHandle window, std::uint32_t message,
                                 WindowWParam wparam, WindowLParam lparam) override {
    if (!IsWindow(window)) return 0;
    return SendMessageW(ToHwnd(window), message, wparam, lparam);
  }

  void SetCursor(CursorShape shape) override {
    ::SetCursor(LoadCursorA(nullptr, shape == CursorShape::kHand ? IDC_HAND : IDC_ARROW));
  }

  void SetCapture(WindowHandle window) override { ::SetCapture(ToHwnd(window)); }
  void ReleaseCapture() override { ::ReleaseCapture(); }
  WindowHandle GetCapture() override { return ToHandle(::GetCapture()); }

  bool ModuleExports(std::string_view module, std::string_view function) override {
    std::string module_name(module);
    std::string function_name(function);
    HMODULE handle = GetModuleHandleA(module_name.c_str());
    bool loaded_here = false;
    if (!handle) {
      handle = LoadLibraryA(module_name.c_str());
      if (!handle) return false;
      loaded_here = true;
    }
    bool found = GetProcAddress(handle, function_name.c_str()) != nullptr;
    if (loaded_here) FreeLibrary(handle);
    return found;
  }

  bool TrackMouse(TrackingFunction function, const TrackMouseRequest& request) override {
    TrackMouseEventFn track = Resolve(function);
    if (!track) return false;
    TRACKMOUSEEVENT tme = {};
    // The size is passed on as given: the platform refuses a wrong one.
    tme.cbSize = request.size;
    tme.dwFlags = request.flags;
    tme.hwndTrack = ToHwnd(request.window);
    tme.dwHoverTime = request.hover_time;
    return track(&tme) != FALSE;
  }

 private:
  // The tracking function, found by name the way the availability check
  // found it. A module loaded here stays loaded: the button keeps using it.
  static TrackMouseEventFn Resolve(TrackingFunction function) {
    const char* module = function == TrackingFunction::kUser32 ? "User32" : "Comctl32";
    const char* name =
        function == TrackingFunction::kUser32 ? "TrackMouseEvent" : "_TrackMouseEvent";
    HMODULE handle = GetModuleHandleA(module);
    if (!handle) handle = LoadLibraryA(module);
    if (!handle) return nullptr;
    return reinterpret_cast<TrackMouseEventFn>(
        reinterpret_cast<void*>(GetProcAddress(handle, name)));
  }
};

}  // namespace

WindowSystem& SystemWindowSystem() {
  static Win32WindowSystem windows;
  return windows;
}

}  // namespace vorela
