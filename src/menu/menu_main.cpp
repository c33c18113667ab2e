// Start-up of the menu tool: the argument text selects one mode.
#include <exception>

#include "common/error.h"
#include "common/helpers.h"
#include "common/product_facts.h"
#include "common/text_util.h"
#include "menu/file_ops.h"
#include "menu/ie_menus.h"
#include "menu/installer.h"
#include "menu/menu_modes.h"

namespace vorela {
namespace {

// The argument names a package: long enough and ending in ".vorela" in any
// case. Whether it exists is asked separately, so that a missing package can
// be told apart from an argument of no mode.
bool LooksLikePackagePath(const std::string& argument) {
  return Utf16Length(argument) >= 8 &&
         AsciiLower(LastChars(argument, 7)) == ".vorela";
}

}  // namespace

bool Main(const MenuServices& services, MenuState& state) {
  const Platform& platform = *services.platform;
  state.WorkDir = platform.process->ProgramFolder() + "\\" + kWorkFolderName;
  const std::string argument =
      ReplaceAll(platform.process->CommandLineArgs(), "\"", "");
  FixIeMenuContexts(platform);

  if (argument.empty()) return ResetIeMenus(services, state);
  if (argument == "xml") {
    InstallDefaultMenus(services, state);
    return true;
  }
  if (LooksLikePackagePath(argument)) {
    if (!FileExists(platform, argument)) {
      throw Error(RuntimeError::kFileNotFound, "vorelamenu",
                  "The package does not exist: " + argument);
    }
    return RunPackageImport(services, state, argument, &state.Problems);
  }
  // Any other argument ("ie", say): the repair above was the whole job.
  return true;
}

int RunMenuTool(const MenuServices& services,
                std::vector<std::string>* problems) {
  MenuState state;
  std::string description;
  try {
    const bool done = Main(services, state);
    if (problems) *problems = state.Problems;
    return done ? 0 : 1;
  } catch (const Error& error) {
    description = error.Description();
  } catch (const std::exception& error) {
    description = error.what();
  } catch (...) {
    description = "Unknown error";
  }
  if (problems) *problems = state.Problems;
  services.platform->ui->ShowMessage(description, kMenuToolTitle, kMbOk);
  return 1;
}

}  // namespace vorela
