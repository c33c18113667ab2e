// vorelafolders: prints where this machine's special folders are, as the
// programs see them (a diagnostic for users and package makers).
#include <cstdio>
#include <cstring>
#include <string>

#include "common/system_folder.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  vorela::InitProcessArguments(argc, argv);
  vorela::UseBinaryStandardStreams();
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("vorelafolders %s\n", VORELA_VERSION);
    return 0;
  }
  if (argc > 1) {
    std::printf("usage: vorelafolders\n  prints the special folders of this machine and user\n");
    return std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
  }
  const vorela::Platform platform = vorela::SystemPlatform();
  const vorela::clsSystemFolder folders(platform);
  const struct {
    const char* name;
    std::string value;
  } rows[] = {
      {"Windows", folders.Windows()},       {"System", folders.System()},
      {"Temp", folders.Temp()},             {"Desktop", folders.Desktop()},
      {"Programs", folders.Programs()},     {"Personal", folders.Personal()},
      {"Appdata", folders.Appdata()},       {"Favorites", folders.Favorites()},
      {"Startup", folders.Startup()},       {"Recent", folders.Recent()},
      {"SendTo", folders.SendTo()},         {"Fonts", folders.Fonts()},
      {"StartMenu", folders.StartMenu()},   {"Device", folders.Device()},
      {"CommonFiles", folders.CommonFiles()}, {"Config", folders.Config()},
      {"Media", folders.Media()},           {"ProgramFiles", folders.ProgramFiles()},
      {"OldWindows", folders.OldWindows()},
  };
  for (const auto& row : rows) std::printf("%-12s %s\n", row.name, row.value.c_str());
  return 0;
}
