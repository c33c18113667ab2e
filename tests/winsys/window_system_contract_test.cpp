// The window-system contract, run on this build's backend: real windows under
// Wine in the Windows build, the in-process model in the POSIX build.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/window_system.h"
#include "winsys/winsys_test_util.h"

namespace vorela {
namespace {

using testing::TestWindow;

class WindowSystemContract : public ::testing::Test {
 protected:
  WindowSystem& windows_ = SystemWindowSystem();
};

TEST_F(WindowSystemContract, WindowLifeFromCreationToDestruction) {
  std::vector<std::uint32_t> seen;
  std::vector<WindowLParam> sizes;
  WindowHandle window = windows_.MakeWindow(
      0, {0, 0, 120, 40},
      [&](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam, WindowLParam lparam) {
        seen.push_back(message);
        if (message == kWmSize) sizes.push_back(lparam);
        return windows_.DefaultProcedure(hwnd, message, wparam, lparam);
      });
  ASSERT_NE(window, 0);
  EXPECT_TRUE(windows_.IsWindow(window));
  EXPECT_EQ(windows_.WindowProcessId(window), windows_.CurrentProcessId());
  int width = 0, height = 0;
  ASSERT_TRUE(windows_.GetClientSize(window, &width, &height));
  EXPECT_EQ(width, 120);
  EXPECT_EQ(height, 40);
  // Created, then sized with the client size.
  auto create = std::find(seen.begin(), seen.end(), kWmCreate);
  auto size = std::find(seen.begin(), seen.end(), kWmSize);
  ASSERT_NE(create, seen.end());
  ASSERT_NE(size, seen.end());
  EXPECT_LT(create, size);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.front(), MakePointLParam(120, 40));

  sizes.clear();
  ASSERT_TRUE(windows_.MoveWindow(window, {5, 5, 60, 30}));
  ASSERT_TRUE(windows_.GetClientSize(window, &width, &height));
  EXPECT_EQ(width, 60);
  EXPECT_EQ(height, 30);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back(), MakePointLParam(60, 30));

  seen.clear();
  ASSERT_TRUE(windows_.DestroyWindow(window));
  EXPECT_FALSE(windows_.IsWindow(window));
  ASSERT_FALSE(seen.empty());
  EXPECT_NE(std::find(seen.begin(), seen.end(), kWmDestroy), seen.end());
  EXPECT_EQ(seen.back(), kWmNcDestroy);
  EXPECT_FALSE(windows_.GetClientSize(window, &width, &height));
  EXPECT_EQ(windows_.WindowProcessId(window), 0u);
  EXPECT_EQ(windows_.SendWindowMessage(window, kWmPaint, 0, 0), 0);
}

TEST_F(WindowSystemContract, NoWindowIsAWindow) {
  EXPECT_FALSE(windows_.IsWindow(0));
  WindowHandle foreign = testing::ForeignWindow();
  ASSERT_TRUE(windows_.IsWindow(foreign));
  EXPECT_NE(windows_.WindowProcessId(foreign), windows_.CurrentProcessId());
}

TEST_F(WindowSystemContract, ReplacedProcedureSeesMessagesAndCallsThePreviousOne) {
  TestWindow window(windows_);
  window.Answer(0x0400, 7);
  std::vector<std::uint32_t> replaced_saw;
  ProcedureToken installed = 0, previous = 0;
  auto procedure = [&](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                       WindowLParam lparam) -> WindowResult {
    replaced_saw.push_back(message);
    WindowResult result = windows_.CallProcedure(previous, hwnd, message, wparam, lparam);
    return message == 0x0400 ? result + 1 : result;
  };
  ASSERT_EQ(windows_.ReplaceProcedure(window.handle(), procedure, &installed, &previous),
            kErrorSuccess);
  EXPECT_NE(installed, previous);
  EXPECT_EQ(windows_.CurrentProcedure(window.handle()), installed);

  window.log().messages.clear();
  EXPECT_EQ(windows_.SendWindowMessage(window.handle(), 0x0400, 1, 2), 8);
  EXPECT_EQ(replaced_saw, std::vector<std::uint32_t>{0x0400});
  EXPECT_EQ(window.log().messages, std::vector<std::uint32_t>{0x0400});

  // One replacement per window through the seam.
  ProcedureToken again_installed = 0, again_previous = 0;
  EXPECT_EQ(windows_.ReplaceProcedure(window.handle(), procedure, &again_installed,
                                      &again_previous),
            kErrorAlreadyExists);

  ASSERT_EQ(windows_.RestoreProcedure(window.handle(), installed, previous), kErrorSuccess);
  EXPECT_EQ(windows_.CurrentProcedure(window.handle()), previous);
  replaced_saw.clear();
  EXPECT_EQ(windows_.SendWindowMessage(window.handle(), 0x0400, 1, 2), 7);
  EXPECT_TRUE(replaced_saw.empty());

  // The window can be subclassed again once the first one has ended.
  EXPECT_EQ(windows_.ReplaceProcedure(window.handle(), procedure, &installed, &previous),
            kErrorSuccess);
  EXPECT_EQ(windows_.RestoreProcedure(window.handle(), installed, previous), kErrorSuccess);
}

TEST_F(WindowSystemContract, ReplacingOnANonWindowFails) {
  ProcedureToken installed = 0, previous = 0;
  auto procedure = [](WindowHandle, std::uint32_t, WindowWParam, WindowLParam) {
    return WindowResult{0};
  };
  EXPECT_EQ(windows_.ReplaceProcedure(0, procedure, &installed, &previous),
            kErrorInvalidWindowHandle);
  TestWindow window(windows_);
  WindowHandle gone = window.handle();
  window.Destroy();
  EXPECT_EQ(windows_.ReplaceProcedure(gone, procedure, &installed, &previous),
            kErrorInvalidWindowHandle);
  EXPECT_NE(windows_.ReplaceProcedure(testing::ForeignWindow(), procedure, &installed, &previous),
            kErrorSuccess);
}

TEST_F(WindowSystemContract, RestoringUnderAForeignSubclassKeepsTheChainWorking) {
  TestWindow window(windows_);
  int ours = 0, theirs = 0;
  ProcedureToken installed = 0, previous = 0;
  ASSERT_EQ(windows_.ReplaceProcedure(
                window.handle(),
                [&](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                    WindowLParam lparam) {
                  if (message == 0x0401) ++ours;
                  return windows_.CallProcedure(previous, hwnd, message, wparam, lparam);
                },
                &installed, &previous),
            kErrorSuccess);
  ProcedureToken under_foreign = 0;
  under_foreign = testing::InstallForeignSubclass(
      window.handle(), [&](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                           WindowLParam lparam) {
        if (message == 0x0401) ++theirs;
        return windows_.CallProcedure(under_foreign, hwnd, message, wparam, lparam);
      });
  ASSERT_EQ(under_foreign, installed);

  ASSERT_EQ(windows_.RestoreProcedure(window.handle(), installed, previous), kErrorSuccess);
  // Ours is out of play, theirs still sits on top and reaches the window.
  window.log().messages.clear();
  windows_.SendWindowMessage(window.handle(), 0x0401, 0, 0);
  EXPECT_EQ(ours, 0);
  EXPECT_EQ(theirs, 1);
  EXPECT_EQ(window.log().Count(0x0401), 1);
  window.Destroy();  // while the foreign procedure's state is still here
}

TEST_F(WindowSystemContract, ADestroyedWindowDropsItsReplacedProcedure) {
  TestWindow window(windows_);
  auto alive = std::make_shared<int>(0);
  std::weak_ptr<int> watch = alive;
  std::vector<std::uint32_t> seen;
  ProcedureToken installed = 0, previous = 0;
  ASSERT_EQ(windows_.ReplaceProcedure(
                window.handle(),
                [&, alive](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                           WindowLParam lparam) {
                  seen.push_back(message);
                  return windows_.CallProcedure(previous, hwnd, message, wparam, lparam);
                },
                &installed, &previous),
            kErrorSuccess);
  alive.reset();
  EXPECT_FALSE(watch.expired());
  window.Destroy();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), kWmNcDestroy);
  EXPECT_TRUE(watch.expired());
}

TEST_F(WindowSystemContract, ModuleLookUpsByName) {
  EXPECT_TRUE(windows_.ModuleExports("User32", "TrackMouseEvent"));
  EXPECT_TRUE(windows_.ModuleExports("Comctl32", "_TrackMouseEvent"));
  EXPECT_FALSE(windows_.ModuleExports("User32", "_TrackMouseEvent"));
  EXPECT_FALSE(windows_.ModuleExports("User32", "trackmouseevent"));
  EXPECT_FALSE(windows_.ModuleExports("vorela_no_such_module", "TrackMouseEvent"));
}

TEST_F(WindowSystemContract, LeaveTrackingRequests) {
  TestWindow window(windows_);
  TrackMouseRequest request;
  request.size = kTrackMouseEventSize;
  request.flags = kTmeLeave;
  request.window = window.handle();
  EXPECT_TRUE(windows_.TrackMouse(TrackingFunction::kUser32, request));
  EXPECT_TRUE(windows_.TrackMouse(TrackingFunction::kComctl32, request));
  // The platform checks the structure's size.
  request.size = kTrackMouseEventSize + 4;
  EXPECT_FALSE(windows_.TrackMouse(TrackingFunction::kUser32, request));
}

TEST_F(WindowSystemContract, TrackingStructureHasThePlatformsSize) {
  // 16 bytes in the 32-bit layout the shipped build and the model use; the
  // handle widens it to 24 on 64-bit Windows.
#if defined(_WIN32) && defined(_WIN64)
  EXPECT_EQ(kTrackMouseEventSize, 24u);
#else
  EXPECT_EQ(kTrackMouseEventSize, 16u);
#endif
}

TEST_F(WindowSystemContract, CaptureBelongsToOneWindowUntilReleasedOrDestroyed) {
  TestWindow a(windows_), b(windows_);
  windows_.SetCapture(a.handle());
  EXPECT_EQ(windows_.GetCapture(), a.handle());
  windows_.SetCapture(b.handle());
  EXPECT_EQ(windows_.GetCapture(), b.handle());
  windows_.ReleaseCapture();
  EXPECT_EQ(windows_.GetCapture(), 0);
  windows_.SetCapture(a.handle());
  a.Destroy();
  EXPECT_EQ(windows_.GetCapture(), 0);
}

}  // namespace
}  // namespace vorela
