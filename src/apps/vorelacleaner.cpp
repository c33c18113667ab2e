// vorelacleaner: "uninstall" removes what the product left for this user; any
// other argument migrates the legacy registry settings into the data files.
#include "cleaner/migration.h"
#include "platform/platform.h"


int main(int argc, char** argv) {
  vorela::InitProcessArguments(argc, argv);
  const vorela::Platform platform = vorela::SystemPlatform();
  vorela::CleanerMain(platform);
  return 0;
}
