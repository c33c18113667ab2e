#include "cleaner/legacy_registry.h"

#include <array>

#include "common/registry_helpers.h"

namespace vorela {

std::int32_t ToLong(std::string_view text) {
  try {
    return TextToLong(text);
  } catch (...) {
    return 0;
  }
}

std::string RegReadBinary(const Platform& platform, RegKey root, std::string_view sub_key,
                          std::string_view value_name) {
  Registry& registry = *platform.registry;
  RegKey key = 0;
  std::string result;
  if (registry.OpenKey(root, platform.text->ToAnsi(sub_key), kKeyAllAccess, &key) ==
      kErrorSuccess) {
    std::array<std::uint8_t, 1024> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    if (registry.QueryValue(key, platform.text->ToAnsi(value_name), &type, buffer.data(),
                            &size) == kErrorSuccess &&
        size <= buffer.size()) {
      result.assign(reinterpret_cast<const char*>(buffer.data()), size);
    }
  }
  registry.CloseKey(key);
  return result;
}

std::int32_t RegCountValues(const Platform& platform, RegKey root, std::string_view sub_key) {
  Registry& registry = *platform.registry;
  RegKey key = 0;
  if (registry.OpenKey(root, platform.text->ToAnsi(sub_key), kKeyRead, &key) != kErrorSuccess) {
    return -1;
  }
  std::int32_t count = 0;
  for (std::uint32_t index = 0;; ++index) {
    std::array<char, 100> name{};
    std::array<std::uint8_t, 100> data{};
    std::uint32_t name_size = static_cast<std::uint32_t>(name.size());
    std::uint32_t data_size = static_cast<std::uint32_t>(data.size());
    std::uint32_t type = 0;
    const Win32Error rc = registry.EnumValue(key, index, name.data(), &name_size, &type,
                                             data.data(), &data_size);
    if (rc == kErrorSuccess || rc == kErrorMoreData) {
      ++count;
      continue;
    }
    break;  // no more items, or the key went away
  }
  registry.CloseKey(key);
  return count - 1;
}

}  // namespace vorela
