#include "common/text_util.h"

#include <cstdio>

namespace vorela {

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
