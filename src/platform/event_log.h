// Application event log seam: where a control leaves a record of an error it
// could not report to anyone who asked.
//
//   * Win32: the Application log, through RegisterEventSourceA with the
//     program's name as the source, ReportEventA and DeregisterEventSource.
//   * POSIX: one line per entry appended to <machine root>/event.log:
//       <UTC time ISO 8601> TAB <source> TAB <type> TAB <text> LF
//     with the type as "Error", "Warning" or "Information". Line breaks and
//     tabs inside the text become spaces, so an entry is always one line. The
//     file is opened in append mode per entry, so entries of concurrent
//     processes do not tear each other.
//
// Reporting never throws and never prints; the result says whether the entry
// was written (callers that only log usually ignore it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela {

// The platform's numbers for the entry types.
enum class EventType : std::uint16_t {
  kError = 0x0001,
  kWarning = 0x0002,
  kInformation = 0x0004,
};

class EventLog {
 public:
  virtual ~EventLog() = default;
  virtual Win32Error Report(EventType type, std::string_view text) = 0;
};

// The log of this build, with the running program's name as the source.
EventLog& SystemEventLog();

// The running program's file name without folder and extension.
std::string ProgramName();

}  // namespace vorela
