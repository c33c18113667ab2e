// KeptName: the copy of one element name that the XML file parser holds from
// a start tag to the end tag that closes it (a skipped or a captured element).
//
// The reader's names live only for its call, so the parser must copy one for
// every element it skips; a name of up to kInlineSize bytes (nearly every
// name) is copied in place with a few word moves, and never allocates.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cleaner/short_bytes.h"

namespace vorela {

class KeptName {
 public:
  static constexpr std::size_t kInlineSize = 40;

  // Only a longer name allocates, and may throw then; the kept name stays as
  // it was when that fails.
  void Assign(std::string_view name) {
    if (name.size() <= kInlineSize) {
      short_bytes::Copy(inline_, name.data(), name.size());
    } else {
      long_.assign(name);
    }
    size_ = name.size();
  }

  void Clear() { size_ = 0; }

  std::string_view view() const {
    return size_ <= kInlineSize ? std::string_view(inline_, size_) : std::string_view(long_);
  }

 private:
  std::size_t size_ = 0;
  char inline_[kInlineSize];
  std::string long_;  // the name when it is longer than kInlineSize
};

}  // namespace vorela
