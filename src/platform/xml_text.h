// Text as an XML document can carry it.
//
// XML 1.0 has no way to write the C0 controls other than tab, line feed and
// carriage return, nor U+FFFE and U+FFFF, not even as references: a document
// holding one does not load again, and the next edit of such a file would
// have to start afresh. Text from the registry or from old files can hold
// them (a legacy value stored as raw bytes, a "%01" in a secret), so every
// text set through the document seam passes through CarriableXmlText first,
// in both builds alike.
#pragma once

#include <string>
#include <string_view>

namespace vorela {

// The text with the characters XML cannot carry dropped, and every malformed
// UTF-8 sequence (a stray byte, a cut-off or overlong sequence, an encoded
// surrogate) replaced by one U+FFFD, the replacement the platform's own UTF-8
// conversion makes. Text that needs neither comes back unchanged.
std::string CarriableXmlText(std::string_view text);

// True when CarriableXmlText would return the text unchanged.
bool IsCarriableXmlText(std::string_view text);

}  // namespace vorela
