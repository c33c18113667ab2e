#include "controls/property_store.h"

#include <charconv>
#include <cstdlib>

#include "common/text_util.h"
#include "controls/button_font.h"

namespace vorela {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

bool ParseUnsigned(std::string_view digits, int base, std::uint64_t* out) {
  if (digits.empty()) return false;
  std::uint64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return false;
  *out = value;
  return true;
}

// Decimal (signed, 32-bit range), hexadecimal as 0x1F or &H1F& (up to 32
// bits, so system colours such as &H80000005 fit), or rgb(r, g, b).
bool ParseInt(std::string_view text, std::int32_t* out) {
  text = Trim(text);
  const std::string lower = AsciiLower(text);
  std::string_view s = lower;
  std::uint64_t value = 0;
  if (s.starts_with("rgb(") && s.ends_with(")")) {
    s = s.substr(4, s.size() - 5);
    int channels[3];
    for (int i = 0; i < 3; ++i) {
      const std::size_t comma = i < 2 ? s.find(',') : s.size();
      if (comma == std::string_view::npos) return false;
      if (!ParseUnsigned(Trim(s.substr(0, comma)), 10, &value) || value > 255) return false;
      channels[i] = static_cast<int>(value);
      s = comma < s.size() ? s.substr(comma + 1) : std::string_view();
    }
    *out = static_cast<std::int32_t>(channels[0] | channels[1] << 8 | channels[2] << 16);
    return true;
  }
  std::string_view hex;
  if (s.starts_with("0x")) hex = s.substr(2);
  if (s.starts_with("&h")) {
    hex = s.substr(2);
    if (hex.ends_with("&")) hex.remove_suffix(1);
  }
  if (!hex.empty() || s.starts_with("0x") || s.starts_with("&h")) {
    if (!ParseUnsigned(hex, 16, &value) || value > 0xFFFFFFFFull) return false;
    *out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return true;
  }
  const bool negative = s.starts_with('-');
  if (negative || s.starts_with('+')) s.remove_prefix(1);
  if (!ParseUnsigned(s, 10, &value)) return false;
  if (value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
  *out = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                  : static_cast<std::int32_t>(value);
  return true;
}

bool ParseBool(std::string_view text, bool* out) {
  const std::string lower = AsciiLower(Trim(text));
  if (lower == "true") return *out = true, true;
  if (lower == "false") return *out = false, true;
  std::int32_t number = 0;
  if (!ParseInt(lower, &number)) return false;
  *out = number != 0;
  return true;
}

}  // namespace

std::string PropertyStore::Fold(std::string_view key) { return AsciiLower(key); }

const PropertyStore::Entry* PropertyStore::Lookup(std::string_view key) const {
  reads_.emplace_back(key);
  auto it = values_.find(Fold(key));
  return it == values_.end() ? nullptr : &it->second;
}

bool PropertyStore::Contains(std::string_view key) const {
  return values_.count(Fold(key)) != 0;
}

const PropertyValue* PropertyStore::Find(std::string_view key) const {
  auto it = values_.find(Fold(key));
  return it == values_.end() ? nullptr : &it->second.value;
}

bool PropertyStore::ReadBool(std::string_view key, bool fallback) const {
  const Entry* entry = Lookup(key);
  if (!entry) return fallback;
  if (const auto* b = std::get_if<bool>(&entry->value)) return *b;
  if (const auto* i = std::get_if<std::int32_t>(&entry->value)) return *i != 0;
  bool value = fallback;
  if (const auto* s = std::get_if<std::string>(&entry->value)) {
    if (ParseBool(*s, &value)) return value;
  }
  return fallback;
}

std::int32_t PropertyStore::ReadInt(std::string_view key, std::int32_t fallback) const {
  const Entry* entry = Lookup(key);
  if (!entry) return fallback;
  if (const auto* i = std::get_if<std::int32_t>(&entry->value)) return *i;
  if (const auto* b = std::get_if<bool>(&entry->value)) return *b ? -1 : 0;
  std::int32_t value = fallback;
  if (const auto* s = std::get_if<std::string>(&entry->value)) {
    if (ParseInt(*s, &value)) return value;
  }
  return fallback;
}

std::string PropertyStore::ReadString(std::string_view key, std::string fallback) const {
  const Entry* entry = Lookup(key);
  if (!entry) return fallback;
  if (const auto* s = std::get_if<std::string>(&entry->value)) return *s;
  if (const auto* i = std::get_if<std::int32_t>(&entry->value)) return std::to_string(*i);
  return fallback;
}

FontSpec PropertyStore::ReadFont(std::string_view key, FontSpec fallback) const {
  const Entry* entry = Lookup(key);
  if (!entry) return fallback;
  if (const auto* f = std::get_if<FontSpec>(&entry->value)) return *f;
  FontSpec font;
  if (const auto* s = std::get_if<std::string>(&entry->value)) {
    if (ParseFontText(*s, &font)) return font;
  }
  return fallback;
}

PictureRef PropertyStore::ReadPicture(std::string_view key) const {
  const Entry* entry = Lookup(key);
  if (!entry) return nullptr;
  if (const auto* p = std::get_if<StoredPicture>(&entry->value)) return p->picture;
  return nullptr;
}

void PropertyStore::Write(std::string_view key, PropertyValue value,
                          std::optional<PropertyValue> skip_if) {
  const std::string folded = Fold(key);
  if (skip_if && *skip_if == value) {
    if (values_.erase(folded)) std::erase(order_, folded);
    return;
  }
  auto [it, added] = values_.insert_or_assign(folded, Entry{std::string(key), std::move(value)});
  if (added) order_.push_back(folded);
}

PropertyStore PropertyStore::FromFormText(std::string_view text) {
  PropertyStore store;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = Trim(line.substr(eq + 1));
    // A quoted value keeps its blanks; quotes inside are doubled.
    std::string unquoted;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
      for (std::size_t i = 0; i < value.size(); ++i) {
        unquoted += value[i];
        if (value[i] == '"' && i + 1 < value.size() && value[i + 1] == '"') ++i;
      }
    } else {
      unquoted = value;
    }
    if (!key.empty()) store.Write(key, std::move(unquoted));
  }
  return store;
}

std::string PropertyStore::ToFormText() const {
  std::string out;
  for (const std::string& folded : order_) {
    const Entry& entry = values_.at(folded);
    std::string text;
    if (const auto* b = std::get_if<bool>(&entry.value)) {
      text = *b ? "True" : "False";
    } else if (const auto* i = std::get_if<std::int32_t>(&entry.value)) {
      text = std::to_string(*i);
    } else if (const auto* s = std::get_if<std::string>(&entry.value)) {
      text = "\"" + ReplaceAll(*s, "\"", "\"\"") + "\"";
    } else if (const auto* f = std::get_if<FontSpec>(&entry.value)) {
      text = FormatFontText(*f);
    } else if (const auto* p = std::get_if<StoredPicture>(&entry.value)) {
      text = "\"" + ReplaceAll(p->source, "\"", "\"\"") + "\"";
    }
    out += entry.key + " = " + text + "\n";
  }
  return out;
}

}  // namespace vorela
