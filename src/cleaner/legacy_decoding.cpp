#include "cleaner/legacy_decoding.h"

#include <vector>

#include "common/error.h"
#include "common/text_util.h"

namespace vorela {
namespace {

// The text as characters (UTF-8 sequences), so that positions count
// characters as the stored forms were written.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t len = Utf8SequenceLength(c);
    if (i + len > text.size()) len = text.size() - i;
    out.push_back(text.substr(i, len));
    i += len;
  }
  return out;
}

int HexValue(std::string_view ch) {
  if (ch.size() != 1) return -1;
  const char c = ch[0];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

long long ParseDecimal(const std::vector<std::string_view>& chars, size_t from, size_t to) {
  std::string digits;
  for (size_t i = from; i < to; ++i) digits += chars[i];
  size_t i = 0;
  while (i < digits.size() && digits[i] == ' ') ++i;
  bool negative = false;
  if (i < digits.size() && (digits[i] == '-' || digits[i] == '+')) negative = digits[i++] == '-';
  long long value = 0;
  size_t start = i;
  while (i < digits.size() && digits[i] >= '0' && digits[i] <= '9') {
    value = value * 10 + (digits[i] - '0');
    if (value > 1000000000000LL) throw Error(RuntimeError::kOverflow, "vorelacleaner", "Overflow");
    ++i;
  }
  while (i < digits.size() && digits[i] == ' ') ++i;
  if (start == i || i != digits.size()) {
    throw Error(RuntimeError::kTypeMismatch, "vorelacleaner", "Type mismatch");
  }
  return negative ? -value : value;
}

}  // namespace

std::int16_t LegacyKeySum(std::string_view key, const TextCodec& codec) {
  int sum = 0;
  for (std::string_view ch : Characters(key)) {
    const std::string ansi = codec.ToAnsi(ch);
    int code = 0;
    for (unsigned char b : ansi) code = code * 256 + b;
    sum += code + 4;
  }
  return static_cast<std::int16_t>(sum);
}

std::string DecodeLegacyTitle(std::string_view text, std::string_view key,
                              const TextCodec& codec) {
  const int k = LegacyKeySum(key, codec);
  const std::vector<std::string_view> chars = Characters(text);
  const size_t length = chars.size();
  // 1-based positions as the form is defined; a position past the end holds
  // no character.
  auto at = [&](size_t position) -> std::string_view {
    return position >= 1 && position <= length ? chars[position - 1] : std::string_view();
  };
  std::string result;
  size_t p = 0;
  while (p < length) {
    ++p;
    if (at(p) != ".") continue;
    size_t q = p + 1;
    while (true) {
      if (at(q) == ".") break;
      ++q;
      if (at(q) == ".") {
        const long long n = ParseDecimal(chars, p, q - 1);
        const long long c = n - k;
        if (c > 255 || c <= 0) return "Failed";
        result += codec.FromAnsi(std::string(1, static_cast<char>(c)));
        p = q - 1;
      }
      if (q > length) return result;
    }
  }
  return result;
}

std::string UrlDecodeBytes(std::string_view text, const TextCodec& codec) {
  std::string out;
  if (text.empty()) return out;
  const std::vector<std::string_view> chars = Characters(text);
  const size_t length = chars.size();
  out.reserve(length);
  size_t i = 0;  // 0-based here
  while (i < length) {
    std::string_view c = chars[i];
    if (c == "%") {
      const size_t following = length - i - 1;
      if (following >= 2) {
        const int x = HexValue(chars[i + 1]);
        const int y = HexValue(chars[i + 2]);
        if (x >= 0 && y >= 0) {
          out += static_cast<char>(x * 16 + y);
          i += 3;
        } else if (x >= 0) {
          out += static_cast<char>(x);
          i += 2;
        } else {
          out += '%';
          i += 1;
        }
      } else if (following == 1) {
        const int x = HexValue(chars[i + 1]);
        if (x >= 0) {
          out += static_cast<char>(x);
          i += 2;
        } else {
          out += '%';
          i += 1;
        }
      } else {
        out += '%';
        i += 1;
      }
    } else if (c == "+") {
      out += ' ';
      i += 1;
    } else {
      const std::string ansi = codec.ToAnsi(c);
      if (ansi.size() == 1) out += ansi[0];
      i += 1;
    }
  }
  return out;
}

}  // namespace vorela
