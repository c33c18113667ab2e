// What the menu tool keeps for one run, and the services it runs on.
//
// The tool has no main window: its modes are batch routines that share this
// small module-wide state. It lives in one object that the entry routine owns
// and hands down, so tests can run a mode in-process on fakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/product_facts.h"
#include "platform/installer_window.h"
#include "platform/platform.h"

namespace vorela {

// Registry locations the tool writes, all below HKEY_CURRENT_USER (the
// MenuExt key and the legacy tree come from product_facts.h).
inline constexpr const char* kVorelaKey = kLegacyRegistryKey;
inline constexpr const char* kWebMenuKey = kLegacyWebMenuKey;

// The program's name, the title of its error box.
inline constexpr char kMenuToolTitle[] = "vorelamenu";

struct MenuState {
  // Program folder + "\work": where a package is copied and unpacked.
  std::string WorkDir;
  // System directory + "\tolresource": the shared resource folder.
  std::string ResourceDir;
  // Progress of a package import: icon, script page, manifest ("0"/"1" each).
  std::string ImportStatus = "000";
  // Number used in the names of context-menu keys written in "xml" mode.
  std::int32_t IeMenuCounter = 0;
  // What went wrong in the run without stopping it, one line each, naming
  // the file at fault; the program prints them when its mode failed.
  std::vector<std::string> Problems;
};

// The seams one run of the tool uses. None is owned.
struct MenuServices {
  const Platform* platform = nullptr;
  InstallerWindowHost* window = nullptr;
};

}  // namespace vorela
