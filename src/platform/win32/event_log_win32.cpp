// The event log on Windows: the Application log, with the program's name as
// the source.
#include <string>

#include "platform/event_log.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

std::string ToAnsi(std::string_view utf8) {
  std::wstring wide = win32::Widen(utf8);
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                        nullptr, nullptr);
  }
  return ansi;
}

class Win32EventLog final : public EventLog {
 public:
  Win32Error Report(EventType type, std::string_view text) override {
    std::string source = ToAnsi(ProgramName());
    HANDLE log = RegisterEventSourceA(nullptr, source.c_str());
    if (!log) return GetLastError();
    std::string message = ToAnsi(text);
    const char* strings[] = {message.c_str()};
    BOOL ok = ReportEventA(log, static_cast<WORD>(type), 0, 0, nullptr, 1, 0, strings, nullptr);
    Win32Error error = ok ? kErrorSuccess : GetLastError();
    DeregisterEventSource(log);
    return error;
  }
};

}  // namespace

std::string ProgramName() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n < MAX_PATH ? n : 0);
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return name.empty() ? std::string("vorela") : win32::Narrow(name);
}

EventLog& SystemEventLog() {
  static Win32EventLog log;
  return log;
}

}  // namespace vorela
