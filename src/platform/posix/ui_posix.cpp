// Headless message boxes: the title and text are printed, OK is the answer.
#include <cstdio>
#include <string>

#include "platform/ui.h"

namespace vorela {
namespace {

class PosixUi final : public Ui {
 public:
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override {
    FILE* out = (style & 0xF0) == kMbIconInformation ? stdout : stderr;
    std::string line(title);
    line += ": ";
    line += text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
    std::fflush(out);
    return kIdOk;
  }
};

}  // namespace

Ui& SystemUi() {
  static PosixUi ui;
  return ui;
}

}  // namespace vorela
