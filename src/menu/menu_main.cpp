// Start-up of the menu tool: the argument text selects one mode.
#include <exception>

#include "common/error.h"
#include "common/helpers.h"
#include "common/text_util.h"
#include "menu/file_ops.h"
#include "menu/ie_menus.h"
#include "menu/installer.h"
#include "menu/menu_modes.h"

namespace vorela {
namespace {

// The program's folder: its path up to the last separator.
std::string ProgramFolder(const Platform& platform) {
  const std::string path = platform.process->ProgramPath();
  const std::size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

bool IsPackagePath(const Platform& platform, const std::string& argument) {
  return Utf16Length(argument) >= 8 &&
         AsciiLower(LastChars(argument, 7)) == ".vorela" &&
         FileExists(platform, argument);
}

}  // namespace

void Main(const MenuServices& services, MenuState& state) {
  const Platform& platform = *services.platform;
  state.WorkDir = ProgramFolder(platform) + "\\work";
  const std::string argument =
      ReplaceAll(platform.process->CommandLineArgs(), "\"", "");
  FixIeMenuContexts(platform);

  if (argument.empty()) {
    ResetIeMenus(services, state);
    return;
  }
  if (argument == "xml") {
    InstallDefaultMenus(services, state);
    return;
  }
  if (IsPackagePath(platform, argument)) {
    state.ImportStatus = "000";
    if (!FileExists(platform, state.WorkDir)) {
      MakeDirectoryOrRaise(platform, state.WorkDir);
    }
    const std::string cabinet = state.WorkDir + "\\temp.cab";
    if (FileExists(platform, cabinet)) DeleteFileOrRaise(platform, cabinet);
    CopyFileOrRaise(platform, argument, cabinet);
    RunInstallerWindow(services, state);
  }
  // Any other argument ("ie", a package that does not exist): the repair
  // above was the whole job.
}

void RunMenuTool(const MenuServices& services) {
  MenuState state;
  std::string description;
  try {
    Main(services, state);
    return;
  } catch (const Error& error) {
    description = error.Description();
  } catch (const std::exception& error) {
    description = error.what();
  } catch (...) {
    description = "Unknown error";
  }
  services.platform->ui->ShowMessage(description, kMenuToolTitle, kMbOk);
}

}  // namespace vorela
