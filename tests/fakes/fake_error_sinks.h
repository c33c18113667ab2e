// The two places a control reports errors to, as recorders: the event log and
// the message box. Nothing is shown and nothing waits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/event_log.h"
#include "platform/ui.h"

namespace vorela::testing {

class RecordingEventLog : public EventLog {
 public:
  struct Entry {
    EventType type;
    std::string text;
  };
  Win32Error Report(EventType type, std::string_view text) override {
    entries.push_back({type, std::string(text)});
    return kErrorSuccess;
  }
  std::vector<Entry> entries;
};

class RecordingMessageUi : public Ui {
 public:
  struct Box {
    std::string text;
    std::string title;
    std::uint32_t style;
  };
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override {
    boxes.push_back({std::string(text), std::string(title), style});
    return kIdOk;
  }
  std::vector<Box> boxes;
};

}  // namespace vorela::testing
