#include "controls/subclass_report.h"

#include "platform/event_log.h"
#include "platform/ui.h"

namespace vorela::controls {

std::string ErrorReport::LogText(std::string_view operation, std::string_view message) const {
  std::string text = type_name_;
  text += '.';
  text += operation;
  text += ": ";
  text += message;
  return text;
}

std::string ErrorReport::BoxTitle(std::string_view operation) const {
  std::string title = "Error in ";
  title += type_name_;
  title += '.';
  title += operation;
  return title;
}

std::string ErrorReport::BoxText(std::string_view message) {
  std::string text(message);
  text += '.';
  return text;
}

void ErrorReport::Report(std::string_view operation, std::string_view message) {
  // The log entry first: it survives even when nobody dismisses the box.
  (void)log_.Report(EventType::kError, LogText(operation, message));
  ui_.ShowMessage(BoxText(message), BoxTitle(operation), kMbOk | kMbIconWarning);
}

}  // namespace vorela::controls
