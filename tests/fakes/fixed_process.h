// A fixed process: the program C:\tools\vorelamenu.exe with arguments the
// test sets, starting nothing, with locks the test can watch or refuse.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/process.h"

namespace vorela::testing {

// Each lock taken and given back is told to on_lock as "lock <file>" and
// "unlock <file>".
class FixedProcess : public Process {
 public:
  std::string args;
  std::function<void(const std::string&)> on_lock;
  Win32Error lock_error = kErrorSuccess;
  std::string ProgramPath() override { return "C:\\tools\\vorelamenu.exe"; }
  std::string CommandLineArgs() override { return args; }
  Win32Error StartDetached(std::string_view, std::string_view, bool) override {
    return kErrorCallNotImplemented;
  }
  std::unique_ptr<ProcessLock> LockExclusive(std::string_view file,
                                             Win32Error* error) override {
    *error = lock_error;
    if (lock_error) return nullptr;
    if (on_lock) on_lock("lock " + std::string(file));
    return std::make_unique<Lock>(on_lock, std::string(file));
  }
  static constexpr Win32Error kErrorCallNotImplemented = 120;

 private:
  class Lock : public ProcessLock {
   public:
    Lock(std::function<void(const std::string&)> on_lock, std::string file)
        : on_lock_(std::move(on_lock)), file_(std::move(file)) {}
    ~Lock() override {
      if (on_lock_) on_lock_("unlock " + file_);
    }

   private:
    std::function<void(const std::string&)> on_lock_;
    std::string file_;
  };
};

}  // namespace vorela::testing
