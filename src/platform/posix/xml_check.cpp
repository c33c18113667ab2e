#include "platform/posix/xml_check.h"

#include <cstdint>

namespace vorela::posix {
namespace {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    char x = a[k] >= 'A' && a[k] <= 'Z' ? a[k] + 32 : a[k];
    char y = b[k] >= 'A' && b[k] <= 'Z' ? b[k] + 32 : b[k];
    if (x != y) return false;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Decodes one UTF-8 character at text[*i]; false for malformed input (overlong
// forms, surrogates, values above U+10FFFF, truncated sequences).
bool NextChar(std::string_view text, std::size_t* i, std::uint32_t* out) {
  auto byte = [&](std::size_t k) {
    return static_cast<unsigned char>(text[k]);
  };
  unsigned char lead = byte(*i);
  int extra = 0;
  std::uint32_t cp = 0;
  if (lead < 0x80) {
    cp = lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return false;
  }
  if (extra > 0 && *i + extra >= text.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    unsigned char c = byte(*i + k);
    if ((c & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (c & 0x3F);
  }
  if ((extra == 2 && cp < 0x800) ||
      (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    return false;
  }
  *i += extra + 1;
  *out = cp;
  return true;
}

bool IsXmlChar(std::uint32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
         (c >= 'A' && c <= 'F');
}

// A reference starting at text[i] == '&'; on success *end is just past ';'.
bool ValidReference(std::string_view text, std::size_t i, std::size_t* end) {
  std::size_t semi = text.find(';', i);
  if (semi == std::string_view::npos || semi - i > 16) return false;
  std::string_view body = text.substr(i + 1, semi - i - 1);
  *end = semi + 1;
  if (body == "lt" || body == "gt" || body == "amp" || body == "quot" ||
      body == "apos")
    return true;
  if (body.size() < 2 || body[0] != '#') return false;
  std::uint32_t value = 0;
  bool hex = body[1] == 'x';
  std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return false;
  for (char c : digits) {
    if (hex ? !IsHex(c) : !(c >= '0' && c <= '9')) return false;
    unsigned d = (c >= '0' && c <= '9') ? c - '0' : ((c | 0x20) - 'a' + 10);
    value = value * (hex ? 16 : 10) + d;
  }
  return IsXmlChar(value);
}

std::string_view DeclaredEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml" || text.size() < 6 || !IsBlank(text[5]))
    return {};
  std::size_t close = text.find("?>");
  std::string_view decl = text.substr(0, close);
  std::size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  std::size_t quote = decl.find_first_of("\"'", at);
  if (quote == std::string_view::npos) return {};
  std::size_t end = decl.find(decl[quote], quote + 1);
  if (end == std::string_view::npos) return {};
  return decl.substr(quote + 1, end - quote - 1);
}

}  // namespace

// UTF-16 with its byte order mark (already removed) to UTF-8; false for an
// odd length or an unpaired surrogate.
bool Utf16ToUtf8(std::string_view bytes, bool big_endian, std::string* utf8) {
  if (bytes.size() % 2) return false;
  utf8->clear();
  utf8->reserve(bytes.size());
  auto unit = [&](std::size_t k) {
    unsigned char a = static_cast<unsigned char>(bytes[k]);
    unsigned char b = static_cast<unsigned char>(bytes[k + 1]);
    return static_cast<std::uint32_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
  };
  for (std::size_t k = 0; k < bytes.size(); k += 2) {
    std::uint32_t cp = unit(k);
    if (cp >= 0xDC00 && cp <= 0xDFFF) return false;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (k + 3 >= bytes.size()) return false;
      std::uint32_t low = unit(k + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      k += 2;
    }
    if (cp < 0x80) {
      utf8->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      utf8->push_back(static_cast<char>(0xC0 | (cp >> 6)));
      utf8->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      utf8->push_back(static_cast<char>(0xE0 | (cp >> 12)));
      utf8->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      utf8->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      utf8->push_back(static_cast<char>(0xF0 | (cp >> 18)));
      utf8->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      utf8->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      utf8->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return true;
}

bool NormalizeXmlEncoding(std::string_view bytes, std::string* utf8) {
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                            (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    return Utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE', utf8);
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::string_view encoding = DeclaredEncoding(bytes);
  if (encoding.empty() || EqualsIgnoreCase(encoding, "UTF-8") ||
      EqualsIgnoreCase(encoding, "UTF8")) {
    utf8->assign(bytes);
    return true;
  }
  if (EqualsIgnoreCase(encoding, "ISO-8859-1") ||
      EqualsIgnoreCase(encoding, "latin1")) {
    utf8->clear();
    utf8->reserve(bytes.size());
    for (char ch : bytes) {
      unsigned char c = static_cast<unsigned char>(ch);
      if (c < 0x80) {
        utf8->push_back(ch);
      } else {
        utf8->push_back(static_cast<char>(0xC0 | (c >> 6)));
        utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
      }
    }
    return true;
  }
  return false;
}

bool PassesXmlLexicalChecks(std::string_view text) {
  // The platform DOM refuses documents nested deeper than this; refusing them
  // here too also bounds the recursion of everything that walks the tree.
  constexpr long kMaxDepth = 257;
  enum class State { kContent, kTag, kComment, kCdata, kPi };
  State state = State::kContent;
  char quote = 0;            // inside an attribute value when set
  bool after_value = false;  // just after an attribute value's closing quote
  bool end_tag = false;      // the tag being read is an end tag
  long depth = 0;            // open elements; text outside the root is refused
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80 ||
        static_cast<unsigned char>(c) < 0x20) {
      std::uint32_t cp = 0;
      if (!NextChar(text, &i, &cp) || !IsXmlChar(cp)) return false;
      after_value = false;
      continue;
    }
    switch (state) {
      case State::kContent:
        if (c == '<') {
          std::string_view rest = text.substr(i);
          if (rest.substr(0, 4) == "<!--") {
            state = State::kComment;
            i += 4;
            continue;
          }
          if (rest.substr(0, 9) == "<![CDATA[") {
            state = State::kCdata;
            i += 9;
            continue;
          }
          if (rest.substr(0, 2) == "<!") return false;  // DOCTYPE and friends
          if (rest.substr(0, 2) == "<?") {
            std::string_view target = rest.substr(2, 4);
            bool is_xml =
                target.size() >= 3 &&
                EqualsIgnoreCase(target.substr(0, 3), "xml") &&
                (target.size() == 3 || IsBlank(target[3]) || target[3] == '?');
            // A declaration only at the very start, spelled in lower case,
            // and opened by its version; other targets of that name are
            // reserved.
            if (is_xml) {
              if (i != 0 || target.substr(0, 3) != "xml") return false;
              std::size_t at = 5;
              while (at < text.size() && IsBlank(text[at])) ++at;
              if (text.substr(at, 7) != "version") return false;
            }
            state = State::kPi;
            i += 2;
            continue;
          }
          state = State::kTag;
          quote = 0;
          after_value = false;
          end_tag = rest.substr(0, 2) == "</";
          if (end_tag) {
            --depth;
          } else if (depth >= kMaxDepth) {
            return false;  // nested deeper than the platform DOM reads
          }
        } else if (depth <= 0 && !IsBlank(c)) {
          return false;  // text before or after the root element
        } else if (c == '&') {
          std::size_t end = 0;
          if (!ValidReference(text, i, &end)) return false;
          i = end;
          continue;
        } else if (c == ']' && text.substr(i, 3) == "]]>") {
          return false;
        }
        break;
      case State::kTag:
        if (quote) {
          if (c == quote) {
            quote = 0;
            after_value = true;
            ++i;
            continue;
          }
          if (c == '<') return false;
          if (c == '&') {
            std::size_t end = 0;
            if (!ValidReference(text, i, &end)) return false;
            i = end;
            continue;
          }
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (after_value && !IsBlank(c) && c != '/' && c != '>') {
          return false;
        } else if (c == '>') {
          state = State::kContent;
          if (!end_tag && text[i - 1] != '/') ++depth;
        }
        after_value = false;
        break;
      case State::kComment:
        if (c == '-' && text.substr(i, 2) == "--") {
          if (text.substr(i, 3) != "-->") return false;
          state = State::kContent;
          i += 3;
          continue;
        }
        break;
      case State::kCdata:
        if (c == ']' && text.substr(i, 3) == "]]>") {
          state = State::kContent;
          i += 3;
          continue;
        }
        break;
      case State::kPi:
        if (c == '?' && text.substr(i, 2) == "?>") {
          state = State::kContent;
          i += 2;
          continue;
        }
        break;
    }
    ++i;
  }
  return true;
}

}  // namespace vorela::posix
