// Registry seam: the ANSI registry functions the programs call, one to one.
//
// Names and string data are ANSI bytes, as the "A" functions take them. Results
// are Win32 error codes with the A functions' exact meaning (2 for a missing key
// or value, 234 when a buffer is too small, 259 at the end of an enumeration,
// 5 for RegDeleteKeyA on a key that has subkeys, ...). Out-values are left
// untouched on failure. Key handles are plain numbers; the predefined roots are
// the platform's values.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela {

using RegKey = std::uintptr_t;

inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ: the types whose data is text.
bool IsStringType(std::uint32_t type);

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExA. An empty sub_key opens root itself again.
  virtual Win32Error OpenKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                             RegKey* key) = 0;
  // RegCreateKeyExA (non-volatile, default security): missing parents are created.
  virtual Win32Error CreateKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                               RegKey* key) = 0;
  // RegQueryValueExA. data may be null to ask for type and size only; on 234
  // *size is set to the size needed and data is untouched.
  virtual Win32Error QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* size) = 0;
  // RegSetValueExA: size bytes of data, stored as given.
  virtual Win32Error SetValue(RegKey key, std::string_view name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) = 0;
  // RegEnumKeyExA: *name_size is the buffer's size in characters on entry and the
  // name's length without the NUL on success; 234 when name and NUL do not fit.
  virtual Win32Error EnumKey(RegKey key, std::uint32_t index, char* name,
                             std::uint32_t* name_size) = 0;
  // RegEnumValueA, same buffer rules for name and data (data may be null).
  virtual Win32Error EnumValue(RegKey key, std::uint32_t index, char* name,
                               std::uint32_t* name_size, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* data_size) = 0;
  // RegDeleteValueA.
  virtual Win32Error DeleteValue(RegKey key, std::string_view name) = 0;
  // RegDeleteKeyA: refuses (5) a key that has subkeys.
  virtual Win32Error DeleteKey(RegKey root, std::string_view sub_key) = 0;
  // SHDeleteKeyA: the key, its values and all its subkeys.
  virtual Win32Error DeleteTree(RegKey root, std::string_view sub_key) = 0;
  // RegCloseKey. Closing a predefined root is a no-op that succeeds.
  virtual Win32Error CloseKey(RegKey key) = 0;
};

Registry& SystemRegistry();

}  // namespace vorela
