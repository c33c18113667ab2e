// Message routing on this build's windows: the order of callbacks and the
// previous procedure, the tables, every error report, and the end of routing.
#include "controls/subclass.h"

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
using testing::RecordingEventLog;
using testing::RecordingMessageUi;
using testing::TestWindow;

// An owner that logs every callback and can take over messages.
class LoggingOwner : public RoutingOwner {
 public:
  struct Call {
    bool before;
    std::uint32_t message;
    WindowResult result_in;
    std::int32_t user_value;
  };
  void RoutedMessage(bool before, bool* handled, WindowResult* result, WindowHandle window,
                     std::uint32_t message, WindowWParam wparam, WindowLParam lparam,
                     std::int32_t user_value) override {
    calls.push_back({before, message, *result, user_value});
    if (before && message == handle_message) {
      *handled = true;
      *result = 99;
    }
    if (!before && message == replace_after) *result = 42;
  }
  std::vector<Call> calls;
  std::uint32_t handle_message = 0;
  std::uint32_t replace_after = 0;
};

class SubclassTest : public ::testing::Test {
 protected:
  // The reports, as "<log entry> | <box title> | <box text>".
  std::vector<std::string> Reports() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < log_.entries.size(); ++i) {
      std::string line = log_.entries[i].text;
      if (i < ui_.boxes.size()) line += " | " + ui_.boxes[i].title + " | " + ui_.boxes[i].text;
      out.push_back(line);
    }
    return out;
  }
  void ExpectOneReport(const std::string& operation, const std::string& message) {
    ASSERT_EQ(log_.entries.size(), 1u);
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(log_.entries[0].type, EventType::kError);
    EXPECT_EQ(log_.entries[0].text, "CandyButton." + operation + ": " + message);
    EXPECT_EQ(ui_.boxes[0].title, "Error in CandyButton." + operation);
    EXPECT_EQ(ui_.boxes[0].text, message + ".");
    EXPECT_EQ(ui_.boxes[0].style, kMbOk | kMbIconWarning);
    log_.entries.clear();
    ui_.boxes.clear();
  }
  void ExpectNoReport() { EXPECT_EQ(Reports(), std::vector<std::string>{}); }

  WindowSystem& real_ = SystemWindowSystem();
  FaultyWindowSystem windows_{real_};
  RecordingEventLog log_;
  RecordingMessageUi ui_;
  ErrorReport report_{log_, ui_};
  LoggingOwner owner_;
  Subclasser subclasser_{windows_, report_, &owner_};
};

TEST_F(SubclassTest, CallbacksRunAroundThePreviousProcedure) {
  TestWindow window(windows_);
  window.Answer(0x0400, 5);
  ASSERT_TRUE(subclasser_.sc_Subclass(window.handle(), 77));
  subclasser_.sc_RouteMessage(window.handle(), 0x0400, kMsgBeforeAndAfter);
  subclasser_.sc_RouteMessage(window.handle(), 0x0401, kMsgAfter);
  window.log().messages.clear();

  EXPECT_EQ(windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0), 5);
  ASSERT_EQ(owner_.calls.size(), 2u);
  EXPECT_TRUE(owner_.calls[0].before);
  EXPECT_EQ(owner_.calls[0].result_in, 0);
  EXPECT_FALSE(owner_.calls[1].before);
  EXPECT_EQ(owner_.calls[1].result_in, 5);  // the previous procedure's answer
  EXPECT_EQ(owner_.calls[0].user_value, 77);
  EXPECT_EQ(window.log().Count(0x0400), 1);

  // Messages in neither table pass without a callback.
  owner_.calls.clear();
  windows_.SendWindowMessage(window.handle(), 0x0402, 0, 0);
  EXPECT_TRUE(owner_.calls.empty());
  EXPECT_EQ(window.log().Count(0x0402), 1);

  // The after callback may replace the result.
  owner_.replace_after = 0x0401;
  EXPECT_EQ(windows_.SendWindowMessage(window.handle(), 0x0401, 0, 0), 42);
  ExpectNoReport();
}

TEST_F(SubclassTest, AHandledMessageNeverReachesThePreviousProcedure) {
  TestWindow window(windows_);
  ASSERT_TRUE(subclasser_.sc_Subclass(window.handle()));
  subclasser_.sc_RouteMessage(window.handle(), 0x0400, kMsgBeforeAndAfter);
  owner_.handle_message = 0x0400;
  window.log().messages.clear();
  EXPECT_EQ(windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0), 99);
  EXPECT_EQ(window.log().Count(0x0400), 0);
  ASSERT_EQ(owner_.calls.size(), 1u);
  EXPECT_TRUE(owner_.calls[0].before);
}

TEST_F(SubclassTest, AllMessagesAndTheirRemoval) {
  TestWindow window(windows_);
  ASSERT_TRUE(subclasser_.sc_Subclass(window.handle()));
  subclasser_.sc_RouteMessage(window.handle(), kAllMessages, kMsgAfter);
  // A single message added to an "all" table keeps it taking all.
  subclasser_.sc_RouteMessage(window.handle(), 0x0400, kMsgAfter);
  windows_.SendWindowMessage(window.handle(), 0x0403, 0, 0);
  windows_.SendWindowMessage(window.handle(), 0x0404, 0, 0);
  EXPECT_EQ(owner_.calls.size(), 2u);

  subclasser_.sc_UnrouteMessage(window.handle(), kAllMessages, kMsgAfter);
  owner_.calls.clear();
  windows_.SendWindowMessage(window.handle(), 0x0403, 0, 0);
  EXPECT_TRUE(owner_.calls.empty());
  ExpectNoReport();
}

TEST_F(SubclassTest, SubclassingRefusals) {
  EXPECT_FALSE(subclasser_.sc_Subclass(0));
  ExpectOneReport("sc_Subclass", "Invalid window handle");
  EXPECT_FALSE(subclasser_.sc_Subclass(testing::ForeignWindow()));
  ExpectOneReport("sc_Subclass", "Window handle belongs to another process");

  TestWindow window(windows_);
  windows_.replace_error = kErrorAccessDenied;
  EXPECT_FALSE(subclasser_.sc_Subclass(window.handle()));
  ExpectOneReport("sc_Subclass", "SetWindowLong failed, error #5");
  EXPECT_FALSE(subclasser_.IsSubclassed(window.handle()));  // the record was undone
  windows_.replace_error = kErrorSuccess;
  EXPECT_TRUE(subclasser_.sc_Subclass(window.handle()));
  ExpectNoReport();
}

TEST_F(SubclassTest, SecondSubclassIsReportedAndTheFirstKeepsWorking) {
  TestWindow window(windows_);
  ASSERT_TRUE(subclasser_.sc_Subclass(window.handle()));
  subclasser_.sc_RouteMessage(window.handle(), 0x0400, kMsgAfter);
  EXPECT_FALSE(subclasser_.sc_Subclass(window.handle()));
  ExpectOneReport("sc_Subclass", "Window handle is already subclassed");
  windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0);
  EXPECT_EQ(owner_.calls.size(), 1u);
}

TEST_F(SubclassTest, OperationsBeforeAnySubclass) {
  TestWindow window(windows_);
  subclasser_.sc_UnSubclass(window.handle());
  ExpectOneReport("sc_UnSubclass", "Window handle isn't subclassed");
  subclasser_.sc_RouteMessage(window.handle(), 0x0400, kMsgAfter);
  ExpectOneReport("zMap_hWnd", "Subclassing hasn't been started");
  subclasser_.sc_UnrouteMessage(window.handle(), 0x0400, kMsgAfter);
  ExpectOneReport("zMap_hWnd", "Subclassing hasn't been started");

  // Once started, an unknown window is "not subclassed".
  TestWindow other(windows_);
  ASSERT_TRUE(subclasser_.sc_Subclass(other.handle()));
  subclasser_.sc_RouteMessage(window.handle(), 0x0400, kMsgAfter);
  ExpectOneReport("zMap_hWnd", "Window handle isn't subclassed");
  subclasser_.sc_UnSubclass(window.handle());
  ExpectOneReport("zMap_hWnd", "Window handle isn't subclassed");
}

TEST_F(SubclassTest, UnsubclassPutsTheWindowBack) {
  TestWindow window(windows_);
  ProcedureToken original = windows_.CurrentProcedure(window.handle());
  ASSERT_TRUE(subclasser_.sc_Subclass(window.handle()));
  subclasser_.sc_RouteMessage(window.handle(), kAllMessages, kMsgBeforeAndAfter);
  subclasser_.sc_UnSubclass(window.handle());
  EXPECT_EQ(windows_.CurrentProcedure(window.handle()), original);
  EXPECT_FALSE(subclasser_.IsSubclassed(window.handle()));
  window.log().messages.clear();
  windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0);
  EXPECT_TRUE(owner_.calls.empty());
  EXPECT_EQ(window.log().Count(0x0400), 1);
  // And it can be subclassed again.
  EXPECT_TRUE(subclasser_.sc_Subclass(window.handle()));
  ExpectNoReport();
}

TEST_F(SubclassTest, EndOfAllRoutingGoesLastAddedFirst) {
  TestWindow a(windows_), b(windows_), c(windows_);
  for (const TestWindow* w : {&a, &b, &c}) {
    ASSERT_TRUE(subclasser_.sc_Subclass(w->handle()));
    subclasser_.sc_RouteMessage(w->handle(), kAllMessages, kMsgAfter);
  }
  subclasser_.EndAllRouting();
  EXPECT_EQ(windows_.restored,
            (std::vector<WindowHandle>{c.handle(), b.handle(), a.handle()}));
  owner_.calls.clear();
  windows_.SendWindowMessage(b.handle(), 0x0400, 0, 0);
  EXPECT_TRUE(owner_.calls.empty());
  subclasser_.sc_RouteMessage(a.handle(), 0x0400, kMsgAfter);
  ExpectOneReport("zMap_hWnd", "Subclassing hasn't been started");
}

TEST_F(SubclassTest, DestructionEndsRouting) {
  TestWindow window(windows_);
  ProcedureToken original = windows_.CurrentProcedure(window.handle());
  {
    LoggingOwner owner;
    Subclasser subclasser(windows_, report_, &owner);
    ASSERT_TRUE(subclasser.sc_Subclass(window.handle()));
    subclasser.sc_RouteMessage(window.handle(), kAllMessages, kMsgBeforeAndAfter);
  }
  EXPECT_EQ(windows_.CurrentProcedure(window.handle()), original);
  window.log().messages.clear();
  windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0);
  EXPECT_EQ(window.log().Count(0x0400), 1);
}

TEST_F(SubclassTest, AnOwnerGoneUnderAForeignSubclassIsNeverCalledAgain) {
  TestWindow window(windows_);
  auto owner = std::make_unique<LoggingOwner>();
  auto subclasser = std::make_unique<Subclasser>(windows_, report_, owner.get());
  ASSERT_TRUE(subclasser->sc_Subclass(window.handle()));
  subclasser->sc_RouteMessage(window.handle(), kAllMessages, kMsgBeforeAndAfter);
  ProcedureToken below = 0;
  below = testing::InstallForeignSubclass(
      window.handle(), [&](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                           WindowLParam lparam) {
        return windows_.CallProcedure(below, hwnd, message, wparam, lparam);
      });
  subclasser.reset();
  owner.reset();  // a call into it now would be a use after free
  window.log().messages.clear();
  windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0);
  EXPECT_EQ(window.log().Count(0x0400), 1);
  ExpectNoReport();
  window.Destroy();  // while the foreign procedure's state is still here
}

// An owner that ends its own window's routing while handling a message.
class UnsubclassingOwner : public RoutingOwner {
 public:
  void RoutedMessage(bool before, bool* handled, WindowResult* result, WindowHandle window,
                     std::uint32_t message, WindowWParam wparam, WindowLParam lparam,
                     std::int32_t user_value) override {
    ++calls;
    if (before) subclasser->sc_UnSubclass(window);
  }
  Subclasser* subclasser = nullptr;
  int calls = 0;
};

TEST_F(SubclassTest, EndingRoutingInsideTheCallbackFinishesTheMessageSafely) {
  TestWindow window(windows_);
  UnsubclassingOwner owner;
  Subclasser subclasser(windows_, report_, &owner);
  owner.subclasser = &subclasser;
  ASSERT_TRUE(subclasser.sc_Subclass(window.handle()));
  subclasser.sc_RouteMessage(window.handle(), 0x0400, kMsgBeforeAndAfter);
  window.log().messages.clear();
  windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0);
  EXPECT_EQ(owner.calls, 1);  // the after half no longer runs
  EXPECT_EQ(window.log().Count(0x0400), 1);
  windows_.SendWindowMessage(window.handle(), 0x0400, 0, 0);
  EXPECT_EQ(owner.calls, 1);
  EXPECT_EQ(window.log().Count(0x0400), 2);
  ExpectNoReport();
}

TEST_F(SubclassTest, ADestroyedWindowLeavesNoRecord) {
  auto window = std::make_unique<TestWindow>(windows_);
  WindowHandle handle = window->handle();
  ASSERT_TRUE(subclasser_.sc_Subclass(handle));
  subclasser_.sc_RouteMessage(handle, kAllMessages, kMsgAfter);
  window.reset();
  EXPECT_FALSE(subclasser_.IsSubclassed(handle));
  subclasser_.EndAllRouting();
  ExpectNoReport();
}

TEST_F(SubclassTest, WindowKeysAreDecimalHandlesWithH) {
  EXPECT_EQ(Subclasser::WindowKey(1234), "1234h");
  EXPECT_EQ(Subclasser::WindowKey(0x10010), "65552h");
}

// --- the tables ---------------------------------------------------------------

TEST_F(SubclassTest, TableHoldsThirtyTwoMessages) {
  MessageTable table;
  for (int m = 1; m <= kMsgEntries; ++m) subclasser_.zAddMsg(0x0400 + m, table);
  EXPECT_EQ(table.count, 32);
  ExpectNoReport();
  subclasser_.zAddMsg(0x0400 + 5, table);  // already there: no growth, no error
  ExpectNoReport();
  subclasser_.zAddMsg(0x0500, table);
  ExpectOneReport("zAddMsg",
                  "Message table overflow. Either increase the value of Const MSG_ENTRIES or "
                  "use ALL_MESSAGES instead of specific message values");
  EXPECT_FALSE(table.Routes(0x0500));

  // Deleting one frees its slot for the next, even in a full table.
  subclasser_.zDelMsg(0x0400 + 7, table);
  EXPECT_FALSE(table.Routes(0x0400 + 7));
  EXPECT_EQ(table.count, 32);
  subclasser_.zAddMsg(0x0500, table);
  ExpectNoReport();
  EXPECT_TRUE(table.Routes(0x0500));
  EXPECT_EQ(table.slots[6], 0x0500);
}

TEST_F(SubclassTest, DeletingAMessageNotInTheTable) {
  MessageTable table;
  subclasser_.zAddMsg(0x0200, table);
  subclasser_.zDelMsg(273, table);
  ExpectOneReport("zDelMsg", "Message &H111 not found in table");
  subclasser_.zDelMsg(0x0200, table);
  subclasser_.zDelMsg(0x0200, table);
  ExpectOneReport("zDelMsg", "Message &H200 not found in table");
}

TEST_F(SubclassTest, AMessageFreedAndAddedAgainIsUnroutedByOneDelete) {
  MessageTable table;
  subclasser_.zAddMsg(0x0201, table);
  subclasser_.zAddMsg(0x0202, table);
  subclasser_.zDelMsg(0x0201, table);  // slot 1 free, 0x0202 in slot 2
  subclasser_.zAddMsg(0x0202, table);  // already held: must not take slot 1 too
  subclasser_.zDelMsg(0x0202, table);
  EXPECT_FALSE(table.Routes(0x0202));
  ExpectNoReport();
}

TEST_F(SubclassTest, RouteAndUnrouteChooseTablesByBits) {
  TestWindow window(windows_);
  ASSERT_TRUE(subclasser_.sc_Subclass(window.handle()));
  subclasser_.sc_RouteMessage(window.handle(), 15, kMsgBefore);
  subclasser_.sc_RouteMessage(window.handle(), 512, kMsgAfter);
  subclasser_.sc_RouteMessage(window.handle(), 675, kMsgBeforeAndAfter);
  MessageTable before, after;
  ASSERT_TRUE(subclasser_.Tables(window.handle(), &before, &after));
  EXPECT_TRUE(before.Routes(15) && !after.Routes(15));
  EXPECT_TRUE(!before.Routes(512) && after.Routes(512));
  EXPECT_TRUE(before.Routes(675) && after.Routes(675));
  subclasser_.sc_UnrouteMessage(window.handle(), 675, kMsgAfter);
  ASSERT_TRUE(subclasser_.Tables(window.handle(), &before, &after));
  EXPECT_TRUE(before.Routes(675));
  EXPECT_FALSE(after.Routes(675));
  ExpectNoReport();
}

}  // namespace
}  // namespace vorela::controls
