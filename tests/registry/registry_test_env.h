// What every registry test stands on: a registry nobody else is using.
//
// Natively each test gets a fresh machine root (so a fresh store file); under
// Wine the prefix is not shared with a concurrent test but is reused by later
// ones, so each test works below a key of its own, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "support/machine_root.h"
#include "support/scratch.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace vorela::testing {

inline int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

inline std::string ReadTestData(const std::string& name) {
  return ReadNativeFile(std::string(VORELA_REGISTRY_DATA) + "/" + name);
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::make_unique<ScratchDir>();
    machine_ = std::make_unique<ScopedMachineRoot>(root_->native() + "/machine");
    static int counter = 0;
    base_ = "Software\\VorelaTest\\" + std::to_string(ProcessId()) + "-" +
            std::to_string(counter++);
    platform_.text = &SystemTextCodec();
    platform_.registry = &RegistryUnderTest();
    platform_.files = &SystemFileSystem();
    reg().DeleteTree(kHkeyCurrentUser, base_);
    ASSERT_EQ(reg().CreateKey(kHkeyCurrentUser, base_, kKeyAllAccess, &key_),
              kErrorSuccess);
  }

  void TearDown() override {
    reg().CloseKey(key_);
    reg().DeleteTree(kHkeyCurrentUser, base_);
    reg().DeleteKey(kHkeyCurrentUser,
                    "Software\\VorelaTest");  // only when empty
    machine_.reset();
  }

  // The backend the test runs on; a suite over several backends overrides it.
  virtual Registry& RegistryUnderTest() { return SystemRegistry(); }

  Registry& reg() { return *platform_.registry; }
  // base_ + "\" + rest.
  std::string Sub(const std::string& rest) const { return base_ + "\\" + rest; }

  // Writes a string value with its terminator.
  Win32Error SetString(RegKey key, const std::string& name,
                       const std::string& text, std::uint32_t type = kRegSz) {
    std::string bytes = text;
    bytes.push_back('\0');
    return reg().SetValue(key, name, type,
                          reinterpret_cast<const std::uint8_t*>(bytes.data()),
                          static_cast<std::uint32_t>(bytes.size()));
  }

  std::unique_ptr<ScratchDir> root_;
  std::unique_ptr<ScopedMachineRoot> machine_;
  std::string base_;
  RegKey key_ = 0;
  Platform platform_;
};

}  // namespace vorela::testing
