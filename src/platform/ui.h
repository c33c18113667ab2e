// User-interface seam for the one thing both programs show without a window of
// their own: the message box. (The installer window has a seam of its own.)
#pragma once

#include <cstdint>
#include <string_view>

namespace vorela {

inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;

class Ui {
 public:
  virtual ~Ui() = default;
  // Shows a modal message box and returns the button pressed. Headless (POSIX),
  // an information box prints on standard output and any other on standard
  // error, as the title, ": " and the text, and returns kIdOk.
  virtual int ShowMessage(std::string_view text, std::string_view title,
                          std::uint32_t style) = 0;
};

Ui& SystemUi();

}  // namespace vorela
