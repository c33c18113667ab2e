// Reading .reg files: the text is decoded whole, then checked and turned into
// statements line by line; nothing is carried out here.
#include <algorithm>

#include "common/reg_file.h"
#include "common/reg_text.h"
#include "common/text_util.h"

namespace vorela {
namespace {

constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kVersion4 = "REGEDIT4";
constexpr std::size_t kMaxKeyName = 256;
// The registry's ANSI functions take sub-key paths of up to 260 characters.
constexpr std::size_t kMaxKeyPath = 260;

struct Failure {
  int line;
  std::string what;
};

std::string_view TrimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return s.substr(i);
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  std::size_t end = s.size();
  while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
  return s.substr(0, end);
}

// Nothing but blanks or a ";" comment.
bool IsEmptyRest(std::string_view rest) {
  rest = TrimLeft(rest);
  return rest.empty() || rest.front() == ';';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithIgnoreCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() &&
         EqualsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

int LineOfOffset(std::string_view text, std::size_t offset) {
  return 1 + static_cast<int>(
                 std::count(text.begin(), text.begin() + offset, '\n'));
}

// The file as UTF-8 text, from whichever encoding it is in.
bool Decode(std::string_view bytes, const TextCodec& codec, std::string* text,
            Failure* failure) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    std::string_view body = bytes.substr(2);
    *text = Utf16LeToUtf8(body);
    if (body.size() % 2 != 0) {
      *failure = {LineOfOffset(*text, text->size()), "the file is truncated"};
      return false;
    }
    return true;
  }
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
    *failure = {1, "UTF-16 big-endian files are not supported"};
    return false;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
  } else if (bytes.substr(0, kVersion4.size()) == kVersion4) {
    *text = codec.FromAnsi(bytes);
    return true;
  }
  // UTF-8: the bytes must be well formed; find the first bad line to report.
  if (std::size_t bad = Utf8ErrorOffset(bytes); bad != std::string_view::npos) {
    *failure = {LineOfOffset(bytes, bad), "the text is not valid UTF-8"};
    return false;
  }
  *text = std::string(bytes);
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

class Parser {
 public:
  Parser(std::vector<std::string_view> lines, const TextCodec& codec)
      : lines_(std::move(lines)), codec_(codec) {}

  bool Run(std::vector<RegStatement>* out, Failure* failure);

 private:
  bool Fail(std::string what) {
    failure_ = {line_number(), std::move(what)};
    return false;
  }
  int line_number() const { return static_cast<int>(index_) + 1; }
  bool ParseHeader();
  bool ParseKeyLine(std::string_view s);
  bool ParseValueLine(std::string_view s);
  bool ParseQuoted(std::string_view s, std::size_t* pos, std::string* out);
  bool ParseHexBytes(std::string_view rest, std::string* bytes);

  std::vector<std::string_view> lines_;
  const TextCodec& codec_;
  std::size_t index_ = 0;
  bool version4_ = false;
  bool in_key_ = false;
  bool in_deleted_key_ = false;
  RegStatement key_;
  std::vector<RegStatement> statements_;
  Failure failure_{0, ""};
};

bool Parser::Run(std::vector<RegStatement>* out, Failure* failure) {
  bool ok = ParseHeader();
  for (++index_; ok && index_ < lines_.size(); ++index_) {
    std::string_view s = TrimLeft(lines_[index_]);
    if (s.empty() || s.front() == ';') continue;
    if (s.front() == '[') {
      ok = ParseKeyLine(s);
    } else if (s.front() == '@' || s.front() == '"') {
      ok = ParseValueLine(s);
    } else {
      ok = Fail("unexpected text (neither a key nor a value)");
    }
  }
  if (!ok) {
    *failure = failure_;
    return false;
  }
  *out = std::move(statements_);
  return true;
}

bool Parser::ParseHeader() {
  while (index_ < lines_.size() && Trim(lines_[index_]).empty()) ++index_;
  if (index_ == lines_.size()) return Fail("the file is empty");
  std::string_view header = Trim(lines_[index_]);
  if (header == kVersion5) return true;
  if (header == kVersion4) {
    version4_ = true;
    return true;
  }
  return Fail("not a registry file (the header line is missing)");
}

bool Parser::ParseKeyLine(std::string_view s) {
  std::size_t close = s.rfind(']');
  if (close == std::string_view::npos)
    return Fail("the key name has no closing \"]\"");
  if (!IsEmptyRest(s.substr(close + 1)))
    return Fail("unexpected text after the key name");
  std::string_view inner = s.substr(1, close - 1);
  bool remove = !inner.empty() && inner.front() == '-';
  if (remove) inner.remove_prefix(1);
  RegStatement key;
  key.kind = remove ? RegStatement::Kind::kDeleteKey : RegStatement::Kind::kKey;
  key.line = line_number();
  if (!ParseRootedKey(inner, &key.root, &key.path)) {
    return Fail("unknown root key in \"" + std::string(inner) + "\"");
  }
  if (!key.path.empty() && key.path.front() == '\\')
    return Fail("the key path is malformed");
  if (Utf16Length(key.path) > kMaxKeyPath)
    return Fail("the key path is longer than 260 characters");
  std::size_t start = 0;
  while (start <= key.path.size()) {
    std::size_t end = std::min(key.path.find('\\', start), key.path.size());
    if (Utf16Length(std::string_view(key.path).substr(start, end - start)) >
        kMaxKeyName) {
      return Fail("a key name is longer than 256 characters");
    }
    start = end + 1;
  }
  if (remove && key.path.empty()) return Fail("a root key cannot be deleted");
  in_key_ = true;
  in_deleted_key_ = remove;
  statements_.push_back(key);
  key_ = std::move(key);
  return true;
}

bool Parser::ParseQuoted(std::string_view s, std::size_t* pos,
                         std::string* out) {
  ++*pos;  // the opening quote
  for (; *pos < s.size(); ++*pos) {
    char c = s[*pos];
    if (c == '"') {
      ++*pos;
      return true;
    }
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (++*pos == s.size()) break;
    switch (s[*pos]) {
      case '\\':
        out->push_back('\\');
        break;
      case '"':
        out->push_back('"');
        break;
      case 'n':
        out->push_back('\n');
        break;
      case 'r':
        out->push_back('\r');
        break;
      case '0':
        out->push_back('\0');
        break;
      default:
        return Fail(std::string("bad escape sequence \"\\") + s[*pos] + "\"");
    }
  }
  return Fail("the string has no closing quote");
}

bool Parser::ParseHexBytes(std::string_view rest, std::string* bytes) {
  for (;;) {
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() == ';') return true;
    if (rest.front() == '\\') {
      if (!IsEmptyRest(rest.substr(1)))
        return Fail("unexpected text after \"\\\"");
      bool last = index_ + 1 >= lines_.size() ||
                  (index_ + 2 == lines_.size() && lines_[index_ + 1].empty());
      if (last) return Fail("the file ends inside a value");
      rest = lines_[++index_];
      if (IsEmptyRest(rest)) return Fail("the continued hex data is missing");
      continue;
    }
    int high = HexDigit(rest.front());
    if (high < 0) return Fail("bad hex data");
    rest.remove_prefix(1);
    int value = high;
    if (!rest.empty() && HexDigit(rest.front()) >= 0) {
      value = value * 16 + HexDigit(rest.front());
      rest.remove_prefix(1);
    }
    if (!rest.empty() && HexDigit(rest.front()) >= 0)
      return Fail("bad hex data");
    bytes->push_back(static_cast<char>(value));
    rest = TrimLeft(rest);
    if (!rest.empty() && rest.front() == ',') {
      rest.remove_prefix(1);
    } else if (!rest.empty() && rest.front() != '\\' && rest.front() != ';') {
      return Fail("bad hex data");
    }
  }
}

bool Parser::ParseValueLine(std::string_view s) {
  RegStatement value;
  value.line = line_number();
  std::size_t pos = 0;
  if (s.front() == '@') {
    pos = 1;
  } else if (!ParseQuoted(s, &pos, &value.name)) {
    return false;
  }
  std::string_view rest = TrimLeft(s.substr(pos));
  if (rest.empty() || rest.front() != '=')
    return Fail("\"=\" expected after the value name");
  rest = TrimLeft(rest.substr(1));
  if (!in_key_) return Fail("a value before the first key");
  value.root = key_.root;
  value.path = key_.path;
  if (!rest.empty() && rest.front() == '-') {
    if (!IsEmptyRest(rest.substr(1)))
      return Fail("unexpected text after \"-\"");
    value.kind = RegStatement::Kind::kDeleteValue;
  } else if (!rest.empty() && rest.front() == '"') {
    std::size_t at = 0;
    std::string text;
    if (!ParseQuoted(rest, &at, &text)) return false;
    if (!IsEmptyRest(rest.substr(at)))
      return Fail("unexpected text after the string");
    value.kind = RegStatement::Kind::kSetValue;
    value.type = kRegSz;
    value.data = Utf8ToUtf16Le(text) + std::string(2, '\0');
  } else if (StartsWithIgnoreCase(rest, "dword:")) {
    rest.remove_prefix(6);
    std::size_t digits = 0;
    std::uint32_t number = 0;
    while (digits < rest.size() && HexDigit(rest[digits]) >= 0) {
      number = number * 16 + HexDigit(rest[digits]);
      ++digits;
    }
    if (digits == 0 || digits > 8 || !IsEmptyRest(rest.substr(digits))) {
      return Fail("bad dword data");
    }
    value.kind = RegStatement::Kind::kSetValue;
    value.type = kRegDword;
    for (int i = 0; i < 4; ++i)
      value.data.push_back(static_cast<char>(number >> (8 * i)));
  } else if (StartsWithIgnoreCase(rest, "hex")) {
    rest.remove_prefix(3);
    value.type = kRegBinary;
    if (!rest.empty() && rest.front() == '(') {
      std::size_t close = rest.find(')');
      std::string_view digits = close == std::string_view::npos
                                    ? std::string_view()
                                    : rest.substr(1, close - 1);
      if (digits.empty() || digits.size() > 8 ||
          !std::all_of(digits.begin(), digits.end(),
                       [](char c) { return HexDigit(c) >= 0; })) {
        return Fail("bad value type in \"hex(...)\"");
      }
      value.type = 0;
      for (char c : digits) value.type = value.type * 16 + HexDigit(c);
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':') return Fail("unknown value type");
    value.kind = RegStatement::Kind::kSetValue;
    if (!ParseHexBytes(rest.substr(1), &value.data)) return false;
    bool string_type = value.type == kRegSz || value.type == kRegExpandSz ||
                       value.type == kRegMultiSz;
    // The old form keeps string data in the ANSI code page.
    if (version4_ && string_type)
      value.data = Utf8ToUtf16Le(codec_.FromAnsi(value.data));
  } else {
    return Fail("unknown value type");
  }
  if (!in_deleted_key_) statements_.push_back(std::move(value));
  return true;
}

}  // namespace

bool ParseRootedKey(std::string_view text, RegKey* root, std::string* path) {
  std::size_t slash = text.find('\\');
  std::string_view name = text.substr(0, slash);
  if (EqualsIgnoreCase(name, "HKEY_CURRENT_USER") ||
      EqualsIgnoreCase(name, "HKCU")) {
    *root = kHkeyCurrentUser;
  } else if (EqualsIgnoreCase(name, "HKEY_LOCAL_MACHINE") ||
             EqualsIgnoreCase(name, "HKLM")) {
    *root = kHkeyLocalMachine;
  } else {
    return false;
  }
  *path = slash == std::string_view::npos ? std::string()
                                          : std::string(text.substr(slash + 1));
  return true;
}

std::string_view RootName(RegKey root) {
  if (root == kHkeyCurrentUser) return "HKEY_CURRENT_USER";
  if (root == kHkeyLocalMachine) return "HKEY_LOCAL_MACHINE";
  return "";
}

bool ParseRegFile(std::string_view bytes, const TextCodec& codec,
                  std::vector<RegStatement>* statements, std::string* error) {
  statements->clear();
  std::string text;
  Failure failure{0, ""};
  if (!Decode(bytes, codec, &text, &failure) ||
      !Parser(SplitLines(text), codec).Run(statements, &failure)) {
    statements->clear();
    *error = "line " + std::to_string(failure.line) + ": " + failure.what;
    return false;
  }
  return true;
}

}  // namespace vorela
