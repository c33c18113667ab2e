// What only the POSIX model offers: a module table to empty, a record of the
// tracking requests and cursor changes, and its own checks on both.
#ifndef _WIN32

#include "platform/posix/window_model.h"

#include <gtest/gtest.h>

#include "controls/subclass_tracking.h"

namespace vorela::posix {
namespace {

WindowProcedure Default(WindowModel& model) {
  return [&model](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                  WindowLParam lparam) {
    return model.DefaultProcedure(hwnd, message, wparam, lparam);
  };
}

TEST(WindowModel, ModuleTableDecidesWhichTrackingFunctionIsFound) {
  WindowModel model;
  EXPECT_TRUE(model.ModuleExports("USER32.DLL", "TrackMouseEvent"));  // names fold
  EXPECT_TRUE(controls::CheckTrackingAvailable(model).from_user32);
  model.RemoveModule("user32");
  auto comctl = controls::CheckTrackingAvailable(model);
  EXPECT_TRUE(comctl.available);
  EXPECT_FALSE(comctl.from_user32);
  model.ClearModules();
  EXPECT_FALSE(controls::CheckTrackingAvailable(model).available);
  model.AddModule("Comctl32", {"_TrackMouseEvent"});
  EXPECT_TRUE(controls::CheckTrackingAvailable(model).available);
}

TEST(WindowModel, TrackingRequestsAreCheckedAndRecorded) {
  WindowModel model;
  WindowHandle window = model.MakeWindow(0, {0, 0, 10, 10}, Default(model));
  TrackMouseRequest request{16, kTmeLeave, window, 0};
  EXPECT_TRUE(model.TrackMouse(TrackingFunction::kUser32, request));
  request.size = 24;  // the 64-bit layout is not the model's
  EXPECT_FALSE(model.TrackMouse(TrackingFunction::kUser32, request));
  request.size = 16;
  request.window = model.MakeForeignWindow({0, 0, 10, 10});
  EXPECT_FALSE(model.TrackMouse(TrackingFunction::kUser32, request));
  model.RemoveModule("Comctl32");
  request.window = window;
  EXPECT_FALSE(model.TrackMouse(TrackingFunction::kComctl32, request));
  ASSERT_EQ(model.tracking_calls().size(), 1u);
  EXPECT_EQ(model.tracking_calls()[0].request.window, window);
}

TEST(WindowModel, CursorChangesAreRecorded) {
  WindowModel model;
  EXPECT_EQ(model.cursor(), CursorShape::kArrow);
  model.SetCursor(CursorShape::kHand);
  EXPECT_EQ(model.cursor(), CursorShape::kHand);
  EXPECT_EQ(model.cursor_changes().size(), 1u);
}

TEST(WindowModel, DestroyingAParentDestroysItsChildrenAndTheirProcedures) {
  WindowModel model;
  std::vector<std::string> order;
  auto logging = [&](const char* name) {
    return [&, name](WindowHandle, std::uint32_t message, WindowWParam, WindowLParam) {
      if (message == kWmDestroy) order.push_back(std::string(name) + " destroy");
      if (message == kWmNcDestroy) order.push_back(std::string(name) + " ncdestroy");
      return WindowResult{0};
    };
  };
  WindowHandle parent = model.MakeWindow(0, {0, 0, 50, 50}, logging("parent"));
  WindowHandle child = model.MakeWindow(parent, {0, 0, 10, 10}, logging("child"));
  ASSERT_NE(child, 0);
  EXPECT_EQ(model.MakeWindow(0x7FFF0000, {0, 0, 1, 1}, nullptr), 0);  // no such parent
  ASSERT_TRUE(model.DestroyWindow(parent));
  EXPECT_FALSE(model.IsWindow(child));
  EXPECT_EQ(order, (std::vector<std::string>{"parent destroy", "child destroy",
                                             "child ncdestroy", "parent ncdestroy"}));
  EXPECT_EQ(model.window_count(), 0);
}

TEST(WindowModel, AWindowDestroyingItselfInItsProcedureIsSafe) {
  WindowModel model;
  WindowHandle window = 0;
  window = model.MakeWindow(0, {0, 0, 10, 10},
                            [&](WindowHandle hwnd, std::uint32_t message, WindowWParam,
                                WindowLParam) {
                              if (message == 0x0400) model.DestroyWindow(hwnd);
                              return WindowResult{3};
                            });
  EXPECT_EQ(model.SendWindowMessage(window, 0x0400, 0, 0), 3);
  EXPECT_FALSE(model.IsWindow(window));
}

}  // namespace
}  // namespace vorela::posix

#endif
