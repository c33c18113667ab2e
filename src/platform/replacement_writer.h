// A FileWriter over a backend's atomic replacement: bytes go to a temporary
// beside the destination and replace it on Commit. Both backends share this
// adapter; each brings its own Replacement (constructed from the backend's
// native path and an owner-only flag, with error/Write/Commit).
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/files.h"

namespace vorela {

template <class Replacement>
class ReplacementWriter : public FileWriter {
 public:
  template <class NativePath>
  explicit ReplacementWriter(const NativePath& target) : replacement_(target, false) {}
  Win32Error error() const { return replacement_.error(); }
  Win32Error Write(const void* data, std::size_t size) override {
    return replacement_.Write(std::string_view(static_cast<const char*>(data), size));
  }
  // A new file is not flushed; the replacement flushes by itself when the
  // destination already exists, so an existing file is never torn.
  Win32Error Commit() override { return replacement_.Commit(/*flush_new_file=*/false); }

 private:
  Replacement replacement_;
};

}  // namespace vorela
