#include "platform/posix/xml_declaration.h"

namespace vorela::posix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::size_t SkipBlanks() {
    std::size_t start = at_;
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
    return at_ - start;
  }
  bool Take(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool AtWord(std::string_view word) const { return text_.substr(at_, word.size()) == word; }
  // Eq and a quoted value; the value's bytes are checked by the caller.
  bool TakeValue(std::string_view* value) {
    SkipBlanks();
    if (!Take("=")) return false;
    SkipBlanks();
    if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) return false;
    const char quote = text_[at_++];
    const std::size_t end = text_.find(quote, at_);
    if (end == std::string_view::npos) return false;
    *value = text_.substr(at_, end - at_);
    at_ = end + 1;
    return true;
  }
  std::size_t Position() const { return at_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

bool IsVersionNumber(std::string_view v) {
  if (v.size() < 3 || v.substr(0, 2) != "1.") return false;
  for (char c : v.substr(2)) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool IsEncodingName(std::string_view v) {
  if (v.empty() || !IsAsciiLetter(v[0])) return false;
  for (char c : v) {
    if (!IsAsciiLetter(c) && !IsDigit(c) && c != '.' && c != '_' && c != '-') return false;
  }
  return true;
}

}  // namespace

bool ParseXmlDeclaration(std::string_view text, XmlDeclaration* out) {
  XmlDeclaration decl;
  Reader r(text);
  if (!r.Take("<?xml") || r.SkipBlanks() == 0 || !r.Take("version") ||
      !r.TakeValue(&decl.version) || !IsVersionNumber(decl.version)) {
    return false;
  }
  std::size_t blanks = r.SkipBlanks();
  if (blanks > 0 && r.AtWord("encoding")) {
    r.Take("encoding");
    if (!r.TakeValue(&decl.encoding) || !IsEncodingName(decl.encoding)) return false;
    blanks = r.SkipBlanks();
  }
  if (blanks > 0 && r.AtWord("standalone")) {
    r.Take("standalone");
    if (!r.TakeValue(&decl.standalone) ||
        (decl.standalone != "yes" && decl.standalone != "no")) {
      return false;
    }
    r.SkipBlanks();
  }
  if (!r.Take("?>")) return false;
  decl.length = r.Position();
  if (out != nullptr) *out = decl;
  return true;
}

}  // namespace vorela::posix
