#include "platform/posix/expat_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/posix/xml_encoding.h"

namespace vorela::posix {
namespace {

constexpr int kMalformed = -1;

// What a conversion of a few bytes gave.
enum class Step { kChar, kIncomplete, kInvalid };

// The search for sequence lengths tries prefixes byte by byte; encodings that
// keep every prefix open (UTF-7's base64 runs) would make it try millions.
// Beyond this many conversions the encoding is not one expat can take.
constexpr int kProbeBudget = 1 << 18;

struct Converter {
  iconv_t cd = reinterpret_cast<iconv_t>(-1);
  int length[256] = {};  // bytes of the sequences each byte starts
  int probes_left = kProbeBudget;

  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }

  // Converts exactly these bytes to one character.
  Step One(const char* bytes, std::size_t n, std::uint32_t* cp) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(bytes);
    std::size_t src_left = n;
    unsigned char out[16];
    char* dst = reinterpret_cast<char*>(out);
    std::size_t dst_left = sizeof out;
    std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    if (rc == static_cast<std::size_t>(-1))
      return errno == EINVAL ? Step::kIncomplete : Step::kInvalid;
    // Exactly one character, and one that expat can hold (no shift
    // sequences that produce nothing, no characters beyond U+FFFF).
    if (sizeof out - dst_left != 4) return Step::kInvalid;
    *cp = out[0] | out[1] << 8 | out[2] << 16 |
          static_cast<std::uint32_t>(out[3]) << 24;
    return *cp <= 0xFFFF ? Step::kChar : Step::kInvalid;
  }

  // The length of the sequences that start with prefix (its first n bytes),
  // 0 when none of 2 to 4 bytes converts.
  int SequenceLength(char* prefix, std::size_t n) {
    if (n >= 4 || probes_left <= 0) return 0;
    bool longer = false;
    probes_left -= 256;
    for (int next = 0; next < 256; ++next) {
      prefix[n] = static_cast<char>(next);
      std::uint32_t cp = 0;
      Step step = One(prefix, n + 1, &cp);
      if (step == Step::kChar) return static_cast<int>(n + 1);
      longer = longer || step == Step::kIncomplete;
    }
    if (!longer) return 0;
    probes_left -= 256;
    for (int next = 0; next < 256; ++next) {
      prefix[n] = static_cast<char>(next);
      std::uint32_t cp = 0;
      if (One(prefix, n + 1, &cp) != Step::kIncomplete) continue;
      if (int length = SequenceLength(prefix, n + 1)) return length;
    }
    return 0;
  }
};

int XMLCALL ConvertSequence(void* data, const char* s) {
  auto* converter = static_cast<Converter*>(data);
  const int n = converter->length[static_cast<unsigned char>(s[0])];
  std::uint32_t cp = 0;
  if (n < 2 ||
      converter->One(s, static_cast<std::size_t>(n), &cp) != Step::kChar)
    return kMalformed;
  return static_cast<int>(cp);
}

void XMLCALL ReleaseConverter(void* data) {
  delete static_cast<Converter*>(data);
}

}  // namespace

int XMLCALL DescribeUnknownEncoding(void* /*handler_data*/,
                                    const XML_Char* name, XML_Encoding* info) {
  const std::string encoding = IconvNameForXmlEncoding(name ? name : "");
  if (encoding.empty()) return XML_STATUS_ERROR;
  auto converter = std::make_unique<Converter>();
  converter->cd = iconv_open("UTF-32LE", encoding.c_str());
  if (converter->cd == reinterpret_cast<iconv_t>(-1)) return XML_STATUS_ERROR;
  bool multi_byte = false;
  for (int b = 0; b < 256; ++b) {
    char bytes[4] = {static_cast<char>(b)};
    std::uint32_t cp = 0;
    switch (converter->One(bytes, 1, &cp)) {
      case Step::kChar:
        info->map[b] = static_cast<int>(cp);
        break;
      case Step::kInvalid:
        info->map[b] = kMalformed;
        break;
      case Step::kIncomplete: {
        const int length = converter->SequenceLength(bytes, 1);
        converter->length[b] = length;
        info->map[b] = length ? -length : kMalformed;
        multi_byte = multi_byte || length != 0;
        break;
      }
    }
  }
  if (converter->probes_left <= 0) return XML_STATUS_ERROR;
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  if (multi_byte) {
    info->data = converter.release();
    info->convert = ConvertSequence;
    info->release = ReleaseConverter;
  }
  return XML_STATUS_OK;
}

}  // namespace vorela::posix
