#include "platform/ui.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

class Win32Ui final : public Ui {
 public:
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override {
    return MessageBoxW(nullptr, win32::Widen(text).c_str(), win32::Widen(title).c_str(), style);
  }
};

}  // namespace

Ui& SystemUi() {
  static Win32Ui ui;
  return ui;
}

}  // namespace vorela
