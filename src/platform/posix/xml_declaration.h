// The XML declaration at the start of a document, read by its grammar:
//   '<?xml' S 'version' Eq '1.' digits [S 'encoding' Eq EncName]
//   [S 'standalone' Eq ('yes' | 'no')] S? '?>'
// with each value in single or double quotes. The platform DOM refuses a
// document whose declaration breaks it; reading a misspelt one loosely would
// take an encoding from it that the saved file then no longer names.
#pragma once

#include <cstddef>
#include <string_view>

namespace vorela::posix {

struct XmlDeclaration {
  std::string_view version;
  std::string_view encoding;    // empty when not declared
  std::string_view standalone;  // empty when not declared
  std::size_t length = 0;       // bytes up to and including "?>"
};

// True when text starts with a well-formed XML declaration; fills *out.
bool ParseXmlDeclaration(std::string_view text, XmlDeclaration* out);

}  // namespace vorela::posix
