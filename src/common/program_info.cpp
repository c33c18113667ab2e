#include "common/program_info.h"

#include "common/text_util.h"
#include "common/version.h"

namespace vorela {

std::optional<std::string> ProgramInfoText(std::string_view argument_text,
                                           std::string_view program_name,
                                           std::string_view usage) {
  std::string word = ReplaceAll(argument_text, "\"", "");
  const std::size_t first = word.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  word = word.substr(first, word.find_last_not_of(" \t") - first + 1);
  if (word == "--help" || word == "-h" || word == "/?") return std::string(usage);
  if (word == "--version") {
    return std::string(program_name) + " " + kVersion + "\n";
  }
  return std::nullopt;
}

}  // namespace vorela
