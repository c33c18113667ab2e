// Text seam: the system's ANSI code page.
//
// Strings are UTF-8 in memory. Wherever the system needs bytes (the "A" entry
// points, registry values, cipher keys and string forms, cabinet file names) it
// converts through this codec, and only there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorela {

class TextCodec {
 public:
  virtual ~TextCodec() = default;

  // The code page in force (932 for the product's Japanese systems).
  virtual std::uint32_t CodePage() const = 0;

  // UTF-8 text to ANSI bytes. A character the code page cannot represent becomes
  // '?', as the platform's best-fit conversion does; invalid UTF-8 is treated the
  // same way. Never fails.
  virtual std::string ToAnsi(std::string_view utf8) const = 0;

  // ANSI bytes to UTF-8 text. A byte sequence that has no character in the code
  // page becomes the code page's default character (U+30FB for 932, "?" for the
  // others), a lead byte and its second byte counting as one sequence; both
  // builds give the same text for the same bytes. Never fails.
  virtual std::string FromAnsi(std::string_view ansi) const = 0;
};

// The codec of this build (CP_ACP on Windows; VORELA_ACP, default 932, elsewhere).
TextCodec& SystemTextCodec();

}  // namespace vorela
