#include "fakes/fake_file_system.h"

#include <memory>
#include <utility>

#include "base/ascii.h"

namespace vorela::testing {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasTrailingSeparator(std::string_view path) {
  return !path.empty() && IsSeparator(path.back());
}

bool HasWildcard(std::string_view path) {
  return path.find_first_of("*?") != std::string_view::npos;
}

// The path as the platform resolves it before any lookup: "\" between parts
// (doubled and trailing separators dropped), "." and ".." folded, never above
// the first part (the drive).
std::string Normalize(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && IsSeparator(path[i])) ++i;
    std::size_t j = i;
    while (j < path.size() && !IsSeparator(path[j])) ++j;
    const std::string_view part = path.substr(i, j - i);
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j;
  }
  std::string out;
  for (std::string_view part : parts) {
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

// The map key of a path: normalized, ASCII letters folded.
std::string Key(std::string_view path) {
  std::string key = Normalize(path);
  for (char& c : key) c = AsciiToLower(c);
  return key;
}

// A key's folder; "" for a drive (which is always there).
std::string ParentKey(const std::string& key) {
  const std::size_t cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

bool IsRoot(const std::string& key) { return !key.empty() && key.find('\\') == std::string::npos; }

std::string LastPart(std::string_view path) {
  const std::string normal = Normalize(path);
  const std::size_t cut = normal.rfind('\\');
  return cut == std::string::npos ? normal : normal.substr(cut + 1);
}

// "*" and "?" with ASCII case folded, as a directory search matches them;
// "*.*" also matches names without a dot.
bool Matches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || AsciiToLower(pattern[p]) == AsciiToLower(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  const std::string_view rest = pattern.substr(p);
  return rest.empty() || rest == ".*" || rest == ".";
}

}  // namespace

const FakeFileSystem::Node* FakeFileSystem::Find(const std::string& key) const {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

FakeFileSystem::Node* FakeFileSystem::Find(const std::string& key) {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

bool FakeFileSystem::FolderExists(const std::string& key) const {
  if (IsRoot(key)) return true;
  const Node* node = Find(key);
  return node != nullptr && node->is_directory;
}

Win32Error FakeFileSystem::MissingCode(const std::string& key) const {
  if (key.empty() || IsRoot(key)) return kErrorPathNotFound;
  return FolderExists(ParentKey(key)) ? kErrorFileNotFound : kErrorPathNotFound;
}

std::vector<FakeFileSystem::Nodes::iterator> FakeFileSystem::Below(const std::string& key) {
  std::vector<Nodes::iterator> below;
  const std::string prefix = key + "\\";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.rfind(prefix, 0) == 0;
       ++it) {
    below.push_back(it);
  }
  return below;
}

void FakeFileSystem::MakeParents(const std::string& key, std::string_view path) {
  const std::string normal = Normalize(path);
  for (std::size_t cut = key.find('\\'); cut != std::string::npos; cut = key.find('\\', cut + 1)) {
    const std::string folder = key.substr(0, cut);
    if (IsRoot(folder)) continue;
    Node& node = nodes_[folder];
    if (node.name.empty()) {
      node.name = LastPart(normal.substr(0, cut));
      node.is_directory = true;
    }
  }
}

void FakeFileSystem::AddFile(const std::string& path, std::string bytes) {
  const std::string key = Key(path);
  MakeParents(key, path);
  Node& node = nodes_[key];
  if (node.name.empty()) node.name = LastPart(path);
  node.is_directory = false;
  node.bytes = std::move(bytes);
}

void FakeFileSystem::AddDirectory(const std::string& path) {
  const std::string key = Key(path);
  if (key.empty() || IsRoot(key)) return;
  MakeParents(key, path);
  Node& node = nodes_[key];
  if (node.name.empty()) {
    node.name = LastPart(path);
    node.is_directory = true;
  }
}

bool FakeFileSystem::HasFile(const std::string& path) const {
  const Node* node = Find(Key(path));
  return node != nullptr && !node->is_directory;
}

std::string FakeFileSystem::Contents(const std::string& path) const {
  const Node* node = Find(Key(path));
  return node != nullptr && !node->is_directory ? node->bytes : std::string();
}

bool FakeFileSystem::IsOwnerOnly(const std::string& path) const {
  const Node* node = Find(Key(path));
  return node != nullptr && node->owner_only;
}

std::vector<std::string> FakeFileSystem::EntriesIn(const std::string& folder) const {
  std::vector<std::string> names;
  const std::string prefix = Key(folder) + "\\";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.rfind(prefix, 0) == 0;
       ++it) {
    if (it->first.find('\\', prefix.size()) == std::string::npos) {
      names.push_back(it->second.name);
    }
  }
  return names;
}

Win32Error FakeFileSystem::Enter(const char* operation, std::string_view path,
                                 std::string_view to) {
  std::string call = std::string(operation) + " " + std::string(path);
  if (!to.empty()) call += " -> " + std::string(to);
  calls_.push_back(call);
  auto it = faults_.find(std::string(operation) + " " + std::string(path));
  return it == faults_.end() ? kErrorSuccess : it->second;
}

Win32Error FakeFileSystem::GetLength(std::string_view path, std::uint64_t* length) {
  if (Win32Error e = Enter("GetLength", path)) return e;
  if (path.empty()) return kErrorPathNotFound;
  if (HasTrailingSeparator(path)) return kErrorFileNotFound;
  const std::string key = Key(path);
  const Node* node = Find(key);
  if (node == nullptr && !IsRoot(key)) return MissingCode(key);
  if (length) *length = node == nullptr || node->is_directory ? 0 : node->bytes.size();
  return kErrorSuccess;
}

Win32Error FakeFileSystem::FindEntry(std::string_view path, FileEntry* entry) {
  if (Win32Error e = Enter("FindEntry", path)) return e;
  if (path.empty() || HasTrailingSeparator(path)) return kErrorFileNotFound;
  if (HasWildcard(path)) return kErrorInvalidName;
  const std::string key = Key(path);
  const Node* node = Find(key);
  if (node == nullptr && !IsRoot(key)) return MissingCode(key);
  if (entry) {
    *entry = FileEntry{};
    entry->is_directory = node == nullptr || node->is_directory;
    if (node != nullptr) {
      entry->is_read_only = node->read_only;
      entry->size = node->is_directory ? 0 : node->bytes.size();
    }
  }
  return kErrorSuccess;
}

Win32Error FakeFileSystem::ReadAll(std::string_view path, std::string* bytes) {
  if (Win32Error e = Enter("ReadAll", path)) return e;
  if (path.empty()) return kErrorPathNotFound;
  if (HasTrailingSeparator(path)) return kErrorFileNotFound;
  const std::string key = Key(path);
  const Node* node = Find(key);
  if (node == nullptr && !IsRoot(key)) return MissingCode(key);
  if (node == nullptr || node->is_directory) return kErrorAccessDenied;
  if (bytes) *bytes = node->bytes;
  return kErrorSuccess;
}

Win32Error FakeFileSystem::CheckReplaceable(std::string_view path) const {
  if (path.empty() || HasTrailingSeparator(path)) return kErrorPathNotFound;
  const std::string key = Key(path);
  if (IsRoot(key)) return kErrorAccessDenied;
  if (const Node* node = Find(key); node && (node->is_directory || node->read_only)) {
    return kErrorAccessDenied;
  }
  if (!FolderExists(ParentKey(key))) return kErrorPathNotFound;
  return kErrorSuccess;
}

Win32Error FakeFileSystem::Write(std::string_view path, std::string_view bytes, bool owner_only) {
  // Logged and faulted as a WriteAtomic either way: it is one, with other
  // permissions.
  if (Win32Error e = Enter("WriteAtomic", path)) return e;
  if (Win32Error e = CheckReplaceable(path)) return e;
  Node& node = nodes_[Key(path)];
  if (node.name.empty()) node.name = LastPart(path);
  node.bytes = std::string(bytes);
  node.owner_only = owner_only;
  return kErrorSuccess;
}

Win32Error FakeFileSystem::WriteAtomic(std::string_view path, std::string_view bytes) {
  return Write(path, bytes, false);
}

Win32Error FakeFileSystem::WriteAtomicOwnerOnly(std::string_view path, std::string_view bytes) {
  return Write(path, bytes, true);
}

Win32Error FakeFileSystem::BeginReplace(std::string_view path,
                                        std::unique_ptr<FileWriter>* writer) {
  if (Win32Error e = Enter("BeginReplace", path)) return e;
  if (Win32Error e = CheckReplaceable(path)) return e;
  // The seam's own collecting writer, which hands the bytes to WriteAtomic.
  return FileSystem::BeginReplace(path, writer);
}

Win32Error FakeFileSystem::Copy(std::string_view from, std::string_view to) {
  if (Win32Error e = Enter("Copy", from, to)) return e;
  if (from.empty()) return kErrorPathNotFound;
  if (HasTrailingSeparator(from)) return kErrorFileNotFound;
  const std::string from_key = Key(from);
  const Node* source = Find(from_key);
  if (source == nullptr && !IsRoot(from_key)) return MissingCode(from_key);
  if (source == nullptr || source->is_directory) return kErrorAccessDenied;
  if (Win32Error e = CheckReplaceable(to)) return e;
  std::string bytes = source->bytes;
  Node& target = nodes_[Key(to)];
  if (target.name.empty()) target.name = LastPart(to);
  target.bytes = std::move(bytes);
  target.owner_only = false;
  return kErrorSuccess;
}

Win32Error FakeFileSystem::Delete(std::string_view path) {
  if (Win32Error e = Enter("Delete", path)) return e;
  if (HasTrailingSeparator(path)) return kErrorFileNotFound;
  const std::string key = Key(path);
  Node* node = Find(key);
  if (node == nullptr) return IsRoot(key) ? kErrorAccessDenied : MissingCode(key);
  if (node->is_directory || node->read_only) return kErrorAccessDenied;
  nodes_.erase(key);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::Rename(std::string_view from, std::string_view to) {
  if (Win32Error e = Enter("Rename", from, to)) return e;
  const std::string from_key = Key(from);
  const std::string to_key = Key(to);
  if (Find(from_key) == nullptr) return MissingCode(from_key);
  if (from_key == to_key) return kErrorSuccess;
  std::string name = LastPart(to);
  if (const Node* target = Find(to_key)) {
    if (target->is_directory || target->read_only) return kErrorAccessDenied;
    name = target->name;  // a replaced file keeps its spelling
    nodes_.erase(to_key);
  } else if (!FolderExists(ParentKey(to_key))) {
    return kErrorPathNotFound;
  }
  // The entry moves with everything below it.
  std::vector<std::pair<std::string, Node>> moved;
  auto top = nodes_.find(from_key);
  moved.emplace_back(to_key, std::move(top->second));
  moved.back().second.name = name;
  nodes_.erase(top);
  for (auto it : Below(from_key)) {
    moved.emplace_back(to_key + it->first.substr(from_key.size()), std::move(it->second));
    nodes_.erase(it);
  }
  for (auto& [key, node] : moved) nodes_[key] = std::move(node);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::MakeDirectory(std::string_view path) {
  if (Win32Error e = Enter("MakeDirectory", path)) return e;
  const std::string key = Key(path);
  if (key.empty()) return kErrorPathNotFound;
  if (IsRoot(key) || Find(key) != nullptr) return kErrorAlreadyExists;
  if (!FolderExists(ParentKey(key))) return kErrorPathNotFound;
  Node& node = nodes_[key];
  node.name = LastPart(path);
  node.is_directory = true;
  return kErrorSuccess;
}

Win32Error FakeFileSystem::RemoveEmptyDirectory(std::string_view path) {
  if (Win32Error e = Enter("RemoveEmptyDirectory", path)) return e;
  const std::string key = Key(path);
  const Node* node = Find(key);
  if (node == nullptr) return IsRoot(key) ? kErrorAccessDenied : MissingCode(key);
  if (!node->is_directory) return kErrorDirectory;
  if (!Below(key).empty()) return kErrorDirNotEmpty;
  nodes_.erase(key);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::ListFiles(std::string_view folder, std::string_view pattern,
                                     std::vector<std::string>* names) {
  if (Win32Error e = Enter("ListFiles", folder)) return e;
  const std::string key = Key(folder);
  if (key.empty() || !FolderExists(key)) return kErrorPathNotFound;
  const std::string_view wanted = pattern.empty() ? std::string_view("*") : pattern;
  std::vector<std::string> found;
  for (auto it : Below(key)) {
    if (it->first.find('\\', key.size() + 1) != std::string::npos) continue;
    if (!it->second.is_directory && Matches(wanted, it->second.name)) {
      found.push_back(it->second.name);
    }
  }
  SortAsListed(&found);
  if (names) *names = std::move(found);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::DeleteTree(std::string_view path, bool force) {
  if (Win32Error e = Enter("DeleteTree", path)) return e;
  const std::string key = Key(path);
  Node* node = Find(key);
  if (node == nullptr || !node->is_directory) return kErrorPathNotFound;
  std::vector<Nodes::iterator> doomed = Below(key);
  doomed.push_back(nodes_.find(key));
  if (!force) {
    // A read-only entry stops the removal before anything goes.
    for (auto it : doomed) {
      if (it->second.read_only) return kErrorAccessDenied;
    }
  }
  for (auto it : doomed) nodes_.erase(it);
  return kErrorSuccess;
}

Win32Error FakeFileSystem::SetReadOnly(std::string_view path, bool read_only) {
  if (Win32Error e = Enter("SetReadOnly", path)) return e;
  const std::string key = Key(path);
  Node* node = Find(key);
  if (node == nullptr) return MissingCode(key);
  node->read_only = read_only;
  return kErrorSuccess;
}

}  // namespace vorela::testing
