// An in-memory FileSystem for unit tests: files and folders under implicit
// drive roots ("C:"), with a log of calls and per-path fault injection.
//
// It keeps the seam's contract as the system backends do (the file contract
// runs over it): names match without regard to ASCII case and keep the
// spelling they were first given, "/" is a separator too, a missing folder on
// the way is "path not found" (3), read-only files are refused, listings come
// sorted as the platform lists them. What it does not model: hidden and system
// attributes, links, permissions and the temporaries of a save.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace vorela::testing {

class FakeFileSystem : public FileSystem {
 public:
  // Set-up and inspection, outside the log and the faults. AddFile and
  // AddDirectory make the folders on the way; a file added again is replaced.
  void AddFile(const std::string& path, std::string bytes);
  void AddDirectory(const std::string& path);
  // Whether a file (not a folder) of that name exists.
  bool HasFile(const std::string& path) const;
  // The file's bytes ("" when it does not exist).
  std::string Contents(const std::string& path) const;
  // Whether the file was last written by WriteAtomicOwnerOnly (which calls()
  // and FailOn know as "WriteAtomic").
  bool IsOwnerOnly(const std::string& path) const;
  // The names of the files and folders directly in folder, as spelt when they
  // were made, in no particular order.
  std::vector<std::string> EntriesIn(const std::string& folder) const;
  // Every call as "Operation path" (and " -> to" for two-path calls), in order,
  // with the paths as the caller spelt them.
  const std::vector<std::string>& calls() const { return calls_; }

  // Makes every later call of `operation` ("GetLength", "ReadAll",
  // "WriteAtomic", "Delete", ...) on path, spelt exactly so, fail with code.
  void FailOn(const std::string& operation, const std::string& path, Win32Error code) {
    faults_[operation + " " + path] = code;
  }

  Win32Error GetLength(std::string_view path, std::uint64_t* length) override;
  Win32Error FindEntry(std::string_view path, FileEntry* entry) override;
  Win32Error ReadAll(std::string_view path, std::string* bytes) override;
  Win32Error WriteAtomic(std::string_view path, std::string_view bytes) override;
  Win32Error WriteAtomicOwnerOnly(std::string_view path, std::string_view bytes) override;
  // Refused up front where WriteAtomic would refuse; the bytes arrive with a
  // WriteAtomic at the commit (logged and faulted as one).
  Win32Error BeginReplace(std::string_view path, std::unique_ptr<FileWriter>* writer) override;
  Win32Error Copy(std::string_view from, std::string_view to) override;
  Win32Error Delete(std::string_view path) override;
  Win32Error Rename(std::string_view from, std::string_view to) override;
  Win32Error MakeDirectory(std::string_view path) override;
  Win32Error RemoveEmptyDirectory(std::string_view path) override;
  Win32Error ListFiles(std::string_view folder, std::string_view pattern,
                       std::vector<std::string>* names) override;
  Win32Error DeleteTree(std::string_view path, bool force) override;
  Win32Error SetReadOnly(std::string_view path, bool read_only) override;

 private:
  struct Node {
    std::string name;  // the last part of the path, as first spelt
    bool is_directory = false;
    bool read_only = false;
    bool owner_only = false;
    std::string bytes;
  };
  using Nodes = std::map<std::string, Node>;  // by Key()

  // Logs the call and returns its injected fault (kErrorSuccess when none).
  Win32Error Enter(const char* operation, std::string_view path, std::string_view to = {});
  Win32Error Write(std::string_view path, std::string_view bytes, bool owner_only);
  // Why a write to path would be refused (kErrorSuccess when it would not).
  Win32Error CheckReplaceable(std::string_view path) const;
  // Why path names nothing: its folder is missing (3) or it is (2).
  Win32Error MissingCode(const std::string& key) const;
  bool FolderExists(const std::string& key) const;
  const Node* Find(const std::string& key) const;
  Node* Find(const std::string& key);
  // Creates the folders on the way to key, spelt as in path.
  void MakeParents(const std::string& key, std::string_view path);
  std::vector<Nodes::iterator> Below(const std::string& key);

  Nodes nodes_;
  std::map<std::string, Win32Error> faults_;
  std::vector<std::string> calls_;
};

}  // namespace vorela::testing
