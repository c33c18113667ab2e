#include "platform/posix/cabinet_targets.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/posix/machine.h"

namespace vorela::posix {
namespace {

// The same folding as the machine's path mapping: ASCII letters only.
std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

}  // namespace

std::string CabinetTargets::Resolve(std::string_view target,
                                    bool* folder_missing) {
  *folder_missing = false;
  const std::size_t cut = target.find_last_of("\\/");
  const std::string name(
      cut == std::string_view::npos ? target : target.substr(cut + 1));
  if (name.empty()) return {};
  if (name == "." || name == "..") return NativePath(target);

  // The folder part is mapped once per walk while it stays a folder.
  const std::string folder_part(
      cut == std::string_view::npos ? "" : target.substr(0, cut + 1));
  struct stat st;
  std::string dir;
  const auto known = native_dirs_.find(folder_part);
  if (known != native_dirs_.end()) {
    dir = known->second;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      native_dirs_.erase(known);
      dir.clear();
    }
  }
  if (dir.empty()) {
    if (folder_part.empty()) {
      dir.assign(1, '.');
    } else {
      dir = NativePath(folder_part);
      while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    }
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      *folder_missing = true;
      return {};
    }
    native_dirs_.emplace(folder_part, dir);
  }
  const std::string exact = Join(dir, name);
  if (Exists(exact)) return exact;
  const std::string spelling = Lookup(dir, st, name);
  return spelling.empty() ? exact : Join(dir, spelling);
}

std::string CabinetTargets::Lookup(const std::string& dir,
                                   const struct stat& st,
                                   const std::string& name) {
  Folder& folder = folders_[dir];
  if (!folder.listed || !SameTime(folder.mtime, st.st_mtim)) {
    folder.mtime = st.st_mtim;
    List(dir, &folder);
  }
  const auto found = folder.by_folded_name.find(Folded(name));
  if (found == folder.by_folded_name.end()) return {};
  if (!Exists(Join(dir, found->second))) {
    folder.by_folded_name.erase(found);
    return {};
  }
  return found->second;
}

void CabinetTargets::List(const std::string& dir, Folder* folder) {
  folder->by_folded_name.clear();
  folder->listed = true;
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    const std::string_view entry = e->d_name;
    if (entry == "." || entry == "..") continue;
    // The first spelling listed wins, as in the machine's own lookup.
    folder->by_folded_name.emplace(Folded(entry), std::string(entry));
  }
  closedir(d);
}

void CabinetTargets::Written(const std::string& dir, const std::string& name) {
  const auto it = folders_.find(dir);
  if (it == folders_.end() || !it->second.listed) return;
  Folder& folder = it->second;
  folder.by_folded_name.emplace(Folded(name), name);
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) folder.mtime = st.st_mtim;
}

}  // namespace vorela::posix
