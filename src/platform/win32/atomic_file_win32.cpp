#include "platform/win32/atomic_file_win32.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "platform/win32/windows_lean.h"

namespace vorela::win32 {
namespace {

Win32Error Last() { return static_cast<Win32Error>(GetLastError()); }

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsDigits(std::wstring_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](wchar_t c) {
    return c >= L'0' && c <= L'9';
  });
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether file is one of name's temporaries, by the exact shape the writer
// gives them: "~" name "." digits "-" digits ".tmp".
bool IsTemporaryOf(std::wstring_view file, std::wstring_view name) {
  const size_t head = name.size() + 2;
  if (file.size() < head + 7 || file[0] != L'~' || file[head - 1] != L'.' ||
      !EqualsIgnoringCase(file.substr(1, name.size()), name) ||
      !EqualsIgnoringCase(file.substr(file.size() - 4), L".tmp")) {
    return false;
  }
  std::wstring_view numbers = file.substr(head, file.size() - 4 - head);
  size_t dash = numbers.find(L'-');
  return dash != std::wstring_view::npos && IsDigits(numbers.substr(0, dash)) &&
         IsDigits(numbers.substr(dash + 1));
}

// A security descriptor whose protected access list grants the process's user
// alone; empty when it cannot be built.
class OwnerOnlySecurity {
 public:
  OwnerOnlySecurity() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user_.resize(size);
    const bool got = size && GetTokenInformation(token, TokenUser, user_.data(), size, &size);
    CloseHandle(token);
    if (!got) return;
    PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;
    acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    ACL* acl = reinterpret_cast<ACL*>(acl_.data());
    ready_ = InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION) &&
             AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) &&
             InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
             SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
  }
  bool ready() const { return ready_; }
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }

 private:
  std::vector<unsigned char> user_;
  std::vector<unsigned char> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
  bool ready_ = false;
};

// Renames the open file over target. Through the handle, so the file is never
// closed (and so never deletable by another save) before it has its name.
Win32Error RenameOpenFile(HANDLE file, const std::wstring& target) {
  const size_t bytes = sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(bytes, 0);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
  std::copy(target.begin(), target.end(), info->FileName);
  return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(bytes))
             ? kErrorSuccess
             : Last();
}

}  // namespace

int RemoveStaleTemporaries(const std::wstring& target) {
  const std::wstring folder = FolderOf(target);
  const std::wstring name = NameOf(target);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\~" + name + L".*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  std::vector<std::wstring> candidates;
  do {
    if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        IsTemporaryOf(data.cFileName, name)) {
      candidates.emplace_back(data.cFileName);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  int removed = 0;
  // A live save holds its temporary without sharing: deleting it fails.
  for (const std::wstring& file : candidates) {
    if (DeleteFileW((folder + L"\\" + file).c_str())) ++removed;
  }
  return removed;
}

AtomicReplacement::AtomicReplacement(const std::wstring& target, bool owner_only)
    : target_(target) {
  RemoveStaleTemporaries(target);
  replaces_ = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  std::unique_ptr<OwnerOnlySecurity> security;
  if (owner_only) {
    security = std::make_unique<OwnerOnlySecurity>();
    if (!security->ready()) {
      error_ = Last() ? Last() : kErrorAccessDenied;
      return;
    }
  }
  static std::atomic<unsigned> counter{0};
  const std::wstring stem = FolderOf(target) + L"\\~" + NameOf(target) + L"." +
                            std::to_wstring(GetCurrentProcessId()) + L"-";
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp_ = stem + std::to_wstring(counter++) + L".tmp";
    file = CreateFileW(temp_.c_str(), GENERIC_WRITE | DELETE, 0,
                       security ? security->attributes() : nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
      error_ = Last();
      return;
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    error_ = kErrorCannotMake;
    return;
  }
  file_ = file;
}

AtomicReplacement::~AtomicReplacement() {
  if (file_ == nullptr) return;
  CloseHandle(file_);
  DeleteFileW(temp_.c_str());
}

Win32Error AtomicReplacement::Write(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size() && error_ == kErrorSuccess) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    DWORD written = 0;
    if (!WriteFile(file_, bytes.data() + done, chunk, &written, nullptr)) error_ = Last();
    done += written;
  }
  return error_;
}

Win32Error AtomicReplacement::Commit(bool flush_new_file) {
  if (file_ == nullptr || error_ != kErrorSuccess) return error_;
  Win32Error result = kErrorSuccess;
  if ((replaces_ || flush_new_file) && !FlushFileBuffers(file_)) result = Last();
  if (result == kErrorSuccess) result = RenameOpenFile(file_, target_);
  CloseHandle(file_);
  file_ = nullptr;
  if (result != kErrorSuccess) DeleteFileW(temp_.c_str());
  error_ = result;
  return result;
}

Win32Error ReplaceFileAtomically(const std::wstring& target, std::string_view bytes,
                                 bool owner_only) {
  AtomicReplacement replacement(target, owner_only);
  replacement.Write(bytes);
  return replacement.Commit(/*flush_new_file=*/true);
}

}  // namespace vorela::win32
