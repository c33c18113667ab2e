#include "common/text_util.h"

#include <cstdio>

namespace vorela {

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    std::size_t len = Utf8SequenceLength(c);
    units += len == 4 ? 2 : 1;
    i += len;
  }
  return units;
}

std::string LastChars(std::string_view utf8, std::size_t count) {
  std::size_t total = Utf16Length(utf8);
  if (count >= total) return std::string(utf8);
  std::size_t skip_units = total - count;
  std::size_t i = 0;
  while (i < utf8.size() && skip_units > 0) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    std::size_t len = Utf8SequenceLength(c);
    std::size_t units = len == 4 ? 2 : 1;
    if (units > skip_units) break;  // never split a surrogate pair
    skip_units -= units;
    i += len;
  }
  return std::string(utf8.substr(i));
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return out;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string ZeroPad(long long value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
  return buffer;
}

}  // namespace vorela
