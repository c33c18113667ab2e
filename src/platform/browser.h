// Browser seam: the one web page the cleaner opens for a first-time user.
// Windows: the Internet Explorer automation object. Elsewhere: the desktop's
// opener when there is a desktop, and the address printed on standard output
// either way.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela {

class BrowserWindow {
 public:
  virtual ~BrowserWindow() = default;  // releases the object; the window stays open
  // Asks the browser to show the browser bar with this class identifier
  // ("{...}" form). A browser without that bar still opens.
  virtual Win32Error ShowBrowserBar(std::string_view class_id, bool show, std::int16_t size) = 0;
  virtual Win32Error Navigate(std::string_view url) = 0;
  virtual Win32Error SetVisible(bool visible) = 0;
};

class Browser {
 public:
  virtual ~Browser() = default;
  // A new browser window object; null with *error set when none can be made.
  virtual std::unique_ptr<BrowserWindow> NewWindow(Win32Error* error) = 0;
};

Browser& SystemBrowser();

}  // namespace vorela
