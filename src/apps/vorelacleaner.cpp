// vorelacleaner: "uninstall" removes what the product left for this user; any
// other argument migrates the legacy registry settings into the data files.
#include <cstdio>

#include "cleaner/migration.h"
#include "common/program_info.h"
#include "platform/platform.h"

namespace {

constexpr char kUsage[] =
    "usage: vorelacleaner [uninstall]\n"
    "  uninstall        remove the context-menu entries, the data folder and the\n"
    "                   manual's shortcut of this user\n"
    "  anything else    move the settings of older versions into the data files\n"
    "  --help, -h, /?   show this text;  --version  show the version\n";

}  // namespace

int main(int argc, char** argv) {
  vorela::UseBinaryStandardStreams();
  vorela::InitProcessArguments(argc, argv);
  const vorela::Platform platform = vorela::SystemPlatform();
  if (const auto info = vorela::ProgramInfoText(platform.process->CommandLineArgs(),
                                                "vorelacleaner", kUsage)) {
    std::fwrite(info->data(), 1, info->size(), stdout);
    std::fflush(stdout);
    return 0;
  }
  vorela::CleanerMain(platform);
  return 0;
}
