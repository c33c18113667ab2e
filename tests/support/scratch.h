// Scratch folders for tests: a fresh, empty folder per test, removed afterwards.
#pragma once

#include <string>

namespace vorela::testing {

// A new empty folder in the build's temporary area, as a native path.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The folder as a native path (what std::filesystem takes).
  const std::string& native() const { return native_; }
  // The folder in Windows form, as the programs' code takes paths.
  const std::string& path() const { return windows_; }
  // path() + "\" + name.
  std::string Join(const std::string& name) const { return windows_ + "\\" + name; }
  std::string NativeJoin(const std::string& name) const { return native_ + "/" + name; }

 private:
  std::string native_;
  std::string windows_;
};

// Writes and reads whole files by native path (test set-up only).
void WriteNativeFile(const std::string& native_path, const std::string& bytes);
std::string ReadNativeFile(const std::string& native_path);

}  // namespace vorela::testing
