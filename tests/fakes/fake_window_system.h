// A window system that forwards to a real one (the Win32 backend or the model)
// and lets a test take parts of it away: modules that cannot be found, a
// procedure replacement the platform refuses. It also records the order in
// which procedures were put back.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace vorela::testing {

class FaultyWindowSystem : public WindowSystem {
 public:
  explicit FaultyWindowSystem(WindowSystem& real) : real_(real) {}

  // Every look-up in these modules (compared as given) fails.
  std::set<std::string> missing_modules;
  // When not kErrorSuccess, ReplaceProcedure fails with it.
  Win32Error replace_error = kErrorSuccess;
  // Windows whose procedure was put back, in order.
  std::vector<WindowHandle> restored;

  WindowHandle MakeWindow(WindowHandle parent, const WindowRect& rect,
                          WindowProcedure procedure) override {
    return real_.MakeWindow(parent, rect, std::move(procedure));
  }
  bool DestroyWindow(WindowHandle window) override { return real_.DestroyWindow(window); }
  bool IsWindow(WindowHandle window) override { return real_.IsWindow(window); }
  bool GetClientSize(WindowHandle window, int* width, int* height) override {
    return real_.GetClientSize(window, width, height);
  }
  bool MoveWindow(WindowHandle window, const WindowRect& rect) override {
    return real_.MoveWindow(window, rect);
  }
  ProcessId WindowProcessId(WindowHandle window) override {
    return real_.WindowProcessId(window);
  }
  ProcessId CurrentProcessId() override { return real_.CurrentProcessId(); }
  Win32Error ReplaceProcedure(WindowHandle window, WindowProcedure procedure,
                              ProcedureToken* installed, ProcedureToken* previous) override {
    if (replace_error != kErrorSuccess) return replace_error;
    return real_.ReplaceProcedure(window, std::move(procedure), installed, previous);
  }
  ProcedureToken CurrentProcedure(WindowHandle window) override {
    return real_.CurrentProcedure(window);
  }
  Win32Error RestoreProcedure(WindowHandle window, ProcedureToken installed,
                              ProcedureToken previous) override {
    restored.push_back(window);
    return real_.RestoreProcedure(window, installed, previous);
  }
  WindowResult CallProcedure(ProcedureToken procedure, WindowHandle window, std::uint32_t message,
                             WindowWParam wparam, WindowLParam lparam) override {
    return real_.CallProcedure(procedure, window, message, wparam, lparam);
  }
  WindowResult DefaultProcedure(WindowHandle window, std::uint32_t message, WindowWParam wparam,
                                WindowLParam lparam) override {
    return real_.DefaultProcedure(window, message, wparam, lparam);
  }
  WindowResult SendWindowMessage(WindowHandle window, std::uint32_t message, WindowWParam wparam,
                                 WindowLParam lparam) override {
    return real_.SendWindowMessage(window, message, wparam, lparam);
  }
  void SetCursor(CursorShape shape) override { real_.SetCursor(shape); }
  void SetCapture(WindowHandle window) override { real_.SetCapture(window); }
  void ReleaseCapture() override { real_.ReleaseCapture(); }
  WindowHandle GetCapture() override { return real_.GetCapture(); }
  bool ModuleExports(std::string_view module, std::string_view function) override {
    if (missing_modules.count(std::string(module))) return false;
    return real_.ModuleExports(module, function);
  }
  bool TrackMouse(TrackingFunction function, const TrackMouseRequest& request) override {
    std::string module = function == TrackingFunction::kUser32 ? "User32" : "Comctl32";
    if (missing_modules.count(module)) return false;
    tracking_calls.push_back({function, request});
    return real_.TrackMouse(function, request);
  }

  struct TrackingCall {
    TrackingFunction function;
    TrackMouseRequest request;
  };
  // Every request passed on, whatever the platform answered.
  std::vector<TrackingCall> tracking_calls;

 private:
  WindowSystem& real_;
};

}  // namespace vorela::testing
