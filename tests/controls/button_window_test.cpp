// The button in a real window of this build's window system (Win32 windows
// under Wine, the window model in the POSIX build): messages in, looks and
// events out, with the hover tracking routed through the window's procedure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/button_test_support.h"
#include "controls/candy_button_window.h"
#include "controls/installer_ok_button.h"
#include "platform/event_log.h"
#include "platform/ui.h"
#include "platform/window_system.h"

namespace vorela {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Forwards to the real window system, optionally without the two tracking
// functions (a system that has neither).
class Windows final : public WindowSystem {
 public:
  explicit Windows(bool tracking) : real_(SystemWindowSystem()), tracking_(tracking) {}
  WindowHandle MakeWindow(WindowHandle p, const WindowRect& r, WindowProcedure f) override {
    return real_.MakeWindow(p, r, std::move(f));
  }
  bool DestroyWindow(WindowHandle w) override { return real_.DestroyWindow(w); }
  bool IsWindow(WindowHandle w) override { return real_.IsWindow(w); }
  bool GetClientSize(WindowHandle w, int* x, int* y) override { return real_.GetClientSize(w, x, y); }
  bool MoveWindow(WindowHandle w, const WindowRect& r) override { return real_.MoveWindow(w, r); }
  ProcessId WindowProcessId(WindowHandle w) override { return real_.WindowProcessId(w); }
  ProcessId CurrentProcessId() override { return real_.CurrentProcessId(); }
  Win32Error ReplaceProcedure(WindowHandle w, WindowProcedure f, ProcedureToken* i,
                              ProcedureToken* p) override {
    return real_.ReplaceProcedure(w, std::move(f), i, p);
  }
  ProcedureToken CurrentProcedure(WindowHandle w) override { return real_.CurrentProcedure(w); }
  Win32Error RestoreProcedure(WindowHandle w, ProcedureToken i, ProcedureToken p) override {
    return real_.RestoreProcedure(w, i, p);
  }
  WindowResult CallProcedure(ProcedureToken f, WindowHandle w, std::uint32_t m, WindowWParam wp,
                             WindowLParam lp) override {
    return real_.CallProcedure(f, w, m, wp, lp);
  }
  WindowResult DefaultProcedure(WindowHandle w, std::uint32_t m, WindowWParam wp,
                                WindowLParam lp) override {
    return real_.DefaultProcedure(w, m, wp, lp);
  }
  WindowResult SendWindowMessage(WindowHandle w, std::uint32_t m, WindowWParam wp,
                                 WindowLParam lp) override {
    return real_.SendWindowMessage(w, m, wp, lp);
  }
  void SetCursor(CursorShape shape) override { cursors.push_back(shape); }
  void SetCapture(WindowHandle w) override { real_.SetCapture(w); }
  void ReleaseCapture() override { real_.ReleaseCapture(); }
  WindowHandle GetCapture() override { return real_.GetCapture(); }
  bool ModuleExports(std::string_view module, std::string_view function) override {
    return tracking_ && real_.ModuleExports(module, function);
  }
  bool TrackMouse(TrackingFunction f, const TrackMouseRequest& r) override {
    requests.push_back(r);
    return real_.TrackMouse(f, r);
  }
  std::vector<TrackMouseRequest> requests;
  std::vector<CursorShape> cursors;

 private:
  WindowSystem& real_;
  bool tracking_;
};

class SilentUi final : public Ui {
 public:
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t) override {
    shown.push_back(std::string(title) + ": " + std::string(text));
    return kIdOk;
  }
  std::vector<std::string> shown;
};

class ButtonWindowTest : public ::testing::Test {
 protected:
  void Make(bool tracking, const char* form = "Style = 2\nCaption = OK\n") {
    windows_ = std::make_unique<Windows>(tracking);
    parent_ = windows_->MakeWindow(0, WindowRect{0, 0, 300, 200},
                                   [this](WindowHandle w, std::uint32_t m, WindowWParam wp,
                                          WindowLParam lp) {
                                     return windows_->DefaultProcedure(w, m, wp, lp);
                                   });
    ASSERT_NE(parent_, 0) << "no window can be made on this display";
    button_window_ = std::make_unique<CandyButtonWindow>(
        *windows_, parent_, WindowRect{10, 10, 100, 30}, "cmdOK", host_);
    ASSERT_NE(button_window_->Handle(), 0);
    button().SetEvents(&events_);
    button().SetPlatform(ButtonPlatform{windows_.get(), &SystemEventLog(), &ui_});
    button().ReadProperties(PropertyStore::FromFormText(form));
    Send(kWmSize, 0, 0);
  }
  void TearDown() override {
    button_window_.reset();
    if (parent_) windows_->DestroyWindow(parent_);
  }
  CandyButton& button() { return button_window_->Button(); }
  void Send(std::uint32_t message, WindowWParam wparam, WindowLParam lparam) {
    windows_->SendWindowMessage(button_window_->Handle(), message, wparam, lparam);
  }
  void Move(int x, int y, WindowWParam keys = 0) { Send(kWmMouseMove, keys, MakePointLParam(x, y)); }

  testing::RecordingHost host_;
  testing::EventRecorder events_;
  SilentUi ui_;
  std::unique_ptr<Windows> windows_;
  WindowHandle parent_ = 0;
  std::unique_ptr<CandyButtonWindow> button_window_;
};

std::vector<std::string> Only(const std::vector<std::string>& log, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& e : log) {
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  }
  return out;
}

TEST_F(ButtonWindowTest, EnterOnceLeaveOnceAndEnterAgain) {
  ASSERT_NO_FATAL_FAILURE(Make(true));
  ASSERT_TRUE(button().TrackingAvailable());
  for (int x = 5; x < 60; x += 5) Move(x, 12);
  EXPECT_EQ(button().LastPaintedState(), 3);
  EXPECT_TRUE(button().MouseOver());
  ASSERT_EQ(windows_->requests.size(), 1u);  // one leave request per entry
  EXPECT_EQ(windows_->requests[0].flags, kTmeLeave);
  EXPECT_EQ(windows_->requests[0].hover_time, 0u);
  EXPECT_EQ(windows_->requests[0].window, button_window_->Handle());
  Send(kWmMouseLeave, 0, 0);
  EXPECT_EQ(button().LastPaintedState(), 0);
  Move(50, 15);
  std::vector<std::string> edges;
  for (const auto& e : events_.log) {
    if (e == "MouseEnter" || e == "MouseLeave") edges.push_back(e);
  }
  EXPECT_THAT(edges, ElementsAre("MouseEnter", "MouseLeave", "MouseEnter"));
  EXPECT_EQ(windows_->requests.size(), 2u);
}

TEST_F(ButtonWindowTest, EdgesAndDragsDoNotLightTheButton) {
  ASSERT_NO_FATAL_FAILURE(Make(true));
  Move(0, 12);   // first column
  Move(50, 0);   // first row
  Move(100, 12);  // past the last column
  Move(50, 12, kMkLButton);  // a drag entering
  EXPECT_FALSE(button().MouseOver());
  EXPECT_TRUE(Only(events_.log, "MouseEnter").empty());
  Move(50, 12, kMkLButton | 0x0008);  // more than the left button: not a plain drag
  EXPECT_TRUE(button().MouseOver());
  EXPECT_EQ(button().LastPaintedState(), 3);
}

TEST_F(ButtonWindowTest, LeaveWithFocusAndUncheckingWhileOver) {
  ASSERT_NO_FATAL_FAILURE(Make(true));
  Send(kWmSetFocus, 0, 0);
  EXPECT_EQ(button().LastPaintedState(), 2);
  Move(40, 10);
  EXPECT_EQ(button().LastPaintedState(), 3);
  button().SetChecked(true);
  EXPECT_EQ(button().LastPaintedState(), 4);
  button().SetChecked(false);
  EXPECT_EQ(button().LastPaintedState(), 3);  // the mouse is still over it
  Send(kWmMouseLeave, 0, 0);
  EXPECT_EQ(button().LastPaintedState(), 2);  // focused
}

TEST_F(ButtonWindowTest, PressReleaseClickAndEnterThroughMessages) {
  ASSERT_NO_FATAL_FAILURE(Make(true));
  Send(kWmLButtonDown, kMkLButton, MakePointLParam(20, 10));
  EXPECT_EQ(button().LastPaintedState(), 1);
  EXPECT_EQ(windows_->GetCapture(), button_window_->Handle());
  Send(kWmLButtonUp, 0, MakePointLParam(20, 10));
  EXPECT_EQ(windows_->GetCapture(), 0);
  Send(kWmLButtonDown, kMkLButton, MakePointLParam(20, 10));
  Send(kWmLButtonUp, 0, MakePointLParam(150, 10));  // released elsewhere: no click
  Send(kWmKeyDown, 13, 0);
  Send(kWmKeyUp, 13, 0);
  EXPECT_THAT(Only(events_.log, "C"), ElementsAre("Click", "Click"));
  EXPECT_THAT(Only(events_.log, "MouseUp"),
              ElementsAre("MouseUp 1 0 20 10", "MouseUp 1 0 150 10", "MouseUp 1 0 0 0"));
}

TEST_F(ButtonWindowTest, WithoutTrackingItIsAButtonWithoutHover) {
  ASSERT_NO_FATAL_FAILURE(Make(false));
  EXPECT_FALSE(button().TrackingAvailable());
  Move(50, 12);
  Move(60, 12);
  EXPECT_FALSE(button().MouseOver());
  EXPECT_NE(button().LastPaintedState(), 3);
  Send(kWmSetFocus, 0, 0);
  EXPECT_EQ(button().LastPaintedState(), 2);
  Send(kWmKeyDown, 13, 0);
  EXPECT_EQ(button().LastPaintedState(), 1);
  Send(kWmKeyUp, 13, 0);
  EXPECT_EQ(button().LastPaintedState(), 2);
  EXPECT_THAT(Only(events_.log, "C"), ElementsAre("Click"));
  EXPECT_TRUE(Only(events_.log, "MouseEnter").empty());
  EXPECT_TRUE(windows_->requests.empty());
  EXPECT_TRUE(ui_.shown.empty());  // a failed check is silent
}

TEST_F(ButtonWindowTest, PaintRebuildsTheShapeAndHandCursor) {
  ASSERT_NO_FATAL_FAILURE(Make(true, "Style = 0\nDisplayHand = True\n"));
  EXPECT_EQ(button().Surface().WindowRegion(), nullptr);
  button().SetStyle(3);
  EXPECT_EQ(button().CornerRadius(), 12);
  ASSERT_NE(button().Surface().WindowRegion(), nullptr);
  Send(kWmPaint, 0, 0);
  ASSERT_NE(button().InnerRegion(), nullptr);
  Send(0x0020, 0, 0);  // WM_SETCURSOR
  EXPECT_THAT(windows_->cursors, ElementsAre(CursorShape::kHand));
}

TEST(InstallerOkButton, IsMadeFromItsFormFocusedAndPressedWithEnter) {
  WindowSystem& windows = SystemWindowSystem();
  SilentUi ui;
  const WindowHandle form = windows.MakeWindow(
      0, WindowRect{0, 0, 300, 200},
      [&windows](WindowHandle w, std::uint32_t m, WindowWParam wp, WindowLParam lp) {
        return windows.DefaultProcedure(w, m, wp, lp);
      });
  ASSERT_NE(form, 0);
  auto ok = MakeCandyOkButton(windows, SystemEventLog(), ui,
                              "style = 3\ncolorscheme = 4\ncaption = \"&OK\"\n");
  int clicks = 0;
  ASSERT_TRUE(ok->Create(static_cast<std::uintptr_t>(form), 200, 160, 88, 26, "ignored",
                         [&clicks] { ++clicks; }));
  const auto handle = static_cast<WindowHandle>(ok->Handle());
  windows.SendWindowMessage(handle, kWmSetFocus, 0, 0);
  windows.SendWindowMessage(handle, kWmKeyDown, 13, 0);
  windows.SendWindowMessage(handle, kWmKeyUp, 13, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_THAT(ok->Describe(), HasSubstr("&OK (CandyButton, style 3, scheme 4; looks: normal "
                                        "focused pressed focused; pressed)"));
  ok.reset();
  windows.DestroyWindow(form);
}

}  // namespace
}  // namespace vorela
