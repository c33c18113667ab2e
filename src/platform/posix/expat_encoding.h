// The encodings expat does not know by itself (it reads UTF-8, UTF-16,
// ISO-8859-1 and US-ASCII), described to it through iconv: a byte map for the
// single bytes and the lengths of the longer sequences, and a conversion for
// those sequences. Encodings that expat cannot take this way (stateful ones
// such as ISO-2022-JP, or characters beyond U+FFFF) read what they can: the
// sequences expat cannot use count as malformed.
#pragma once

#include <expat.h>

namespace vorela::posix {

// An XML_UnknownEncodingHandler; its handler data is not used.
int XMLCALL DescribeUnknownEncoding(void* handler_data, const XML_Char* name,
                                    XML_Encoding* info);

}  // namespace vorela::posix
