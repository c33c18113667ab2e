// A registry that passes every call on to another one (the build's real
// registry, typically) except the value queries a test makes fail: the way to
// see what a program does when a value is there but cannot be read.
#pragma once

#include <map>
#include <string>

#include "common/text_util.h"
#include "platform/registry.h"

namespace vorela::testing {

class FaultRegistry : public Registry {
 public:
  explicit FaultRegistry(Registry& real) : real_(real) {}

  // Every later query of a value of this name (any key, case ignored) fails
  // with code; kErrorSuccess lifts the fault.
  void FailQueries(const std::string& value_name, Win32Error code) {
    if (code == kErrorSuccess) {
      faults_.erase(AsciiUpper(value_name));
    } else {
      faults_[AsciiUpper(value_name)] = code;
    }
  }

  Win32Error OpenKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                     RegKey* key) override {
    return real_.OpenKey(root, sub_key, access, key);
  }
  Win32Error CreateKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                       RegKey* key) override {
    return real_.CreateKey(root, sub_key, access, key);
  }
  Win32Error QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* size) override {
    auto fault = faults_.find(AsciiUpper(name));
    if (fault != faults_.end()) return fault->second;
    return real_.QueryValue(key, name, type, data, size);
  }
  Win32Error SetValue(RegKey key, std::string_view name, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override {
    return real_.SetValue(key, name, type, data, size);
  }
  Win32Error EnumKey(RegKey key, std::uint32_t index, char* name,
                     std::uint32_t* name_size) override {
    return real_.EnumKey(key, index, name, name_size);
  }
  Win32Error EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* name_size,
                       std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* data_size) override {
    return real_.EnumValue(key, index, name, name_size, type, data, data_size);
  }
  Win32Error DeleteValue(RegKey key, std::string_view name) override {
    return real_.DeleteValue(key, name);
  }
  Win32Error DeleteKey(RegKey root, std::string_view sub_key) override {
    return real_.DeleteKey(root, sub_key);
  }
  Win32Error DeleteTree(RegKey root, std::string_view sub_key) override {
    return real_.DeleteTree(root, sub_key);
  }
  Win32Error CloseKey(RegKey key) override { return real_.CloseKey(key); }

 private:
  Registry& real_;
  std::map<std::string, Win32Error> faults_;
};

}  // namespace vorela::testing
