// The one routine through which the control reports its errors: an error entry
// in the application event log ("CandyButton.<operation>: <message>") and a
// warning box titled "Error in CandyButton.<operation>" with the message and a
// full stop. Nothing is raised; the caller carries on.
#pragma once

#include <string>
#include <string_view>

namespace vorela {
class EventLog;
class Ui;
}  // namespace vorela

namespace vorela::controls {

inline constexpr std::string_view kControlTypeName = "CandyButton";

class ErrorReport {
 public:
  ErrorReport(EventLog& log, Ui& ui, std::string_view type_name = kControlTypeName)
      : log_(log), ui_(ui), type_name_(type_name) {}

  void Report(std::string_view operation, std::string_view message);

  // The texts Report writes, for callers that need them.
  std::string LogText(std::string_view operation, std::string_view message) const;
  std::string BoxTitle(std::string_view operation) const;
  static std::string BoxText(std::string_view message);

 private:
  EventLog& log_;
  Ui& ui_;
  std::string type_name_;
};

}  // namespace vorela::controls
