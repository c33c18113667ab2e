// The file seam over kernel32's wide entry points.
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/win32/atomic_file_win32.h"
#include "platform/win32/file_streams_win32.h"
#include "platform/win32/plain_copy.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

using win32::Narrow;
using win32::Widen;

bool HasTrailingSeparator(std::string_view p) {
  return !p.empty() && (p.back() == '\\' || p.back() == '/');
}

bool HasWildcard(std::string_view p) { return p.find_first_of("*?") != std::string_view::npos; }

Win32Error Last() { return static_cast<Win32Error>(GetLastError()); }

// One directory-search lookup of a literal name.
Win32Error FindLiteral(std::string_view path, WIN32_FIND_DATAW* data) {
  if (path.empty()) return kErrorPathNotFound;
  if (HasTrailingSeparator(path)) return kErrorFileNotFound;
  if (HasWildcard(path)) return kErrorInvalidName;
  HANDLE find = FindFirstFileW(Widen(path).c_str(), data);
  if (find == INVALID_HANDLE_VALUE) return Last();
  FindClose(find);
  return kErrorSuccess;
}

std::uint64_t SizeOf(const WIN32_FIND_DATAW& d) {
  return (static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

// The path the platform resolves an open handle to, without the "\\?\" prefix.
std::wstring FinalPath(const std::wstring& path, DWORD flags) {
  HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  wchar_t buffer[MAX_PATH * 4];
  DWORD n = GetFinalPathNameByHandleW(h, buffer, MAX_PATH * 4, FILE_NAME_NORMALIZED);
  CloseHandle(h);
  if (n == 0 || n >= MAX_PATH * 4) return {};
  std::wstring out(buffer, n);
  if (out.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + out.substr(8);
  if (out.rfind(L"\\\\?\\", 0) == 0) return out.substr(4);
  return out;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

Win32Error ClearFolder(const std::wstring& folder, bool force) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    Win32Error e = Last();
    return e == ERROR_FILE_NOT_FOUND ? kErrorSuccess : e;
  }
  std::vector<WIN32_FIND_DATAW> entries;
  do {
    if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
    entries.push_back(data);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  // Where the folder really is: every entry that is not a link resolves to it.
  const std::wstring resolved_folder = FinalPath(folder, FILE_FLAG_BACKUP_SEMANTICS);
  bool kept_link = false;
  for (const WIN32_FIND_DATAW& entry : entries) {
    const std::wstring child = folder + L"\\" + entry.cFileName;
    const DWORD attrs = entry.dwFileAttributes;
    const bool read_only = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only && !force) return kErrorAccessDenied;
    if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) {
      // A link or junction: remove the link itself, never what it points to.
      if (read_only) SetFileAttributesW(child.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
      // Wine cannot remove a host folder link at all: it stays, and so does
      // the folder, but the rest of the folder is still cleared.
      BOOL ok = (attrs & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(child.c_str())
                                                   : DeleteFileW(child.c_str());
      if (!ok) kept_link = true;
      continue;
    }
    // Some file systems (Wine's view of host links among them) show a link as a
    // plain entry, and deleting it would delete its target. An entry that does
    // not resolve to its own place in this folder is such a link: leave it.
    const std::wstring resolved = FinalPath(
        child, (attrs & FILE_ATTRIBUTE_DIRECTORY) ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    if (resolved_folder.empty() || resolved.empty() ||
        !SamePath(resolved, resolved_folder + L"\\" + entry.cFileName)) {
      kept_link = true;
      continue;
    }
    if (read_only) SetFileAttributesW(child.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
      if (Win32Error e = ClearFolder(child, force); e != kErrorSuccess) return e;
      if (!RemoveDirectoryW(child.c_str())) return Last();
    } else if (!DeleteFileW(child.c_str())) {
      return Last();
    }
  }
  return kept_link ? kErrorAccessDenied : kErrorSuccess;
}

class Win32FileSystem final : public FileSystem {
 public:
  Win32Error GetLength(std::string_view path, std::uint64_t* length) override {
    WIN32_FIND_DATAW data;
    Win32Error e = FindLiteral(path, &data);
    if (e == kErrorSuccess && length) {
      *length = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : SizeOf(data);
    }
    return e;
  }

  Win32Error FindEntry(std::string_view path, FileEntry* entry) override {
    WIN32_FIND_DATAW data;
    Win32Error e = FindLiteral(path, &data);
    if (e == kErrorSuccess && entry) {
      const DWORD a = data.dwFileAttributes;
      entry->is_directory = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry->is_hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
      entry->is_system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
      entry->is_read_only = (a & FILE_ATTRIBUTE_READONLY) != 0;
      entry->is_link = (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      entry->size = entry->is_directory ? 0 : SizeOf(data);
    }
    return e;
  }

  Win32Error ReadAll(std::string_view path, std::string* bytes) override {
    if (HasTrailingSeparator(path)) return kErrorFileNotFound;
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Last();
    std::string out;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size)) out.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[65536];
    while (true) {
      DWORD n = 0;
      if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
        Win32Error e = Last();
        CloseHandle(file);
        return e;
      }
      if (n == 0) break;
      out.append(buffer, n);
    }
    CloseHandle(file);
    if (bytes) *bytes = std::move(out);
    return kErrorSuccess;
  }

  Win32Error WriteAtomic(std::string_view path, std::string_view bytes) override {
    return Replace(path, bytes, false);
  }

  Win32Error OpenForReading(std::string_view path, std::unique_ptr<FileReader>* reader) override {
    if (HasTrailingSeparator(path)) return kErrorFileNotFound;
    return win32::OpenFileReader(Widen(path), reader);
  }

  Win32Error BeginReplace(std::string_view path, std::unique_ptr<FileWriter>* writer) override {
    if (Win32Error e = CheckReplaceable(path); e != kErrorSuccess) return e;
    return win32::BeginFileReplacement(Widen(path), writer);
  }

  Win32Error WriteAtomicOwnerOnly(std::string_view path, std::string_view bytes) override {
    return Replace(path, bytes, true);
  }

  Win32Error CopyPlainFile(std::string_view from, std::string_view to) override {
    return win32::CopyPlainFile(from, to);
  }

  Win32Error Delete(std::string_view path) override {
    return DeleteFileW(Widen(path).c_str()) ? kErrorSuccess : Last();
  }

  Win32Error Rename(std::string_view from, std::string_view to) override {
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING)
               ? kErrorSuccess
               : Last();
  }

  Win32Error MakeDirectory(std::string_view path) override {
    if (path.empty()) return kErrorPathNotFound;
    return CreateDirectoryW(Widen(path).c_str(), nullptr) ? kErrorSuccess : Last();
  }

  Win32Error RemoveEmptyDirectory(std::string_view path) override {
    return RemoveDirectoryW(Widen(path).c_str()) ? kErrorSuccess : Last();
  }

  Win32Error ListFiles(std::string_view folder, std::string_view pattern,
                       std::vector<std::string>* names) override {
    std::wstring base = Widen(folder);
    while (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
    const DWORD attrs = GetFileAttributesW(base.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
      return kErrorPathNotFound;
    }
    std::vector<std::string> found;
    WIN32_FIND_DATAW data;
    const std::wstring query = base + L"\\" + (pattern.empty() ? L"*" : Widen(pattern));
    HANDLE find = FindFirstFileW(query.c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const DWORD a = data.dwFileAttributes;
        if (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
          continue;
        }
        found.push_back(Narrow(data.cFileName));
      } while (FindNextFileW(find, &data));
      FindClose(find);
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_NO_MORE_FILES) {
      return Last();
    }
    SortAsListed(&found);
    if (names) *names = std::move(found);
    return kErrorSuccess;
  }

  Win32Error DeleteTree(std::string_view path, bool force) override {
    std::wstring folder = Widen(path);
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
      folder.pop_back();
    }
    const DWORD attrs = GetFileAttributesW(folder.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
      return kErrorPathNotFound;
    }
    const bool read_only = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only && !force) return kErrorAccessDenied;
    if (read_only) SetFileAttributesW(folder.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
      if (Win32Error e = ClearFolder(folder, force); e != kErrorSuccess) return e;
    }
    return RemoveDirectoryW(folder.c_str()) ? kErrorSuccess : Last();
  }

  Win32Error SetReadOnly(std::string_view path, bool read_only) override {
    const std::wstring w = Widen(path);
    const DWORD attrs = GetFileAttributesW(w.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return Last();
    DWORD next = read_only ? (attrs | FILE_ATTRIBUTE_READONLY) : (attrs & ~FILE_ATTRIBUTE_READONLY);
    if (next == 0) next = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(w.c_str(), next) ? kErrorSuccess : Last();
  }

 private:
  Win32Error Replace(std::string_view path, std::string_view bytes, bool owner_only) {
    if (Win32Error e = CheckReplaceable(path); e != kErrorSuccess) return e;
    return win32::ReplaceFileAtomically(Widen(path), bytes, owner_only);
  }

  Win32Error CheckReplaceable(std::string_view path) {
    if (path.empty() || HasTrailingSeparator(path)) return kErrorPathNotFound;
    const DWORD attrs = GetFileAttributesW(Widen(path).c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES &&
        (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
      return kErrorAccessDenied;
    }
    return kErrorSuccess;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace vorela
