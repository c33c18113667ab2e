// Hover tracking on this build's windows: enter and leave detection, the leave
// request, the paint hook, and a system without either tracking function.
#include "controls/subclass_tracking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/subclass_report.h"
#include "fakes/fake_error_sinks.h"
#include "fakes/fake_window_system.h"
#include "winsys/winsys_test_util.h"

namespace vorela::controls {
namespace {

using testing::FaultyWindowSystem;
using testing::TestWindow;

// The button side, as a log of what tracking asked of it.
class FakeButton : public TrackingHost {
 public:
  void RebuildShape() override { events.push_back("shape"); }
  void Redraw(int state) override { events.push_back("redraw " + std::to_string(state)); }
  bool IsChecked() const override { return checked; }
  bool HasFocus() const override { return focused; }
  int ClientWidth() const override { return width; }
  int ClientHeight() const override { return height; }
  void RaiseMouseEnter() override { events.push_back("MouseEnter"); }
  void RaiseMouseLeave() override { events.push_back("MouseLeave"); }

  std::vector<std::string> events;
  bool checked = false;
  bool focused = false;
  int width = 80;
  int height = 24;
};

class TrackingTest : public ::testing::Test {
 protected:
  void Move(int x, int y, WindowWParam keys = 0) {
    windows_.SendWindowMessage(window_.handle(), kWmMouseMove, keys, MakePointLParam(x, y));
  }
  void Leave() { windows_.SendWindowMessage(window_.handle(), kWmMouseLeave, 0, 0); }
  std::vector<std::string> TakeEvents() {
    std::vector<std::string> events;
    events.swap(button_.events);
    return events;
  }

  FaultyWindowSystem windows_{SystemWindowSystem()};
  testing::RecordingEventLog log_;
  testing::RecordingMessageUi ui_;
  ErrorReport report_{log_, ui_};
  FakeButton button_;
  TestWindow window_{windows_, 80, 24};
  MouseTracking tracking_{windows_, report_, button_};
};

TEST_F(TrackingTest, EnterOnceThenLeaveOnceThenEnterAgain) {
  ASSERT_TRUE(tracking_.Start(window_.handle()));
  EXPECT_TRUE(tracking_.from_user32());
  for (int x = 5; x < 60; x += 5) Move(x, 10);
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseEnter", "redraw 3"}));
  EXPECT_TRUE(tracking_.mouse_over());
  ASSERT_EQ(windows_.tracking_calls.size(), 1u);
  const auto& call = windows_.tracking_calls[0];
  EXPECT_EQ(call.function, TrackingFunction::kUser32);
  EXPECT_EQ(call.request.flags, 2u);
  EXPECT_EQ(call.request.hover_time, 0u);
  EXPECT_EQ(call.request.size, kTrackMouseEventSize);
  EXPECT_EQ(call.request.window, window_.handle());

  Leave();
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseLeave", "redraw 0"}));
  EXPECT_FALSE(tracking_.mouse_over());

  Move(30, 10);
  Move(31, 10);
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseEnter", "redraw 3"}));
  EXPECT_EQ(windows_.tracking_calls.size(), 2u);
  // The window's own procedure still saw every move.
  EXPECT_EQ(window_.log().Count(kWmMouseMove), 13);
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(TrackingTest, LeaveRedrawsByFocusAndCheckedState) {
  ASSERT_TRUE(tracking_.Start(window_.handle()));
  Move(10, 10);
  button_.focused = true;
  TakeEvents();
  Leave();
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseLeave", "redraw 2"}));
  Move(10, 10);
  button_.checked = true;
  TakeEvents();
  Leave();
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseLeave"}));
}

TEST_F(TrackingTest, ADragEntryIsIgnoredUntilAPlainMove) {
  ASSERT_TRUE(tracking_.Start(window_.handle()));
  Move(10, 10, kMkLButton);
  Move(20, 10, kMkLButton);
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_FALSE(tracking_.mouse_over());
  // Only the left button alone counts as a drag: with Ctrl (8) held it lights.
  Move(20, 10, kMkLButton | 0x0008);
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseEnter", "redraw 3"}));
}

TEST_F(TrackingTest, FirstRowAndColumnAndTheFarEdgesAreOutside) {
  ASSERT_TRUE(tracking_.Start(window_.handle()));
  Move(0, 10);
  Move(10, 0);
  Move(80, 10);
  Move(10, 24);
  // Negative coordinates arrive as signed 16-bit halves.
  Move(-1, 10);
  Move(10, -3);
  windows_.SendWindowMessage(window_.handle(), kWmMouseMove, 0, 0x0010FFF0);  // (-16, 16)
  EXPECT_TRUE(TakeEvents().empty());
  Move(1, 1);
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"MouseEnter", "redraw 3"}));
}

TEST_F(TrackingTest, PaintRebuildsTheShapeBeforeTheWindowPaints) {
  ASSERT_TRUE(tracking_.Start(window_.handle()));
  size_t painted_before = window_.log().messages.size();
  windows_.SendWindowMessage(window_.handle(), kWmPaint, 0, 0);
  EXPECT_EQ(TakeEvents(), std::vector<std::string>{"shape"});
  EXPECT_EQ(window_.log().messages.size(), painted_before + 1);
  EXPECT_EQ(window_.log().messages.back(), kWmPaint);
}

TEST_F(TrackingTest, Comctl32IsTheFallback) {
  windows_.missing_modules = {"User32"};
  ASSERT_TRUE(tracking_.Start(window_.handle()));
  EXPECT_FALSE(tracking_.from_user32());
  windows_.missing_modules.clear();
  Move(10, 10);
  ASSERT_EQ(windows_.tracking_calls.size(), 1u);
  EXPECT_EQ(windows_.tracking_calls[0].function, TrackingFunction::kComctl32);
}

TEST_F(TrackingTest, WithoutTrackingTheWindowWorksWithoutHover) {
  windows_.missing_modules = {"User32", "Comctl32"};
  EXPECT_FALSE(tracking_.Start(window_.handle()));
  EXPECT_FALSE(tracking_.available());
  EXPECT_FALSE(tracking_.subclasser().IsSubclassed(window_.handle()));
  Move(10, 10);
  Leave();
  windows_.SendWindowMessage(window_.handle(), kWmPaint, 0, 0);
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_TRUE(windows_.tracking_calls.empty());
  EXPECT_EQ(window_.log().Count(kWmMouseMove), 1);
  EXPECT_EQ(window_.log().Count(kWmMouseLeave), 1);
  // A failed check is silent.
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_TRUE(log_.entries.empty());
}

TEST_F(TrackingTest, AWindowThatCannotBeSubclassedIsReportedOnce) {
  EXPECT_FALSE(tracking_.Start(testing::ForeignWindow()));
  ASSERT_EQ(ui_.boxes.size(), 1u);  // not once more per message it would route
  EXPECT_EQ(log_.entries[0].text,
            "CandyButton.sc_Subclass: Window handle belongs to another process");
}

TEST_F(TrackingTest, StoppingEndsTheRouting) {
  ASSERT_TRUE(tracking_.Start(window_.handle()));
  tracking_.Stop();
  Move(10, 10);
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_EQ(window_.log().Count(kWmMouseMove), 1);
}

}  // namespace
}  // namespace vorela::controls
