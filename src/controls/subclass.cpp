#include "controls/subclass.h"

#include <cstdio>

#include "controls/subclass_report.h"

namespace vorela::controls {

struct Subclasser::Record {
  WindowHandle window = 0;
  ProcedureToken installed = 0;
  ProcedureToken previous = 0;
  MessageTable before;
  MessageTable after;
  std::int32_t user_value = 0;
  RoutingOwner* owner = nullptr;
  // Set when routing ends: from then on every message goes straight on.
  bool shutdown = false;
};

namespace {

std::string HexUpper(std::int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
  return text;
}

}  // namespace

bool MessageTable::Routes(std::uint32_t message) const {
  if (count == kAllMessages) return true;
  for (int i = 0; i < count && i < kMsgEntries; ++i) {
    if (slots[i] != 0 && static_cast<std::uint32_t>(slots[i]) == message) return true;
  }
  return false;
}

Subclasser::Subclasser(WindowSystem& windows, ErrorReport& report, RoutingOwner* default_owner)
    : windows_(windows), report_(report), default_owner_(default_owner) {}

Subclasser::~Subclasser() { EndAllRouting(); }

std::string Subclasser::WindowKey(WindowHandle window) { return std::to_string(window) + "h"; }

void Subclasser::Error(std::string_view operation, std::string_view message) {
  report_.Report(operation, message);
}

std::shared_ptr<Subclasser::Record> Subclasser::Find(WindowHandle window) const {
  std::string key = WindowKey(window);
  for (const auto& [k, record] : records_) {
    if (k == key) return record;
  }
  return nullptr;
}

void Subclasser::Remove(const std::shared_ptr<Record>& record) {
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (it->second == record) {
      records_.erase(it);
      return;
    }
  }
}

std::shared_ptr<Subclasser::Record> Subclasser::zMap_hWnd(WindowHandle window,
                                                          std::string_view operation) {
  if (!started_) {
    Error(operation, kErrNotStarted);
    return nullptr;
  }
  std::shared_ptr<Record> record = Find(window);
  if (!record) Error(operation, kErrNotSubclassed);
  return record;
}

WindowResult Subclasser::Route(Record& record, WindowHandle hwnd, std::uint32_t message,
                               WindowWParam wparam, WindowLParam lparam) {
  if (record.shutdown || !record.owner) {
    return windows_.CallProcedure(record.previous, hwnd, message, wparam, lparam);
  }
  bool handled = false;
  WindowResult result = 0;
  if (record.before.Routes(message)) {
    record.owner->RoutedMessage(true, &handled, &result, hwnd, message, wparam, lparam,
                                record.user_value);
    if (handled) return result;
  }
  result = windows_.CallProcedure(record.previous, hwnd, message, wparam, lparam);
  if (!record.shutdown && record.owner && record.after.Routes(message)) {
    record.owner->RoutedMessage(false, &handled, &result, hwnd, message, wparam, lparam,
                                record.user_value);
  }
  return result;
}

bool Subclasser::sc_Subclass(WindowHandle window, std::int32_t user_value, RoutingOwner* owner) {
  constexpr std::string_view kOp = "sc_Subclass";
  if (!windows_.IsWindow(window)) {
    Error(kOp, kErrInvalidWindow);
    return false;
  }
  if (windows_.WindowProcessId(window) != windows_.CurrentProcessId()) {
    Error(kOp, kErrOtherProcess);
    return false;
  }
  if (started_ && Find(window)) {
    Error(kOp, kErrAlreadySubclassed);
    return false;
  }
  started_ = true;
  auto record = std::make_shared<Record>();
  record->window = window;
  record->user_value = user_value;
  record->owner = owner ? owner : default_owner_;
  records_.emplace_back(WindowKey(window), record);

  // The procedure holds the record, so a message in progress keeps it alive
  // even when routing for its window ends meanwhile. The backend drops the
  // procedure when routing ends, so `this` is never used after that.
  auto procedure = [this, record](WindowHandle hwnd, std::uint32_t message, WindowWParam wparam,
                                  WindowLParam lparam) -> WindowResult {
    if (message == kWmNcDestroy) {
      // The window's last message: its record goes with it, so that a later
      // window with the same handle is not taken for this one.
      WindowResult result = Route(*record, hwnd, message, wparam, lparam);
      record->shutdown = true;
      Remove(record);
      return result;
    }
    return Route(*record, hwnd, message, wparam, lparam);
  };
  Win32Error error =
      windows_.ReplaceProcedure(window, procedure, &record->installed, &record->previous);
  if (error != kErrorSuccess) {
    Remove(record);
    Error(kOp, std::string(kErrSetWindowLong) + std::to_string(error));
    return false;
  }
  return true;
}

void Subclasser::sc_UnSubclass(WindowHandle window) {
  constexpr std::string_view kOp = "sc_UnSubclass";
  if (!started_) {
    Error(kOp, kErrNotSubclassed);
    return;
  }
  std::shared_ptr<Record> record = zMap_hWnd(window, "zMap_hWnd");
  if (!record) return;
  record->shutdown = true;
  // Fails only for a window that is gone, whose procedure went with it.
  (void)windows_.RestoreProcedure(window, record->installed, record->previous);
  record->before = MessageTable{};
  record->after = MessageTable{};
  Remove(record);
}

void Subclasser::sc_RouteMessage(WindowHandle window, std::int32_t message, int when) {
  std::shared_ptr<Record> record = zMap_hWnd(window, "zMap_hWnd");
  if (!record) return;
  if (when & kMsgBefore) zAddMsg(message, record->before);
  if (when & kMsgAfter) zAddMsg(message, record->after);
}

void Subclasser::sc_UnrouteMessage(WindowHandle window, std::int32_t message, int when) {
  std::shared_ptr<Record> record = zMap_hWnd(window, "zMap_hWnd");
  if (!record) return;
  if (when & kMsgBefore) zDelMsg(message, record->before);
  if (when & kMsgAfter) zDelMsg(message, record->after);
}

void Subclasser::zAddMsg(std::int32_t message, MessageTable& table) {
  if (message == kAllMessages) {
    table.count = kAllMessages;
    return;
  }
  // A table that takes every message already takes this one; writing it into
  // a slot would turn "all" into "just this one".
  if (table.count == kAllMessages || message == 0) return;
  // Look for the message in every slot before reusing a free one, so that a
  // message freed and added again never ends up in two slots (deleting it
  // would then leave it routed).
  int free_slot = -1;
  for (int i = 0; i < table.count; ++i) {
    if (table.slots[i] == message) return;
    if (table.slots[i] == 0 && free_slot < 0) free_slot = i;
  }
  if (free_slot >= 0) {
    table.slots[free_slot] = message;
    return;
  }
  if (table.count >= kMsgEntries) {
    Error("zAddMsg", kErrTableOverflow);
    return;
  }
  table.slots[table.count++] = message;
}

void Subclasser::zDelMsg(std::int32_t message, MessageTable& table) {
  if (message == kAllMessages) {
    table.count = 0;
    table.slots.fill(0);
    return;
  }
  for (int i = 0; i < table.count; ++i) {
    if (table.slots[i] == message) {
      table.slots[i] = 0;
      return;
    }
  }
  Error("zDelMsg", "Message &H" + HexUpper(message) + " not found in table");
}

void Subclasser::EndAllRouting() {
  if (!started_) return;
  for (size_t i = records_.size(); i-- > 0;) {
    if (i >= records_.size()) continue;
    std::shared_ptr<Record> record = records_[i].second;
    if (windows_.CurrentProcedure(record->window) == record->installed) {
      sc_UnSubclass(record->window);
    } else if (windows_.IsWindow(record->window)) {
      // Something else sits on top of our procedure. Ours stays in the chain
      // as a pass-through, and the owner (going away with us) is never called
      // again.
      record->shutdown = true;
      record->owner = nullptr;
      (void)windows_.RestoreProcedure(record->window, record->installed, record->previous);
    }
  }
  records_.clear();
  started_ = false;
}

bool Subclasser::IsSubclassed(WindowHandle window) const { return started_ && Find(window); }

bool Subclasser::Tables(WindowHandle window, MessageTable* before, MessageTable* after) const {
  std::shared_ptr<Record> record = started_ ? Find(window) : nullptr;
  if (!record) return false;
  if (before) *before = record->before;
  if (after) *after = record->after;
  return true;
}

}  // namespace vorela::controls
