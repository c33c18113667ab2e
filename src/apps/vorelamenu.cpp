// vorelamenu: wiring only; the tool itself is RunMenuTool.
#include "controls/installer_ok_button.h"
#include "menu/menu_modes.h"
#include "platform/installer_window.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  vorela::InitProcessArguments(argc, argv);
  const vorela::Platform platform = vorela::SystemPlatform();
  vorela::MenuServices services;
  services.platform = &platform;
  vorela::SetInstallerOkButtonMaker([] { return vorela::MakeCandyOkButton(); });
  services.window = &vorela::SystemInstallerWindowHost();
  vorela::RunMenuTool(services);
  return 0;
}
