// The answer of a program asked for help or its version: the argument text
// is then one of the words below, and the program prints and does nothing
// else. No caller of the programs passes these words.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorela {

// For an argument text of "--help", "-h" or "/?": the usage text; of
// "--version": the program's name, a blank and the version. Double quotes
// and surrounding blanks do not count. Any other text: nothing. Lines end
// in "\n".
std::optional<std::string> ProgramInfoText(std::string_view argument_text,
                                           std::string_view program_name,
                                           std::string_view usage);

}  // namespace vorela
