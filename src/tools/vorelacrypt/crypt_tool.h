// vorelacrypt: encrypts and decrypts files in the system's cipher formats, for
// package producers and for users who need to read their own files.
//
//   vorelacrypt encrypt [--key KEY] [--xor] INPUT OUTPUT
//   vorelacrypt decrypt [--key KEY] [--xor] INPUT OUTPUT
//
// "-" is standard input or output. The key defaults to the programs' own key.
// OUTPUT is written only when the whole operation succeeded, and atomically, so
// an existing OUTPUT is either replaced whole or left as it was.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vorela {

inline constexpr int kCryptToolOk = 0;
inline constexpr int kCryptToolFailed =
    1;  // the data or a file could not be processed
inline constexpr int kCryptToolUsage =
    2;  // the command line was not understood

struct CryptToolOptions {
  // Draw a progress bar on err (for inputs above kProgressBarMinimum bytes).
  bool progress_bar = false;
  std::string version = "0";
};

inline constexpr std::size_t kProgressBarMinimum = 4u << 20;

// args excludes the program name. Files go through platform.files, key
// and string conversion through platform.text.
int RunCryptTool(const std::vector<std::string>& args, std::istream& in,
                 std::ostream& out, std::ostream& err, const Platform& platform,
                 const CryptToolOptions& options = {});

}  // namespace vorela
