// vorelamenu: wiring only; the tool itself is RunMenuTool.
#include <cstdio>
#include <string>
#include <vector>

#include "common/program_info.h"
#include "controls/installer_ok_button.h"
#include "menu/menu_modes.h"
#include "platform/installer_window.h"
#include "platform/platform.h"

namespace {

constexpr char kUsage[] =
    "usage: vorelamenu [xml | PACKAGE.vorela | ie]\n"
    "  (no argument)    remove the tool's context-menu entries and script pages\n"
    "  xml              install the default menus and register their entries\n"
    "  PACKAGE.vorela   import a menu package\n"
    "  anything else    repair the tool's context-menu entries only\n"
    "  --help, -h, /?   show this text;  --version  show the version\n";

}  // namespace

int main(int argc, char** argv) {
  vorela::UseBinaryStandardStreams();
  vorela::InitProcessArguments(argc, argv);
  const vorela::Platform platform = vorela::SystemPlatform();
  if (const auto info = vorela::ProgramInfoText(platform.process->CommandLineArgs(),
                                                "vorelamenu", kUsage)) {
    std::fwrite(info->data(), 1, info->size(), stdout);
    std::fflush(stdout);
    return 0;
  }
  vorela::MenuServices services;
  services.platform = &platform;
  vorela::SetInstallerOkButtonMaker([] { return vorela::MakeCandyOkButton(); });
  services.window = &vorela::SystemInstallerWindowHost();
  std::vector<std::string> problems;
  const int code = vorela::RunMenuTool(services, &problems);
  if (code != 0) {
    for (const std::string& problem : problems) {
      const std::string line = "vorelamenu: " + problem + "\n";
      std::fwrite(line.data(), 1, line.size(), stderr);
    }
  }
  return code;
}
