#include "fakes/fake_file_system.h"

namespace vorela::testing {

namespace {

std::string ParentOf(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Matches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t i = 0; i <= name.size(); ++i) {
      if (Matches(pattern.substr(1), name.substr(i))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (pattern[0] != '?' && Fold(pattern[0]) != Fold(name[0])) return false;
  return Matches(pattern.substr(1), name.substr(1));
}

}  // namespace

std::string FakeFileSystem::Contents(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : it->second;
}

Win32Error FakeFileSystem::Enter(const char* operation, std::string_view path,
                                 std::string_view to) {
  std::string call = std::string(operation) + " " + std::string(path);
  if (!to.empty()) call += " -> " + std::string(to);
  calls_.push_back(call);
  auto it = faults_.find(std::string(operation) + " " + std::string(path));
  return it == faults_.end() ? kErrorSuccess : it->second;
}

Win32Error FakeFileSystem::GetLength(std::string_view path,
                                     std::uint64_t* length) {
  if (Win32Error e = Enter("GetLength", path)) return e;
  std::string p(path);
  if (auto it = files_.find(p); it != files_.end()) {
    *length = it->second.size();
    return kErrorSuccess;
  }
  if (directories_.count(p)) {
    *length = 0;
    return kErrorSuccess;
  }
  return kErrorFileNotFound;
}

Win32Error FakeFileSystem::FindEntry(std::string_view path, FileEntry* entry) {
  if (Win32Error e = Enter("FindEntry", path)) return e;
  std::string p(path);
  if (auto it = files_.find(p); it != files_.end()) {
    *entry = FileEntry{};
    entry->size = it->second.size();
    entry->is_read_only = read_only_.count(p) != 0;
    return kErrorSuccess;
  }
  if (directories_.count(p)) {
    *entry = FileEntry{};
    entry->is_directory = true;
    return kErrorSuccess;
  }
  return kErrorFileNotFound;
}

Win32Error FakeFileSystem::ReadAll(std::string_view path, std::string* bytes) {
  if (Win32Error e = Enter("ReadAll", path)) return e;
  std::string p(path);
  if (directories_.count(p)) return kErrorAccessDenied;
  auto it = files_.find(p);
  if (it == files_.end()) return kErrorFileNotFound;
  *bytes = it->second;
  return kErrorSuccess;
}

Win32Error FakeFileSystem::WriteAtomic(std::string_view path,
                                       std::string_view bytes) {
  Win32Error e = Write("WriteAtomic", path, bytes);
  if (e == kErrorSuccess) owner_only_.erase(std::string(path));
  return e;
}

Win32Error FakeFileSystem::WriteAtomicOwnerOnly(std::string_view path,
                                                std::string_view bytes) {
  // Logged and faulted as a WriteAtomic: it is one, with other permissions.
  Win32Error e = Write("WriteAtomic", path, bytes);
  if (e == kErrorSuccess) owner_only_.insert(std::string(path));
  return e;
}

Win32Error FakeFileSystem::Write(const char* operation, std::string_view path,
                                 std::string_view bytes) {
  if (Win32Error e = Enter(operation, path)) return e;
  std::string p(path);
  std::string parent = ParentOf(p);
  if (!parent.empty() && parent.find('\\') != std::string::npos &&
      !directories_.count(parent)) {
    return kErrorPathNotFound;
  }
  if (directories_.count(p) || read_only_.count(p)) return kErrorAccessDenied;
  files_[p] = std::string(bytes);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::Copy(std::string_view from, std::string_view to) {
  if (Win32Error e = Enter("Copy", from, to)) return e;
  auto it = files_.find(std::string(from));
  if (it == files_.end()) return kErrorFileNotFound;
  if (read_only_.count(std::string(to))) return kErrorAccessDenied;
  files_[std::string(to)] = it->second;
  return kErrorSuccess;
}

Win32Error FakeFileSystem::Delete(std::string_view path) {
  if (Win32Error e = Enter("Delete", path)) return e;
  std::string p(path);
  if (!files_.count(p)) return kErrorFileNotFound;
  if (read_only_.count(p)) return kErrorAccessDenied;
  files_.erase(p);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::Rename(std::string_view from, std::string_view to) {
  if (Win32Error e = Enter("Rename", from, to)) return e;
  auto it = files_.find(std::string(from));
  if (it == files_.end()) return kErrorFileNotFound;
  std::string bytes = it->second;
  files_.erase(it);
  files_[std::string(to)] = std::move(bytes);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::MakeDirectory(std::string_view path) {
  if (Win32Error e = Enter("MakeDirectory", path)) return e;
  std::string p(path);
  if (directories_.count(p) || files_.count(p)) return kErrorAlreadyExists;
  std::string parent = ParentOf(p);
  if (parent.find('\\') != std::string::npos && !directories_.count(parent)) {
    return kErrorPathNotFound;
  }
  directories_.insert(p);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::RemoveEmptyDirectory(std::string_view path) {
  if (Win32Error e = Enter("RemoveEmptyDirectory", path)) return e;
  std::string p(path);
  if (!directories_.count(p)) return kErrorFileNotFound;
  std::string prefix = p + "\\";
  for (const auto& [name, bytes] : files_) {
    if (name.rfind(prefix, 0) == 0) return kErrorDirNotEmpty;
  }
  for (const auto& dir : directories_) {
    if (dir.rfind(prefix, 0) == 0) return kErrorDirNotEmpty;
  }
  directories_.erase(p);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::ListFiles(std::string_view folder,
                                     std::string_view pattern,
                                     std::vector<std::string>* names) {
  if (Win32Error e = Enter("ListFiles", folder)) return e;
  names->clear();
  for (const auto& [path, bytes] : files_) {
    if (ParentOf(path) == folder && Matches(pattern, NameOf(path))) {
      names->push_back(NameOf(path));
    }
  }
  return kErrorSuccess;
}

Win32Error FakeFileSystem::DeleteTree(std::string_view path, bool force) {
  if (Win32Error e = Enter("DeleteTree", path)) return e;
  std::string p(path);
  if (!directories_.count(p)) return kErrorPathNotFound;
  std::string prefix = p + "\\";
  for (auto it = files_.begin(); it != files_.end();) {
    if (it->first.rfind(prefix, 0) == 0) {
      if (read_only_.count(it->first) && !force) return kErrorAccessDenied;
      read_only_.erase(it->first);
      it = files_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = directories_.begin(); it != directories_.end();) {
    it = (*it == p || it->rfind(prefix, 0) == 0) ? directories_.erase(it)
                                                 : std::next(it);
  }
  return kErrorSuccess;
}

Win32Error FakeFileSystem::SetReadOnly(std::string_view path, bool read_only) {
  if (Win32Error e = Enter("SetReadOnly", path)) return e;
  std::string p(path);
  if (!files_.count(p)) return kErrorFileNotFound;
  if (read_only) {
    read_only_.insert(p);
  } else {
    read_only_.erase(p);
  }
  return kErrorSuccess;
}

}  // namespace vorela::testing
