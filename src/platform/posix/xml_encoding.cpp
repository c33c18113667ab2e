#include "platform/posix/xml_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "base/ascii.h"
#include "base/utf.h"
#include "platform/posix/xml_declaration.h"

namespace vorela::posix {
namespace {

// XML's EncName: [A-Za-z] ([A-Za-z0-9._] | '-')*. Anything else (a "/" above
// all, which iconv would read as options) is not a name.
bool IsEncName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (std::size_t k = 0; k < name.size(); ++k) {
    const char c = name[k];
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (k == 0 ? !letter
               : !(letter || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-')) {
      return false;
    }
  }
  return true;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Strict: any sequence the encoding does not define fails the conversion.
bool Decode(const std::string& encoding, std::string_view bytes, std::string* utf8) {
  Iconv cd("UTF-8", encoding.c_str());
  if (!cd.ok()) return false;
  utf8->clear();
  utf8->reserve(bytes.size() + bytes.size() / 2);
  char* src = const_cast<char*>(bytes.data());
  std::size_t src_left = bytes.size();
  char buffer[8192];
  while (src_left > 0) {
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    std::size_t rc = iconv(cd.get(), &src, &src_left, &dst, &dst_left);
    utf8->append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
  }
  // Stateful encodings may still owe the end of a shift sequence.
  for (;;) {
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    std::size_t rc = iconv(cd.get(), nullptr, nullptr, &dst, &dst_left);
    utf8->append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc != static_cast<std::size_t>(-1)) return true;
    if (errno != E2BIG) return false;
  }
}

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
    if (IsLowSurrogate(cp)) return false;
    if (IsHighSurrogate(cp)) {
      if (k + 3 >= bytes.size()) return false;
      std::uint32_t low = unit(k + 2);
      if (!IsLowSurrogate(low)) return false;
      cp = CombineSurrogates(cp, low);
      k += 2;
    }
    AppendUtf8(utf8, cp);
  }
  return true;
}

}  // namespace

std::string IconvNameForXmlEncoding(std::string_view declared) {
  if (!IsEncName(declared)) return {};
  const std::string name = AsciiLower(declared);
  if (name.rfind("utf-16", 0) == 0 || name.rfind("utf-32", 0) == 0 || name.rfind("utf16", 0) == 0 ||
      name.rfind("utf32", 0) == 0 || name.rfind("ucs-", 0) == 0 || name.rfind("ucs2", 0) == 0 ||
      name.rfind("ucs4", 0) == 0 || name.rfind("iso-10646", 0) == 0 || name == "unicode") {
    return {};
  }
  if (name == "utf-8" || name == "utf8") return "UTF-8";
  if (name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "x-sjis" ||
      name == "ms_kanji" || name == "csshiftjis" || name == "windows-31j" || name == "cp932" ||
      name == "ms932") {
    return "CP932";
  }
  std::string iconv_name(declared);
  Iconv probe("UTF-8", iconv_name.c_str());
  return probe.ok() ? iconv_name : std::string();
}

std::string_view DeclaredXmlEncoding(std::string_view text) {
  XmlDeclaration decl;
  if (!ParseXmlDeclaration(text, &decl)) return {};
  return decl.encoding;
}

bool IsUtf8EncodingName(std::string_view declared) {
  const std::string name = AsciiLower(declared);
  return name.empty() || name == "utf-8" || name == "utf8";
}

bool NormalizeXmlEncoding(std::string_view bytes, std::string* utf8) {
  if (bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    return Utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE', utf8);
  }
  // A byte order mark says UTF-8 whatever the declaration says.
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    utf8->assign(bytes.substr(3));
    return true;
  }
  std::string_view declared = DeclaredXmlEncoding(bytes);
  if (declared.empty()) {
    utf8->assign(bytes);
    return true;
  }
  const std::string encoding = IconvNameForXmlEncoding(declared);
  if (encoding.empty()) return false;
  if (encoding == "UTF-8") {
    utf8->assign(bytes);
    return true;
  }
  return Decode(encoding, bytes, utf8);
}

}  // namespace vorela::posix
