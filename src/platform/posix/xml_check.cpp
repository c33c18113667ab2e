#include "platform/posix/xml_check.h"

#include <cstdint>

#include "base/ascii.h"
#include "base/utf.h"
#include "platform/posix/xml_declaration.h"

namespace vorela::posix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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

}  // namespace

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
      char32_t cp = 0;
      if (!DecodeUtf8(text, &i, &cp) || !IsXmlChar(cp)) return false;
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
              if (!ParseXmlDeclaration(text, nullptr)) return false;
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
