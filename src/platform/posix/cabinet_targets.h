// Where the cabinet walk writes its files off Windows: Windows-form targets
// resolved to native paths the way the machine resolves every path (a name
// whose exact spelling does not exist matches an existing one of another case),
// at a cost that does not grow with the number of files already in a folder.
//
// The machine's path mapping lists a folder each time a name is not found
// exactly, which is what every new file of a walk is: unpacking n files into
// one folder would read that folder n times. Here each folder is listed once
// per walk into an index of its names without regard to case; the files the
// walk writes are added to it, and the index is read again only when the
// folder changed behind the walk's back (its modification time moved without
// the walk writing to it). Matches from the index are confirmed on disk before
// they are used. What is not caught: a name of another case that someone else
// creates in the same clock tick as the walk's own last write to that folder.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vorela::posix {

class CabinetTargets {
 public:
  // The native path for a Windows-form target (UTF-8), or "" when it names no
  // file (empty, or ending in a separator). *folder_missing tells a missing
  // folder apart.
  std::string Resolve(std::string_view target, bool* folder_missing);

  // Records that the walk created or replaced `name` in native folder `dir`.
  void Written(const std::string& dir, const std::string& name);

 private:
  struct Folder {
    std::unordered_map<std::string, std::string> by_folded_name;
    timespec mtime{};
    bool listed = false;
  };

  // The spelling of name that exists in dir without regard to case, or "".
  // `st` is what the folder's stat answered just now.
  std::string Lookup(const std::string& dir, const struct stat& st,
                     const std::string& name);
  void List(const std::string& dir, Folder* folder);

  std::unordered_map<std::string, Folder> folders_;  // by native folder
  std::unordered_map<std::string, std::string> native_dirs_;  // by target folder
};

}  // namespace vorela::posix
