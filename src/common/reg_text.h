// UTF-8 <-> UTF-16LE for the .reg text format, which stores its text and the
// data of its string-typed values as UTF-16LE.
#pragma once

#include <string>
#include <string_view>

namespace vorela {

// UTF-8 to UTF-16LE bytes. Invalid UTF-8 becomes U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);

// UTF-16LE bytes to UTF-8. A lone surrogate becomes U+FFFD; a dangling odd byte
// at the end is dropped.
std::string Utf16LeToUtf8(std::string_view utf16le);

// The offset of the first ill-formed sequence of utf8, or npos when it is
// well-formed UTF-8.
std::size_t Utf8ErrorOffset(std::string_view utf8);

}  // namespace vorela
