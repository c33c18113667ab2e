// The caption table: the captions and messages of both programs, read from the
// product's "lang.xml".
//
// Every child node of the file's root is one entry: its key is the text of its
// first attribute (whatever that attribute is called), its caption the text of
// its first child element "CAPTION". The document's first child node is the
// root, so a file with a declaration or comment before its root element gives
// an empty table. Entries stay in file order; lookups take the first match.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vorela {

struct CaptionEntry {
  std::string CaptionKey;
  std::string CaptionText;
};

class CaptionTable {
 public:
  // Empties the table and fills it from the file; a missing or unreadable
  // file leaves it empty. A node without attribute gives an entry with an
  // empty key, one without CAPTION an entry with an empty text. Never throws.
  void LoadCaptions(const Platform& platform, std::string_view path);

  // The menu tool's lookup: the stored text of the first entry whose key
  // equals key exactly; "" when there is none.
  std::string GetCaption(std::string_view key) const;

  // The cleaner's lookup: as GetCaption, with every "@@" turned into "&" and
  // then every "||" into a line break (CR LF).
  std::string GetCaptionText(std::string_view key) const;

  const std::vector<CaptionEntry>& Entries() const { return entries_; }

 private:
  const CaptionEntry* Find(std::string_view key) const;

  std::vector<CaptionEntry> entries_;
};

}  // namespace vorela
