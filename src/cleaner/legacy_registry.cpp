#include "cleaner/legacy_registry.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/registry_helpers.h"
#include "platform/registry_key.h"

namespace vorela {
namespace {

constexpr std::uint32_t kRegQword = 11;

}  // namespace

std::int32_t ToLong(std::string_view text) {
  try {
    return TextToLong(text);
  } catch (...) {
    return 0;
  }
}

LegacyValue RegReadWholeValue(const Platform& platform, RegKey root, std::string_view sub_key,
                              std::string_view value_name) {
  Registry& registry = *platform.registry;
  LegacyValue result;
  RegistryKey key(registry);
  const Win32Error open = key.Open(root, platform.text->ToAnsi(sub_key), kKeyRead);
  if (open != kErrorSuccess) {
    result.status = open == kErrorFileNotFound ? LegacyRead::kMissing : LegacyRead::kFailed;
    return result;
  }
  const std::string name = platform.text->ToAnsi(value_name);
  result.status = LegacyRead::kFailed;
  // The size asked first may already be stale when the data is read (another
  // program writing the value): ask again a few times, then give up.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    Win32Error rc = registry.QueryValue(key.get(), name, &type, nullptr, &size);
    if (rc == kErrorFileNotFound) {
      result.status = LegacyRead::kMissing;
      break;
    }
    if (rc != kErrorSuccess) break;
    std::string buffer(size, '\0');
    std::uint8_t dummy = 0;
    rc = registry.QueryValue(key.get(), name, &type,
                             size ? reinterpret_cast<std::uint8_t*>(buffer.data()) : &dummy,
                             &size);
    if (rc == kErrorMoreData) continue;
    if (rc == kErrorFileNotFound) {
      result.status = LegacyRead::kMissing;
      break;
    }
    if (rc != kErrorSuccess || size > buffer.size()) break;
    buffer.resize(size);
    result.status = LegacyRead::kRead;
    result.type = type;
    result.bytes = std::move(buffer);
    break;
  }
  return result;
}

std::string LegacyValueText(const TextCodec& codec, const LegacyValue& value) {
  if (value.status != LegacyRead::kRead) return "";
  const std::string& b = value.bytes;
  auto little_endian = [&](size_t count) {
    std::uint64_t n = 0;
    for (size_t i = std::min(count, b.size()); i-- > 0;) {
      n = (n << 8) | static_cast<std::uint8_t>(b[i]);
    }
    return n;
  };
  if (value.type == kRegDword && !b.empty()) {
    return std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(little_endian(4))));
  }
  if (value.type == kRegQword && !b.empty()) {
    return std::to_string(static_cast<std::int64_t>(little_endian(8)));
  }
  return codec.FromAnsi(std::string_view(b.data(), std::min(b.find('\0'), b.size())));
}

std::string RegReadBinary(const Platform& platform, RegKey root, std::string_view sub_key,
                          std::string_view value_name) {
  return RegReadWholeValue(platform, root, sub_key, value_name).bytes;
}

std::int32_t RegCountValues(const Platform& platform, RegKey root, std::string_view sub_key) {
  Registry& registry = *platform.registry;
  RegistryKey key(registry);
  if (key.Open(root, platform.text->ToAnsi(sub_key), kKeyRead) != kErrorSuccess) return -1;
  std::int32_t count = 0;
  for (std::uint32_t index = 0;; ++index) {
    std::array<char, 100> name{};
    std::array<std::uint8_t, 100> data{};
    std::uint32_t name_size = static_cast<std::uint32_t>(name.size());
    std::uint32_t data_size = static_cast<std::uint32_t>(data.size());
    std::uint32_t type = 0;
    const Win32Error rc = registry.EnumValue(key.get(), index, name.data(), &name_size, &type,
                                             data.data(), &data_size);
    if (rc == kErrorSuccess || rc == kErrorMoreData) {
      ++count;
      continue;
    }
    break;  // no more items, or the key went away
  }
  return count - 1;
}

}  // namespace vorela
