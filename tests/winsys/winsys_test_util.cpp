#include "winsys/winsys_test_util.h"

#include <functional>

#ifdef _WIN32
#include "platform/win32/windows_lean.h"
#else
#include "platform/posix/window_model.h"
#endif

namespace vorela::testing {

TestWindow::TestWindow(WindowSystem& windows, int width, int height) : windows_(windows) {
  std::shared_ptr<MessageLog> log = log_;
  auto answers = answers_;
  WindowSystem* system = &windows_;
  handle_ = windows_.MakeWindow(
      0, WindowRect{0, 0, width, height},
      [log, answers, system](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                             WindowLParam lparam) -> WindowResult {
        log->messages.push_back(message);
        for (const auto& [m, result] : *answers) {
          if (m == message) return result;
        }
        return system->DefaultProcedure(hwnd, message, wparam, lparam);
      });
}

TestWindow::~TestWindow() { Destroy(); }

void TestWindow::Answer(std::uint32_t message, WindowResult result) {
  answers_->emplace_back(message, result);
}

void TestWindow::Destroy() {
  if (handle_ != 0 && windows_.IsWindow(handle_)) windows_.DestroyWindow(handle_);
  handle_ = 0;
}

#ifdef _WIN32

namespace {

// One foreign subclass at a time is all the tests need.
std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>& ForeignProcedure() {
  static std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> procedure;
  return procedure;
}

LRESULT CALLBACK ForeignEntry(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return ForeignProcedure()(hwnd, message, wparam, lparam);
}

}  // namespace

WindowHandle ForeignWindow() { return reinterpret_cast<WindowHandle>(GetDesktopWindow()); }

ProcedureToken InstallForeignSubclass(WindowHandle window, WindowProcedure procedure) {
  ForeignProcedure() = [procedure](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return static_cast<LRESULT>(
        procedure(reinterpret_cast<WindowHandle>(hwnd), message, wparam, lparam));
  };
  return static_cast<ProcedureToken>(SetWindowLongPtrW(
      reinterpret_cast<HWND>(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignEntry)));
}

#else

WindowHandle ForeignWindow() {
  static WindowHandle window = posix::SystemWindowModel().MakeForeignWindow({0, 0, 10, 10});
  return window;
}

ProcedureToken InstallForeignSubclass(WindowHandle window, WindowProcedure procedure) {
  return posix::SystemWindowModel().SetProcedureDirect(window, std::move(procedure));
}

#endif

}  // namespace vorela::testing
