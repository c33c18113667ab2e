// The well-formedness checks that the platform DOM makes at load and that
// pugixml leaves out (it is a forgiving parser). Used by the pugixml backend so
// that a document loads there exactly when it loads in the Windows build.
#pragma once

#include <string>
#include <string_view>

namespace vorela::posix {

// Lexical checks on UTF-8 document text: valid characters only, references
// that name a known entity or a legal character, no "<" in attribute values,
// blanks between attributes, no "--" in comments, no "]]>" in text, an XML
// declaration only at the very start, elements nested at most 257 deep, text
// only inside the root element, and no document type declaration
// (documents with a DTD are refused, which also keeps entity expansion out).
bool PassesXmlLexicalChecks(std::string_view utf8);

}  // namespace vorela::posix
