#include "platform/posix/machine.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace vorela::posix {
namespace {

// kProgramFolder below the root.
constexpr char kProgramSubFolder[] = "/drive_c/Program Files/vorela";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The spelling of `name` that exists in `dir`: the exact one when present,
// else the first entry equal to it without regard to case, else `name`.
std::string ResolveComponent(const std::string& dir, std::string_view name) {
  std::string exact = dir.empty() ? std::string(name) : dir + "/" + std::string(name);
  if (name == "." || name == ".." || Exists(exact)) return std::string(name);
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::string(name);
  std::string found(name);
  while (dirent* e = readdir(d)) {
    if (EqualsIgnoringAsciiCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

// Makes path and its missing parents. The folder itself is tried first, so
// that a machine whose folders are all there costs one call per folder, not
// one per component of its path.
bool MakeDirs(const std::string& path) {
  if (path.empty() || mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return false;
  if (!MakeDirs(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace

std::string MachineRoot() {
  if (const char* root = std::getenv("VORELA_ROOT"); root && *root) return root;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    return std::string(xdg) + "/vorela";
  }
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/vorela";
}

std::string UserName() {
  // Looking the user up reads the name service's files each time; the answer
  // is asked for on every path resolution, so it is kept per user id.
  static std::mutex mutex;
  static uid_t cached_uid = static_cast<uid_t>(-1);
  static std::string cached;
  const uid_t uid = geteuid();
  std::lock_guard lock(mutex);
  if (cached.empty() || cached_uid != uid) {
    cached_uid = uid;
    if (passwd* pw = getpwuid(uid); pw && pw->pw_name && *pw->pw_name) {
      cached = pw->pw_name;
    } else if (const char* user = std::getenv("USER"); user && *user) {
      cached = user;
    } else {
      cached = "user";
    }
  }
  return cached;
}

bool EnsureProgramFolder() { return MakeDirs(MachineRoot() + kProgramSubFolder); }

bool EnsureMachineFolders() {
  const std::string root = MachineRoot();
  const std::string user = "/drive_c/users/" + UserName();
  const std::string shell = user + "/AppData/Roaming/Microsoft/Windows";
  for (const std::string& sub :
       {std::string("/drive_c/windows/system32"), std::string("/drive_c/windows/Fonts"),
        user + "/Temp", user + "/Desktop", user + "/Documents", user + "/Favorites",
        shell + "/Start Menu/Programs/StartUp", shell + "/Recent", shell + "/SendTo",
        std::string("/drive_c/Program Files/Common Files"), std::string(kProgramSubFolder)}) {
    if (!MakeDirs(root + sub)) return false;
  }
  return true;
}

bool HasTrailingSeparator(std::string_view windows_path) {
  return !windows_path.empty() && IsSeparator(windows_path.back());
}

std::string NativePath(std::string_view path) {
  std::string_view rest = path;
  std::string prefix;  // native folder the components hang from ("" = "/")
  bool relative = false;
  if (rest.size() >= 2 && rest[1] == ':' && ((rest[0] | 0x20) >= 'a' && (rest[0] | 0x20) <= 'z')) {
    const char drive = static_cast<char>(rest[0] | 0x20);
    if (drive != 'z') prefix = MachineRoot() + "/drive_" + std::string(1, drive);
    rest.remove_prefix(2);
  } else if (rest.empty() || !IsSeparator(rest.front())) {
    relative = true;
  }

  // "." and ".." are folded the way Windows folds them before any file call:
  // never above the drive's root.
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && IsSeparator(rest[i])) ++i;
    size_t j = i;
    while (j < rest.size() && !IsSeparator(rest[j])) ++j;
    std::string_view part = rest.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") {
        parts.pop_back();
      } else if (relative) {
        parts.push_back(part);
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j;
  }

  std::string out = prefix;
  for (std::string_view part : parts) {
    const std::string dir = out.empty() ? (relative ? "." : "/") : out;
    const std::string name = part == ".." ? std::string(part) : ResolveComponent(dir, part);
    if (out.empty()) {
      out = relative ? name : "/" + name;
    } else {
      out += "/" + name;
    }
  }
  if (out.empty()) out = relative ? "." : "/";
  if (HasTrailingSeparator(rest) && out.back() != '/') out += '/';
  return out;
}

std::string WindowsPath(std::string_view native_path) {
  const std::string drive_c = MachineRoot() + "/drive_c";
  std::string path(native_path);
  std::string out;
  if (path.rfind(drive_c, 0) == 0 &&
      (path.size() == drive_c.size() || path[drive_c.size()] == '/')) {
    out = "C:" + path.substr(drive_c.size());
    if (out == "C:") out = "C:\\";
  } else if (!path.empty() && path[0] == '/') {
    out = "Z:" + path;
  } else {
    out = path;
  }
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

}  // namespace vorela::posix
