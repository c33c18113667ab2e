// ASCII case folding: the platform compares names with only A-Z and a-z folded,
// whatever the code page, so every byte outside those letters (the bytes of
// UTF-8 sequences among them) is compared as it is.
#pragma once

#include <string>
#include <string_view>

namespace vorela {

constexpr char AsciiToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
constexpr char AsciiToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);

// a before b with ASCII letters folded, byte by byte (a prefix sorts first).
bool LessIgnoreCase(std::string_view a, std::string_view b);

}  // namespace vorela
