// The installer window without a screen: its final content as a block of text
// on standard output, then the run ends as if OK had been pressed. The OK
// button is real all the same: it is made in the window model, gets the focus
// as the window is shown and is pressed with Enter, and the block names what
// it showed.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/installer_window.h"
#include "platform/window_system.h"

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

// Shows the OK button in a model window, focuses it and presses Enter; the
// text says what the button showed.
std::string PressOkButton(const std::string& caption) {
  std::unique_ptr<InstallerOkButton> ok = MakeInstallerOkButton();
  if (!ok) return caption + " (pressed)";
  WindowSystem& windows = SystemWindowSystem();
  const WindowHandle form = windows.MakeWindow(
      0, WindowRect{0, 0, 418, 300},
      [&windows](WindowHandle w, std::uint32_t m, WindowWParam wp, WindowLParam lp) {
        return windows.DefaultProcedure(w, m, wp, lp);
      });
  std::string text = caption + " (pressed)";
  bool closed = false;
  if (form && ok->Create(static_cast<std::uintptr_t>(form), 318, 264, 88, 26, caption,
                         [&closed] { closed = true; })) {
    const auto button = static_cast<WindowHandle>(ok->Handle());
    windows.SendWindowMessage(button, kWmSetFocus, 0, 0);
    windows.SendWindowMessage(button, kWmKeyDown, 13, 0);
    windows.SendWindowMessage(button, kWmKeyUp, 13, 0);
    text = ok->Describe();
    if (!closed) text += " (not closed)";
  }
  ok.reset();
  if (form) windows.DestroyWindow(form);
  return text;
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
    block += "  [pictures]  Image1 (menu card), Picture1 (tick), Picture2 (star)\n";
    block += "  [button]    " + PressOkButton(content.ok_caption) + "\n";
    std::fwrite(block.data(), 1, block.size(), stdout);
    std::fflush(stdout);
  }
};

}  // namespace

std::string InstallerOkButtonForm() {
  static const unsigned char kForm[] = {
#include "installer_ok_button_form.inc"
  };
  return std::string(reinterpret_cast<const char*>(kForm), sizeof kForm);
}

InstallerWindowHost& SystemInstallerWindowHost() {
  static HeadlessInstallerWindowHost host;
  return host;
}

}  // namespace vorela
