// The encodings of XML documents in the POSIX build: every encoding iconv
// knows is read, so a file is never refused for the name in its declaration
// alone. Shared by the DOM (pugixml, which reads UTF-8 only) and the SAX
// reader (expat, which knows four encodings by itself).
#pragma once

#include <string>
#include <string_view>

namespace vorela::posix {

// The iconv name under which a declared encoding is read; "" for a name that
// is not an XML encoding name, that iconv does not know, or that is UTF-16 or
// UTF-32 (their bytes could not have been read as a declaration in the first
// place). Names are matched without regard to case; Shift_JIS and its aliases
// are read as code page 932, as the Windows build reads them, so that the
// vendor rows (circled digits, Roman numerals, ...) of files written on
// Japanese systems are not refused.
std::string IconvNameForXmlEncoding(std::string_view declared);

// The encoding named by the XML declaration at the start of text (after a
// byte order mark has been removed); "" when there is none.
std::string_view DeclaredXmlEncoding(std::string_view text);

// Brings the bytes of a document to UTF-8 without byte order mark, as the
// byte order mark or the declaration (or its absence) says they are encoded.
// False when a byte sequence is not valid in that encoding, or the encoding
// cannot be read (see IconvNameForXmlEncoding).
bool NormalizeXmlEncoding(std::string_view bytes, std::string* utf8);

// True when a declared encoding names UTF-8 (or no encoding is declared).
bool IsUtf8EncodingName(std::string_view declared);

}  // namespace vorela::posix
