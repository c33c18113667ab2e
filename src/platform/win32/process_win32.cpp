// The running program, process start with CreateProcessW, and locks with
// LockFileEx on a lock file.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/win32/windows_lean.h"
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

namespace vorela {
namespace {

// A byte-range lock on the lock file: closing the handle (or the process
// ending) releases it. The handle is not inheritable.
class FileLock final : public ProcessLock {
 public:
  explicit FileLock(HANDLE file) : file_(file) {}
  ~FileLock() override { CloseHandle(file_); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  HANDLE file_;
};

class Win32Process final : public Process {
 public:
  std::string ProgramPath() override {
    std::wstring buffer(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return win32::Narrow(buffer);
  }

  std::string CommandLineArgs() override {
    std::wstring line = GetCommandLineW();
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
      size_t close = line.find(L'"', 1);
      i = close == std::wstring::npos ? line.size() : close + 1;
    } else {
      while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    }
    // The program's name ends at the first blank; that one blank separates.
    if (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    return win32::Narrow(std::wstring_view(line).substr(i));
  }

  Win32Error StartDetached(std::string_view program, std::string_view args,
                           bool minimized) override {
    // Always quoted: unquoted, "C:\dir with spaces\x.exe" could start C:\dir.exe.
    std::wstring command = L"\"" + win32::Widen(program) + L"\"";
    if (!args.empty()) command += L" " + win32::Widen(args);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (minimized) {
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = SW_SHOWMINIMIZED;
    }
    PROCESS_INFORMATION info = {};
    std::wstring application = win32::Widen(program);
    if (!CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
      return static_cast<Win32Error>(GetLastError());
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return kErrorSuccess;
  }

  std::unique_ptr<ProcessLock> LockExclusive(std::string_view lock_file,
                                             Win32Error* error) override {
    HANDLE file = CreateFileW(win32::Widen(lock_file).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (error) *error = static_cast<Win32Error>(GetLastError());
      return nullptr;
    }
    // Without LOCKFILE_FAIL_IMMEDIATELY the call waits for the holder.
    OVERLAPPED at = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
      if (error) *error = static_cast<Win32Error>(GetLastError());
      CloseHandle(file);
      return nullptr;
    }
    if (error) *error = kErrorSuccess;
    return std::make_unique<FileLock>(file);
  }
};

}  // namespace

void InitProcessArguments(int, char**) {}

std::vector<std::string> ProgramArguments(int, char**) {
  std::vector<std::string> out;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return out;
  for (int i = 1; i < count; ++i) out.push_back(win32::Narrow(words[i]));
  LocalFree(words);
  return out;
}

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

const char* ExecutableSuffix() { return ".exe"; }

Process& SystemProcess() {
  static Win32Process process;
  return process;
}

}  // namespace vorela
