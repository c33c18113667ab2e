// Installer-window seam: the one window of the menu tool, shown after a
// package import with what was added.
//
// The import itself never depends on the window: the menu code fills an
// InstallerWindowContent while it works, and hands it to the host only to
// present it. The Windows host shows a real top-level window and returns when
// the OK button has closed it (at once when no window can be created, e.g.
// without a display). The POSIX host has no window system: it prints the
// content as a readable block on standard output and returns as if OK had
// been pressed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vorela {

// Colours as the platform stores them: red in the low byte, blue in the third.
inline constexpr std::uint32_t kColorRed = 0x0000FF;
inline constexpr std::uint32_t kColorBlue = 0xFF0000;

struct InstallerWindowContent {
  std::string title;
  // The four labels beside the text boxes, top to bottom: ID, name, icon, hint.
  std::string labels[4];
  // ID, display name, icon file name and hint (CR LF line breaks allowed).
  std::string texts[4];
  // The note that tells the user to restart the launcher.
  std::string note;
  bool note_visible = false;
  std::uint32_t note_color = kColorBlue;
  // The status caption and its colour.
  std::string message;
  std::uint32_t message_color = kColorRed;
  // Full path of the icon picture shown beside the texts ("" for none).
  std::string icon_path;
  std::string ok_caption = "OK";
};

class InstallerWindowHost {
 public:
  virtual ~InstallerWindowHost() = default;
  // True when path holds a picture the window can show (an icon file).
  virtual bool CanLoadPicture(std::string_view path) = 0;
  // Shows the window with the focus on OK and returns once it is closed.
  virtual void Run(const InstallerWindowContent& content) = 0;
};

InstallerWindowHost& SystemInstallerWindowHost();

// The window's OK button. The control that draws it lives above the platform
// layer, so the program hands the hosts a maker for it; without one the
// window has no OK button (it still closes from its frame).
class InstallerOkButton {
 public:
  virtual ~InstallerOkButton() = default;
  // Makes the button a child of `parent` (a native window handle; in the
  // POSIX build a window of the window model) at the given client rectangle.
  // `clicked` runs when the button is pressed; it must not destroy the
  // button's window while it runs (post a close instead). False when the
  // button cannot be made.
  virtual bool Create(std::uintptr_t parent, int x, int y, int width, int height,
                      std::string_view caption, std::function<void()> clicked) = 0;
  virtual std::uintptr_t Handle() const = 0;
  // What a person would see of it: caption, style and the looks it showed.
  virtual std::string Describe() const = 0;
};
using InstallerOkButtonMaker = std::function<std::unique_ptr<InstallerOkButton>()>;
void SetInstallerOkButtonMaker(InstallerOkButtonMaker maker);
std::unique_ptr<InstallerOkButton> MakeInstallerOkButton();

// The OK button's stored properties as form text ("key = value" lines), built
// into the program: a resource of the executable on Windows, bytes compiled
// in elsewhere. Empty when the resource is missing.
std::string InstallerOkButtonForm();

// Checks the header of an icon file (reserved 0, type 1, at least one image
// whose directory entry lies inside the file). Shared by the hosts so both
// builds agree on what counts as a loadable picture.
bool LooksLikeIconFile(std::string_view bytes);

}  // namespace vorela
