#include "menu/menu_id.h"

#include <string>

#include "common/text_util.h"

namespace vorela {
namespace {

bool IsDeviceName(std::string_view id) {
  // Windows takes the part before the first dot (and before trailing blanks)
  // as the device: "con.htm" and "NUL .x" are devices too.
  std::string stem(id.substr(0, id.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  stem = AsciiLower(stem);
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.rfind("com", 0) == 0 || stem.rfind("lpt", 0) == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool IsUsableMenuId(std::string_view id) {
  if (id.empty() || id.find("..") != std::string_view::npos) return false;
  for (const char c : id) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return !IsDeviceName(id);
}

}  // namespace vorela
