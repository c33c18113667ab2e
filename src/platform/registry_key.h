// An open registry key that closes itself: the owner of one RegKey handle of a
// Registry, so that no path out of a function (an early return, an exception)
// leaves a handle open.
//
// Open and Create follow the seam's rule for out-values: on failure the key
// keeps whatever it held before (still open, or still empty); on success the
// handle it held before is closed and replaced. The key is move-only; a
// moved-from key is empty. The Registry must outlive every key opened on it.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/registry.h"

namespace vorela {

class RegistryKey {
 public:
  explicit RegistryKey(Registry& registry) : registry_(&registry) {}
  ~RegistryKey() { Close(); }

  RegistryKey(RegistryKey&& other) noexcept
      : registry_(other.registry_), handle_(std::exchange(other.handle_, 0)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      Close();
      registry_ = other.registry_;
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // RegOpenKeyExA of sub_key below root.
  [[nodiscard]] Win32Error Open(RegKey root, std::string_view sub_key, std::uint32_t access) {
    RegKey opened = 0;
    const Win32Error rc = registry_->OpenKey(root, sub_key, access, &opened);
    if (rc == kErrorSuccess) Reset(opened);
    return rc;
  }
  // RegCreateKeyExA of sub_key below root; missing parents are created.
  [[nodiscard]] Win32Error Create(RegKey root, std::string_view sub_key, std::uint32_t access) {
    RegKey created = 0;
    const Win32Error rc = registry_->CreateKey(root, sub_key, access, &created);
    if (rc == kErrorSuccess) Reset(created);
    return rc;
  }

  // Closes the handle now (no-op when empty); the key is empty afterwards.
  void Close() {
    if (handle_ != 0) registry_->CloseKey(std::exchange(handle_, 0));
  }
  // Hands the handle to the caller, who closes it; the key is empty afterwards.
  [[nodiscard]] RegKey Release() { return std::exchange(handle_, 0); }

  RegKey get() const { return handle_; }
  bool valid() const { return handle_ != 0; }
  explicit operator bool() const { return valid(); }
  Registry& registry() const { return *registry_; }

 private:
  void Reset(RegKey handle) {
    Close();
    handle_ = handle;
  }

  Registry* registry_;
  RegKey handle_ = 0;
};

}  // namespace vorela
