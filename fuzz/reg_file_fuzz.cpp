// The .reg parser on arbitrary bytes: it must accept or refuse with a line
// number, never crash, hang or read out of bounds. The fields of accepted
// statements are all read, so that a bad length inside them shows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/reg_file.h"
#include "common/reg_text.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<vorela::RegStatement> statements;
  std::string error;
  if (vorela::ParseRegFile(bytes, vorela::SystemTextCodec(), &statements,
                           &error)) {
    std::size_t total = 0;
    for (const vorela::RegStatement& statement : statements) {
      total += vorela::Utf16LeToUtf8(statement.data).size() +
               statement.path.size() + statement.name.size();
    }
    if (total == static_cast<std::size_t>(-1)) return 1;
  } else if (error.rfind("line ", 0) != 0) {
    __builtin_trap();  // every refusal names its line
  }
  return 0;
}
