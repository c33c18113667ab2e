#include "platform/win32/plain_copy.h"

#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/windows_lean.h"

namespace vorela::win32 {
namespace {

constexpr DWORD kBlockSize = 1 << 16;

Win32Error Last() { return static_cast<Win32Error>(GetLastError()); }

bool HasTrailingSeparator(std::string_view p) {
  return !p.empty() && (p.back() == '\\' || p.back() == '/');
}

// Closes the handle it holds when it goes.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  BOOL Close() {
    const BOOL ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

Win32Error Pump(HANDLE in, HANDLE out) {
  std::vector<char> buffer(kBlockSize);
  while (true) {
    DWORD n = 0;
    if (!ReadFile(in, buffer.data(), kBlockSize, &n, nullptr)) return Last();
    if (n == 0) return kErrorSuccess;
    DWORD done = 0;
    while (done < n) {
      DWORD written = 0;
      if (!WriteFile(out, buffer.data() + done, n - done, &written, nullptr)) return Last();
      done += written;
    }
  }
}

}  // namespace

Win32Error CopyPlainFile(std::string_view from, std::string_view to) {
  if (from.empty() || HasTrailingSeparator(from)) return kErrorFileNotFound;
  if (to.empty() || HasTrailingSeparator(to)) return kErrorPathNotFound;
  const std::wstring source = Widen(from);
  const DWORD attrs = GetFileAttributesW(source.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return Last();
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) return kErrorBadFileType;
  Handle in(CreateFileW(source.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in.valid()) return Last();
  // Devices (CON, NUL, COM1) and pipes open like files; only a disk file is
  // a package.
  if (GetFileType(in.get()) != FILE_TYPE_DISK) return kErrorBadFileType;

  const std::wstring target = Widen(to);
  const DWORD target_attrs = GetFileAttributesW(target.c_str());
  if (target_attrs != INVALID_FILE_ATTRIBUTES &&
      (target_attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    return kErrorAccessDenied;
  }
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
  static std::atomic<unsigned> counter{0};
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temp = folder + L"\\~" + std::to_wstring(GetCurrentProcessId()) + L"-c" +
           std::to_wstring(counter++) + L".tmp";
    created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return Last();
  }
  Handle out(created);
  if (!out.valid()) return kErrorCannotMake;
  Win32Error result = Pump(in.get(), out.get());
  if (result == kErrorSuccess && !FlushFileBuffers(out.get())) result = Last();
  if (!out.Close() && result == kErrorSuccess) result = Last();
  if (result == kErrorSuccess &&
      !MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    result = Last();
  }
  if (result != kErrorSuccess) DeleteFileW(temp.c_str());
  return result;
}

}  // namespace vorela::win32
