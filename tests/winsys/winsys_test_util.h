// Windows for the window-system tests: real ones in the Windows build (under
// Wine's null graphics driver), the model's in the POSIX build.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/window_system.h"

namespace vorela::testing {

// What a test window's own procedure saw, in order.
struct MessageLog {
  std::vector<std::uint32_t> messages;
  int Count(std::uint32_t message) const {
    int n = 0;
    for (std::uint32_t m : messages) n += m == message;
    return n;
  }
};

// A top-level window whose procedure logs every message and passes it on to
// the default handling. Destroyed with the object.
class TestWindow {
 public:
  explicit TestWindow(WindowSystem& windows, int width = 80, int height = 24);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  WindowHandle handle() const { return handle_; }
  MessageLog& log() { return *log_; }
  // The procedure's answer to a message (0 by default).
  void Answer(std::uint32_t message, WindowResult result);
  void Destroy();

 private:
  WindowSystem& windows_;
  std::shared_ptr<MessageLog> log_ = std::make_shared<MessageLog>();
  std::shared_ptr<std::vector<std::pair<std::uint32_t, WindowResult>>> answers_ =
      std::make_shared<std::vector<std::pair<std::uint32_t, WindowResult>>>();
  WindowHandle handle_ = 0;
};

// A window that exists but belongs to another process.
WindowHandle ForeignWindow();

// Puts `procedure` on top of the window's current one the way code outside
// the window-system seam would (SetWindowLongPtr), and returns the previous
// procedure for it to call through CallProcedure.
ProcedureToken InstallForeignSubclass(WindowHandle window, WindowProcedure procedure);

}  // namespace vorela::testing
