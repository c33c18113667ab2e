// Message routing for a control's windows: the control replaces a window's
// procedure with one that hands selected messages to a callback of its owner,
// before or after the previous procedure handles them.
//
// Per window there is one record, kept in a map keyed by the handle in decimal
// followed by "h" (window 1234 -> "1234h"), in the order the windows were
// subclassed. A record holds the previous procedure, a "before" and an
// "after" table of messages, a user value handed to every callback and the
// owner that receives them.
//
// Tables: a count and 32 slots (kMsgEntries). A count of -1 means all
// messages; a slot holding 0 is free. A message is in a table at most once.
//
// The replacement procedure, per message:
//   1. message in the before table (or it holds all): Callback(before=true);
//      when the callback sets *handled, its *result is returned at once and
//      neither the previous procedure nor the after callback runs;
//   2. the previous procedure runs; its result becomes *result;
//   3. message in the after table (or it holds all): Callback(before=false)
//      with that result, which the callback may replace.
// A record marked for shutdown passes every message straight on. A window's
// record ends with its last message (WM_NCDESTROY), after routing it.
//
// Errors are never raised to the caller: each is reported once through the
// ErrorReport (event log entry and warning box) under the name of the
// operation that found it, and the operation returns.
//
// Everything runs on the windows' thread inside message dispatch. A callback
// may route or unroute messages; ending the subclass of the window whose
// message it is handling is not supported (it does not crash: the record
// stays alive until the message is done).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/window_system.h"

namespace vorela::controls {

class ErrorReport;

inline constexpr int kMsgEntries = 32;
inline constexpr std::int32_t kAllMessages = -1;

// `when` of sc_RouteMessage / sc_UnrouteMessage: bit 0 before, bit 1 after.
inline constexpr int kMsgBefore = 1;
inline constexpr int kMsgAfter = 2;
inline constexpr int kMsgBeforeAndAfter = 3;

// The error texts of the facility.
inline constexpr std::string_view kErrInvalidWindow = "Invalid window handle";
inline constexpr std::string_view kErrOtherProcess = "Window handle belongs to another process";
inline constexpr std::string_view kErrAlreadySubclassed = "Window handle is already subclassed";
inline constexpr std::string_view kErrNotSubclassed = "Window handle isn't subclassed";
inline constexpr std::string_view kErrNotStarted = "Subclassing hasn't been started";
inline constexpr std::string_view kErrSetWindowLong = "SetWindowLong failed, error #";
inline constexpr std::string_view kErrTableOverflow =
    "Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
    "ALL_MESSAGES instead of specific message values";

// Receives routed messages.
class RoutingOwner {
 public:
  // before: called ahead of the previous procedure. *handled (in/out, false on
  // entry) and *result (in/out: 0 before, the previous procedure's result
  // after) may be changed.
  virtual void RoutedMessage(bool before, bool* handled, WindowResult* result,
                             WindowHandle window, std::uint32_t message, WindowWParam wparam,
                             WindowLParam lparam, std::int32_t user_value) = 0;

 protected:
  ~RoutingOwner() = default;
};

struct MessageTable {
  std::int32_t count = 0;  // -1: all messages
  std::array<std::int32_t, kMsgEntries> slots{};

  bool Routes(std::uint32_t message) const;
};

class Subclasser {
 public:
  // `default_owner` receives the messages of a window subclassed without an
  // owner of its own (the control itself). All references must outlive this.
  Subclasser(WindowSystem& windows, ErrorReport& report, RoutingOwner* default_owner);
  // Ends all routing.
  ~Subclasser();
  Subclasser(const Subclasser&) = delete;
  Subclasser& operator=(const Subclasser&) = delete;

  // Starts routing for the window; true on success.
  bool sc_Subclass(WindowHandle window, std::int32_t user_value = 0,
                   RoutingOwner* owner = nullptr);
  // Ends routing for the window.
  void sc_UnSubclass(WindowHandle window);
  // Adds (removes) message, or kAllMessages, to (from) the tables chosen by
  // `when` (kMsgBefore, kMsgAfter or both).
  void sc_RouteMessage(WindowHandle window, std::int32_t message, int when);
  void sc_UnrouteMessage(WindowHandle window, std::int32_t message, int when);

  // Every record whose procedure is still in place, last added first, gets
  // sc_UnSubclass; then the record map is dropped (so later calls report
  // "Subclassing hasn't been started").
  void EndAllRouting();

  // Internal table operations, public for their tests.
  void zAddMsg(std::int32_t message, MessageTable& table);
  void zDelMsg(std::int32_t message, MessageTable& table);

  // The record key of a window: decimal handle followed by "h".
  static std::string WindowKey(WindowHandle window);

  // Inspection for tests and for the owner: false when the window has no
  // record. Copies the tables.
  bool IsSubclassed(WindowHandle window) const;
  bool Tables(WindowHandle window, MessageTable* before, MessageTable* after) const;
  bool started() const { return started_; }

 private:
  struct Record;

  std::shared_ptr<Record> zMap_hWnd(WindowHandle window, std::string_view operation);
  std::shared_ptr<Record> Find(WindowHandle window) const;
  void Remove(const std::shared_ptr<Record>& record);
  WindowResult Route(Record& record, WindowHandle hwnd, std::uint32_t message,
                     WindowWParam wparam, WindowLParam lparam);
  void Error(std::string_view operation, std::string_view message);

  WindowSystem& windows_;
  ErrorReport& report_;
  RoutingOwner* default_owner_;
  bool started_ = false;  // the record map exists
  std::vector<std::pair<std::string, std::shared_ptr<Record>>> records_;
};

}  // namespace vorela::controls
