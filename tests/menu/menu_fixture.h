// A menu tool on fakes: in-memory files and registry, a fixed machine
// (system directory C:\windows\system32, application data
// C:\users\u\AppData\Roaming, program C:\tools\vorelamenu.exe), a recorded
// message box and a recorded installer window. The XML service is the real
// one of the build.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "menu/menu_state.h"
#include "platform/platform.h"

namespace vorela::testing {

inline constexpr char kResourceDir[] = "C:\\windows\\system32\\tolresource";
inline constexpr char kUserDir[] = "C:\\users\\u\\AppData\\Roaming\\vorela";
inline constexpr char kWorkDir[] = "C:\\tools\\work";
inline constexpr char kMenuExt[] =
    "Software\\Microsoft\\Internet Explorer\\MenuExt";

class RecordingWindowHost : public InstallerWindowHost {
 public:
  explicit RecordingWindowHost(FakeFileSystem& files) : files_(files) {}
  std::vector<InstallerWindowContent> shown;
  bool CanLoadPicture(std::string_view path) override {
    return LooksLikeIconFile(files_.Contents(std::string(path)));
  }
  void Run(const InstallerWindowContent& content) override {
    shown.push_back(content);
  }

 private:
  FakeFileSystem& files_;
};

// The smallest icon file the hosts accept: one 1x1 image.
inline std::string TinyIcon() {
  std::string icon("\0\0\1\0\1\0", 6);
  std::string entry(16, '\0');
  entry[0] = 1;
  entry[1] = 1;
  entry[8] = 4;    // image size
  entry[12] = 22;  // image offset
  return icon + entry + std::string("\x28\0\0\0", 4);
}

class MenuFixture : public ::testing::Test {
 protected:
  MenuFixture() {
    services_.platform = &platform_;
    services_.window = &window_;
    for (const char* dir :
         {"C:\\windows", kSystemDir, kResourceDir, "C:\\users", "C:\\users\\u",
          "C:\\users\\u\\AppData", kAppData, "C:\\tools"}) {
      files_.AddDirectory(dir);
    }
  }

  // An entry of the tool under MenuExt.
  void AddToolEntry(const std::string& name, const std::string& id) {
    registry_.SetString(std::string(kMenuExt) + "\\" + name, "",
                        std::string(kResourceDir) + "\\htm\\" + id + ".htm");
    if (!id.empty()) {
      registry_.SetString(std::string(kMenuExt) + "\\" + name, "MenuID", id);
    }
  }
  std::string Entry(const std::string& name) {
    return std::string(kMenuExt) + "\\" + name;
  }

  FakePlatformBuilder fakes_;
  FakeFileSystem& files_ = fakes_.files;
  FakeRegistry& registry_ = fakes_.registry;
  FixedFolders& folders_ = fakes_.folders;
  FixedProcess& process_ = fakes_.process;
  RecordingUi& ui_ = fakes_.ui;
  FakeCabinet& cabinet_ = fakes_.cabinet;
  RecordingWindowHost window_{files_};
  Platform platform_ = fakes_.Build();
  MenuServices services_;
  MenuState state_;
};

}  // namespace vorela::testing
