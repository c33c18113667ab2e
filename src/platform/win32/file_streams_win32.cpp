#include "platform/win32/file_streams_win32.h"

#include <algorithm>

#include "platform/win32/atomic_file_win32.h"
#include "platform/win32/windows_lean.h"
#include "platform/replacement_writer.h"

namespace vorela::win32 {
namespace {

Win32Error Last() { return static_cast<Win32Error>(GetLastError()); }

class HandleReader : public FileReader {
 public:
  HandleReader(HANDLE file, std::uint64_t length) : file_(file), length_(length) {}
  ~HandleReader() override { CloseHandle(file_); }
  std::uint64_t Length() const override { return length_; }
  Win32Error Read(void* buffer, std::size_t size, std::size_t* got) override {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    const BOOL ok = ReadFile(file_, buffer, want, &n, nullptr);
    *got = n;
    return ok ? kErrorSuccess : Last();
  }

 private:
  HANDLE file_;
  std::uint64_t length_;
};


}  // namespace

Win32Error OpenFileReader(const std::wstring& path, std::unique_ptr<FileReader>* reader) {
  const DWORD attrs = GetFileAttributesW(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    return kErrorAccessDenied;
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Last();
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    const Win32Error e = Last();
    CloseHandle(file);
    return e;
  }
  *reader = std::make_unique<HandleReader>(file, static_cast<std::uint64_t>(size.QuadPart));
  return kErrorSuccess;
}

Win32Error BeginFileReplacement(const std::wstring& target, std::unique_ptr<FileWriter>* writer) {
  auto made = std::make_unique<ReplacementWriter<AtomicReplacement>>(target);
  if (Win32Error e = made->error(); e != kErrorSuccess) return e;
  *writer = std::move(made);
  return kErrorSuccess;
}

}  // namespace vorela::win32
