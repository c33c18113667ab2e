// The registry seam over advapi32's ANSI functions and shlwapi's SHDeleteKeyA,
// one call each.
#include "platform/win32/windows_lean.h"
// windows.h first.
#include <shlwapi.h>

#include <string>
#include <vector>

#include "platform/registry.h"

namespace vorela {
namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

class Win32Registry : public Registry {
 public:
  Win32Error OpenKey(RegKey root, std::string_view sub_key,
                     std::uint32_t access, RegKey* key) override {
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(ToHkey(root), std::string(sub_key).c_str(), 0,
                            access, &opened);
    if (rc == ERROR_SUCCESS) *key = reinterpret_cast<RegKey>(opened);
    return static_cast<Win32Error>(rc);
  }

  Win32Error CreateKey(RegKey root, std::string_view sub_key,
                       std::uint32_t access, RegKey* key) override {
    HKEY created = nullptr;
    LONG rc = RegCreateKeyExA(ToHkey(root), std::string(sub_key).c_str(), 0,
                              nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                              &created, nullptr);
    if (rc == ERROR_SUCCESS) *key = reinterpret_cast<RegKey>(created);
    return static_cast<Win32Error>(rc);
  }

  Win32Error QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* size) override {
    DWORD got_type = 0;
    DWORD got_size = size ? *size : 0;
    LONG rc = RegQueryValueExA(ToHkey(key), std::string(name).c_str(), nullptr,
                               &got_type, data, size ? &got_size : nullptr);
    if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
      if (type) *type = got_type;
      if (size) *size = got_size;
    }
    return static_cast<Win32Error>(rc);
  }

  Win32Error SetValue(RegKey key, std::string_view name, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override {
    // A string handed over without its terminator gets one, so that it reads
    // back terminated on every system (the A function guesses by peeking past
    // the end of the caller's data, which is not ours to read).
    std::vector<std::uint8_t> copy;
    if (data && size && IsStringType(type) && data[size - 1] != 0) {
      copy.assign(data, data + size);
      copy.push_back(0);
      data = copy.data();
      size = static_cast<std::uint32_t>(copy.size());
    }
    return static_cast<Win32Error>(RegSetValueExA(
        ToHkey(key), std::string(name).c_str(), 0, type, data, size));
  }

  Win32Error EnumKey(RegKey key, std::uint32_t index, char* name,
                     std::uint32_t* name_size) override {
    DWORD length = *name_size;
    FILETIME written;
    LONG rc = RegEnumKeyExA(ToHkey(key), index, name, &length, nullptr, nullptr,
                            nullptr, &written);
    if (rc == ERROR_SUCCESS) *name_size = length;
    return static_cast<Win32Error>(rc);
  }

  Win32Error EnumValue(RegKey key, std::uint32_t index, char* name,
                       std::uint32_t* name_size, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* data_size) override {
    DWORD length = *name_size;
    DWORD got_type = 0;
    DWORD got_size = data_size ? *data_size : 0;
    LONG rc = RegEnumValueA(ToHkey(key), index, name, &length, nullptr,
                            &got_type, data, data_size ? &got_size : nullptr);
    if (rc == ERROR_SUCCESS) {
      *name_size = length;
      if (type) *type = got_type;
    }
    if ((rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) && data_size)
      *data_size = got_size;
    return static_cast<Win32Error>(rc);
  }

  Win32Error DeleteValue(RegKey key, std::string_view name) override {
    return static_cast<Win32Error>(
        RegDeleteValueA(ToHkey(key), std::string(name).c_str()));
  }

  Win32Error DeleteKey(RegKey root, std::string_view sub_key) override {
    return static_cast<Win32Error>(
        RegDeleteKeyA(ToHkey(root), std::string(sub_key).c_str()));
  }

  Win32Error DeleteTree(RegKey root, std::string_view sub_key) override {
    // SHDeleteKeyA with an empty path would empty a whole hive.
    if (sub_key.empty() &&
        (root == kHkeyCurrentUser || root == kHkeyLocalMachine)) {
      return kErrorAccessDenied;
    }
    return static_cast<Win32Error>(
        SHDeleteKeyA(ToHkey(root), std::string(sub_key).c_str()));
  }

  Win32Error CloseKey(RegKey key) override {
    return static_cast<Win32Error>(RegCloseKey(ToHkey(key)));
  }
};

}  // namespace

Registry& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace vorela
