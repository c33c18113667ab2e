// ANSI code page through iconv. The code page comes from VORELA_ACP (default
// 932, the product's Japanese code page); 932 maps to iconv's CP932, which is
// the Windows variant of Shift_JIS (with its vendor rows and 0x5C as "\").
#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>

#include "base/utf.h"
#include "platform/posix/code_page_gaps.h"
#include "platform/text.h"

namespace vorela {
namespace {

std::string IconvName(std::uint32_t cp) {
  switch (cp) {
    case 932:
      return "CP932";
    case 936:
      return "CP936";
    case 949:
      return "CP949";
    case 950:
      return "CP950";
    case 65001:
      return "UTF-8";
    default:
      return "CP" + std::to_string(cp);
  }
}

// Converts in with cd; an input sequence that cannot be converted is replaced
// by `replacement` and skipped (one byte of input at a time).
std::string Convert(iconv_t cd, std::string_view in, std::string_view replacement,
                    size_t skip_unit) {
  std::string out;
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buffer[4096];
  while (src_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, dst - buffer);
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (incomplete at the end): replace and move on.
    size_t skip = std::min(src_left, skip_unit);
    if (skip_unit > 1) {
      // Skip one whole UTF-8 sequence. The platform replaces per UTF-16 unit, so
      // a character outside the BMP becomes two replacement characters.
      skip = 1;
      while (skip < src_left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
      if (skip == 4) out.append(replacement);
    }
    out.append(replacement);
    src += skip;
    src_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  char* dst = buffer;
  size_t dst_left = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dst_left);
  out.append(buffer, dst - buffer);
  return out;
}

// One conversion of the whole of in; false when iconv refuses any of it.
bool ConvertAll(iconv_t cd, std::string_view in, std::string* out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buffer[4096];
  while (src_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out->append(buffer, dst - buffer);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) return false;
  }
  return true;
}

// ANSI bytes to UTF-8. Where iconv refuses a sequence the Windows tables
// decide what it becomes (see code_page_gaps.h), so that both builds read the
// same text from the same bytes. Text with such a sequence is converted again
// one character (single byte or lead-byte pair) at a time: converters differ
// in where they stop on a refused pair (glibc's CP949 consumes it), so the
// character boundaries are ours, not the converter's.
std::string FromCodePage(iconv_t cd, std::string_view in, const posix::CodePageGaps& gaps) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  if (ConvertAll(cd, in, &out)) return out;
  out.clear();
  std::size_t i = 0;
  while (i < in.size()) {
    const unsigned char byte = static_cast<unsigned char>(in[i]);
    const std::size_t length = gaps.UnitLength(in, i);
    std::string one;
    if (ConvertAll(cd, in.substr(i, length), &one)) {
      out += one;
    } else if (length > 1 || gaps.IsLeadByte(byte)) {
      AppendUtf8(&out, gaps.DefaultChar());
    } else {
      AppendUtf8(&out, gaps.SingleByte(byte));
    }
    i += length;
  }
  return out;
}

class IconvCodec final : public TextCodec {
 public:
  explicit IconvCodec(std::uint32_t cp) : cp_(cp), gaps_(cp) {}
  ~IconvCodec() override {
    if (to_ansi_ != reinterpret_cast<iconv_t>(-1)) iconv_close(to_ansi_);
    if (from_ansi_ != reinterpret_cast<iconv_t>(-1)) iconv_close(from_ansi_);
  }

  std::uint32_t CodePage() const override { return cp_; }

  std::string ToAnsi(std::string_view utf8) const override {
    if (IsAscii(utf8)) return std::string(utf8);
    std::lock_guard lock(mutex_);
    OpenConverters();
    return Convert(to_ansi_, utf8, "?", 4);
  }

  std::string FromAnsi(std::string_view ansi) const override {
    if (IsAscii(ansi)) return std::string(ansi);
    std::lock_guard lock(mutex_);
    OpenConverters();
    return FromCodePage(from_ansi_, ansi, gaps_);
  }

 private:
  // The converters are opened on the first text that needs them: opening
  // one loads the code page's module, which most runs never need, as their
  // text is ASCII. Called with mutex_ held.
  void OpenConverters() const {
    if (opened_) return;
    opened_ = true;
    const std::string name = IconvName(cp_);
    to_ansi_ = iconv_open(name.c_str(), "UTF-8");
    from_ansi_ = iconv_open("UTF-8", name.c_str());
  }

  static bool IsAscii(std::string_view s) {
    for (unsigned char c : s) {
      if (c >= 0x80) return false;
    }
    return true;
  }

  std::uint32_t cp_;
  posix::CodePageGaps gaps_;
  mutable std::mutex mutex_;
  mutable bool opened_ = false;
  mutable iconv_t to_ansi_ = reinterpret_cast<iconv_t>(-1);
  mutable iconv_t from_ansi_ = reinterpret_cast<iconv_t>(-1);
};

std::uint32_t CodePageFromEnvironment() {
  const char* value = std::getenv("VORELA_ACP");
  if (value && *value) {
    char* end = nullptr;
    unsigned long cp = std::strtoul(value, &end, 10);
    if (end && *end == '\0' && cp > 0 && cp < 65536) return static_cast<std::uint32_t>(cp);
  }
  return 932;
}

}  // namespace

TextCodec& SystemTextCodec() {
  static IconvCodec codec(CodePageFromEnvironment());
  return codec;
}

}  // namespace vorela
