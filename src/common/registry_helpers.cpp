#include "common/registry_helpers.h"

#include <cmath>
#include <cstring>

#include "common/error.h"
#include "platform/registry_key.h"

namespace vorela {
namespace {

constexpr std::uint32_t kReadBufferSize = 1024;
constexpr std::uint32_t kEnumNameSize = 256;

// The bytes of buffer in front of its first NUL, as text.
std::string TextBeforeNul(const Platform& platform, const char* buffer,
                          std::size_t size) {
  const void* nul = std::memchr(buffer, 0, size);
  std::size_t length = nul ? static_cast<const char*>(nul) - buffer : size;
  return platform.text->FromAnsi(std::string_view(buffer, length));
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string RegReadString(const Platform& platform, RegKey root,
                          std::string_view sub_key,
                          std::string_view value_name) {
  Registry& registry = *platform.registry;
  RegistryKey key(registry);
  std::string result;
  if (key.Open(root, platform.text->ToAnsi(sub_key), kKeyAllAccess) == kErrorSuccess) {
    char buffer[kReadBufferSize] = {};
    std::uint32_t type = 0;
    std::uint32_t size = kReadBufferSize;
    if (registry.QueryValue(key.get(), platform.text->ToAnsi(value_name), &type,
                            reinterpret_cast<std::uint8_t*>(buffer),
                            &size) == kErrorSuccess) {
      result = TextBeforeNul(platform, buffer, sizeof buffer);
    }
  }
  return result;
}

std::int32_t TextToLong(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  std::string_view number = text.substr(begin, end - begin);
  auto mismatch = [] {
    return Error(RuntimeError::kTypeMismatch, "RegWriteValue", "Type mismatch");
  };
  std::size_t i = 0;
  bool negative = false;
  if (i < number.size() && (number[i] == '+' || number[i] == '-'))
    negative = number[i++] == '-';
  std::size_t digits = 0;
  double whole = 0;
  for (; i < number.size() && number[i] >= '0' && number[i] <= '9';
       ++i, ++digits) {
    whole = whole * 10 + (number[i] - '0');
  }
  // The fraction is judged from its digits, not summed in floating point: x87
  // arithmetic (32-bit builds) makes 0.1 * 5 come out above one half.
  int first_fraction_digit = 0;
  bool more_after_first = false;
  if (i < number.size() && number[i] == '.') {
    for (std::size_t place = 0; ++i < number.size() && number[i] >= '0' && number[i] <= '9';
         ++place, ++digits) {
      if (place == 0) {
        first_fraction_digit = number[i] - '0';
      } else if (number[i] != '0') {
        more_after_first = true;
      }
    }
  }
  if (digits == 0 || i != number.size()) throw mismatch();
  const bool above_half =
      first_fraction_digit > 5 || (first_fraction_digit == 5 && more_after_first);
  const bool exactly_half = first_fraction_digit == 5 && !more_after_first;
  double value = whole;
  if (above_half || (exactly_half && std::fmod(whole, 2) != 0)) value += 1;
  if (negative) value = -value;
  if (value < -2147483648.0 || value > 2147483647.0) {
    throw Error(RuntimeError::kOverflow, "RegWriteValue", "Overflow");
  }
  return static_cast<std::int32_t>(value);
}

bool RegWriteValue(const Platform& platform, RegKey root,
                   std::string_view sub_key, std::string_view value_name,
                   std::string_view value, bool as_dword) {
  Registry& registry = *platform.registry;
  RegistryKey key(registry);
  if (key.Create(root, platform.text->ToAnsi(sub_key), kKeyAllAccess) != kErrorSuccess) {
    return false;
  }
  std::string name = platform.text->ToAnsi(value_name);
  Win32Error rc;
  if (as_dword) {
    // A value that is no number throws; the key closes on the way out.
    const std::int32_t number = TextToLong(value);
    auto bits = static_cast<std::uint32_t>(number);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(bits),
                                   static_cast<std::uint8_t>(bits >> 8),
                                   static_cast<std::uint8_t>(bits >> 16),
                                   static_cast<std::uint8_t>(bits >> 24)};
    rc = registry.SetValue(key.get(), name, kRegDword, bytes, 4);
  } else {
    std::string bytes = platform.text->ToAnsi(value);
    bytes.push_back('\0');
    rc = registry.SetValue(key.get(), name, kRegSz,
                           reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           static_cast<std::uint32_t>(bytes.size()));
  }
  return rc == kErrorSuccess;
}

std::int32_t RegEnumSubKeys(const Platform& platform, RegKey root,
                            std::string_view sub_key,
                            std::vector<std::string>& names) {
  Registry& registry = *platform.registry;
  RegistryKey key(registry);
  if (key.Open(root, platform.text->ToAnsi(sub_key), kKeyEnumerateSubKeys) != kErrorSuccess) {
    return -1;
  }
  std::uint32_t i = 0;
  for (;; ++i) {
    char buffer[kEnumNameSize] = {};
    std::uint32_t length = kEnumNameSize;
    if (registry.EnumKey(key.get(), i, buffer, &length) != kErrorSuccess) break;
    if (i == 0) names.clear();
    names.resize(i + 1);
    names[i] = TextBeforeNul(platform, buffer, sizeof buffer);
  }
  return static_cast<std::int32_t>(i) - 1;
}

}  // namespace vorela
