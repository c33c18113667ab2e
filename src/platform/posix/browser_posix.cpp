// Headless browser: prints the address it is asked to show, and hands it to the
// desktop's opener (xdg-open) when a desktop session is there.
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/browser.h"

extern char** environ;

namespace vorela {
namespace {

bool HaveDesktop() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

void OpenWithDesktop(const std::string& url) {
  if (!HaveDesktop() || url.empty() || access("/usr/bin/xdg-open", X_OK) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr};
  pid_t pid;
  posix_spawn(&pid, "/usr/bin/xdg-open", &actions, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
}

class PrintingWindow final : public BrowserWindow {
 public:
  Win32Error ShowBrowserBar(std::string_view, bool, std::int16_t) override {
    return kErrorSuccess;  // no browser bars off Windows
  }
  Win32Error Navigate(std::string_view url) override {
    url_ = std::string(url);
    return kErrorSuccess;
  }
  Win32Error SetVisible(bool visible) override {
    if (!visible || shown_) return kErrorSuccess;
    shown_ = true;
    std::printf("browser: %s\n", url_.c_str());
    std::fflush(stdout);
    OpenWithDesktop(url_);
    return kErrorSuccess;
  }

 private:
  std::string url_;
  bool shown_ = false;
};

class PosixBrowser final : public Browser {
 public:
  std::unique_ptr<BrowserWindow> NewWindow(Win32Error* error) override {
    if (error) *error = kErrorSuccess;
    return std::make_unique<PrintingWindow>();
  }
};

}  // namespace

Browser& SystemBrowser() {
  static PosixBrowser browser;
  return browser;
}

}  // namespace vorela
