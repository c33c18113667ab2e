// An in-memory FileSystem for unit tests: a map of path -> bytes, with folders,
// a log of calls, and per-path fault injection. Paths are compared exactly (no
// case folding, no normalisation): tests use one spelling per file.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace vorela::testing {

class FakeFileSystem : public FileSystem {
 public:
  // Set-up and inspection.
  void AddFile(const std::string& path, std::string bytes) {
    files_[path] = std::move(bytes);
  }
  void AddDirectory(const std::string& path) { directories_.insert(path); }
  bool HasFile(const std::string& path) const {
    return files_.count(path) != 0;
  }
  // The file's bytes ("" when it does not exist).
  std::string Contents(const std::string& path) const;
  // Whether the file was last written by WriteAtomicOwnerOnly (which calls()
  // and FailOn know as "WriteAtomic").
  bool IsOwnerOnly(const std::string& path) const { return owner_only_.count(path) != 0; }
  // Every call as "Operation path" (and " -> to" for two-path calls), in order.
  const std::vector<std::string>& calls() const { return calls_; }

  // Makes every later call of `operation` ("GetLength", "ReadAll",
  // "WriteAtomic", "Delete", ...) on path fail with code.
  void FailOn(const std::string& operation, const std::string& path,
              Win32Error code) {
    faults_[operation + " " + path] = code;
  }

  Win32Error GetLength(std::string_view path, std::uint64_t* length) override;
  Win32Error FindEntry(std::string_view path, FileEntry* entry) override;
  Win32Error ReadAll(std::string_view path, std::string* bytes) override;
  Win32Error WriteAtomic(std::string_view path,
                         std::string_view bytes) override;
  Win32Error WriteAtomicOwnerOnly(std::string_view path, std::string_view bytes) override;
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
  // Logs the call and returns its injected fault (kErrorSuccess when none).
  Win32Error Enter(const char* operation, std::string_view path,
                   std::string_view to = {});
  Win32Error Write(const char* operation, std::string_view path, std::string_view bytes);

  std::map<std::string, std::string> files_;
  std::set<std::string> directories_;
  std::set<std::string> read_only_;
  std::set<std::string> owner_only_;
  std::map<std::string, Win32Error> faults_;
  std::vector<std::string> calls_;
};

}  // namespace vorela::testing
