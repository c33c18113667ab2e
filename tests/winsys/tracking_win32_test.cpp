// The platform's own leave report: a shown window, the pointer put over it and
// then away with SetCursorPos, and the real TrackMouseEvent's WM_MOUSELEAVE
// arriving through the message queue as one MouseLeave.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/subclass_report.h"
#include "controls/subclass_tracking.h"
#include "fakes/fake_error_sinks.h"
#include "platform/win32/windows_lean.h"
#include "winsys/winsys_test_util.h"

namespace vorela::controls {
namespace {

class CountingButton : public TrackingHost {
 public:
  void RebuildShape() override {}
  void Redraw(int state) override {}
  bool IsChecked() const override { return false; }
  bool HasFocus() const override { return false; }
  int ClientWidth() const override { return 80; }
  int ClientHeight() const override { return 24; }
  void RaiseMouseEnter() override { ++enters; }
  void RaiseMouseLeave() override { ++leaves; }
  int enters = 0;
  int leaves = 0;
};

// Dispatches queued messages until `done` or about rounds x 10 ms have
// passed (the platform checks the pointer on a timer).
template <typename Done>
void PumpUntil(Done done, int rounds = 500) {
  MSG msg;
  for (int round = 0; round < rounds && !done(); ++round) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

TEST(TrackingOnWindows, ThePlatformsLeaveReportArrivesOnce) {
  WindowSystem& windows = SystemWindowSystem();
  testing::RecordingEventLog log;
  testing::RecordingMessageUi ui;
  ErrorReport report(log, ui);
  CountingButton button;
  testing::TestWindow window(windows, 80, 24);
  MouseTracking tracking(windows, report, button);
  ASSERT_TRUE(tracking.Start(window.handle()));
  HWND hwnd = reinterpret_cast<HWND>(window.handle());
  SetWindowPos(hwnd, HWND_TOPMOST, 100, 100, 80, 24, SWP_SHOWWINDOW);
  ASSERT_TRUE(SetCursorPos(110, 110));

  windows.SendWindowMessage(window.handle(), kWmMouseMove, 0, MakePointLParam(10, 10));
  windows.SendWindowMessage(window.handle(), kWmMouseMove, 0, MakePointLParam(12, 10));
  EXPECT_EQ(button.enters, 1);
  ASSERT_TRUE(SetCursorPos(600, 500));
  PumpUntil([&] { return button.leaves > 0; });
  EXPECT_EQ(button.leaves, 1);
  // Nothing more arrives once the leave has been reported.
  PumpUntil([] { return false; }, 80);
  EXPECT_EQ(button.leaves, 1);
  EXPECT_FALSE(tracking.mouse_over());
  EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
}  // namespace vorela::controls

#endif
