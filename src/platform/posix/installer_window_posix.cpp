// The installer window without a window system: its final content as a block
// of text on standard output, then the run ends as if OK had been pressed.
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/installer_window.h"

namespace vorela {
namespace {

std::string ColorName(std::uint32_t color) {
  if (color == kColorBlue) return "blue";
  if (color == kColorRed) return "red";
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(color));
  return text;
}

// Multi-line text boxes print their further lines indented under the first.
std::string Indented(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out += c;
    if (c == '\n') out += "              ";
  }
  return out;
}

class HeadlessInstallerWindowHost : public InstallerWindowHost {
 public:
  bool CanLoadPicture(std::string_view path) override {
    std::string bytes;
    return SystemFileSystem().ReadAll(path, &bytes) == kErrorSuccess &&
           LooksLikeIconFile(bytes);
  }

  void Run(const InstallerWindowContent& content) override {
    std::string block = "[window] " + content.title + "\n";
    for (int i = 0; i < 4; ++i) {
      block += "  " + content.labels[i] + "\n";
      block += "    [text]    " + Indented(content.texts[i]) + "\n";
    }
    block += "  [icon]      " + content.icon_path + "\n";
    block += "  [status]    (" + ColorName(content.message_color) + ") " +
             content.message + "\n";
    block += "  [note]      (" +
             std::string(content.note_visible ? "visible" : "hidden") + ", " +
             ColorName(content.note_color) + ") " + content.note + "\n";
    block += "  [button]    " + content.ok_caption + " (pressed)\n";
    std::fwrite(block.data(), 1, block.size(), stdout);
    std::fflush(stdout);
  }
};

}  // namespace

InstallerWindowHost& SystemInstallerWindowHost() {
  static HeadlessInstallerWindowHost host;
  return host;
}

}  // namespace vorela
