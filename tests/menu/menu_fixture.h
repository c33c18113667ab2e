// A menu tool on fakes: in-memory files and registry, a fixed machine
// (system directory C:\windows\system32, application data
// C:\users\u\AppData\Roaming, program C:\tools\vorelamenu.exe), a recorded
// message box and a recorded installer window. The XML service is the real
// one of the build.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "fakes/fake_cabinet.h"
#include "fakes/fake_registry.h"
#include "menu/menu_state.h"
#include "platform/platform.h"

namespace vorela::testing {

inline constexpr char kSystemDir[] = "C:\\windows\\system32";
inline constexpr char kResourceDir[] = "C:\\windows\\system32\\tolresource";
inline constexpr char kAppData[] = "C:\\users\\u\\AppData\\Roaming";
inline constexpr char kUserDir[] = "C:\\users\\u\\AppData\\Roaming\\vorela";
inline constexpr char kWorkDir[] = "C:\\tools\\work";
inline constexpr char kMenuExt[] =
    "Software\\Microsoft\\Internet Explorer\\MenuExt";

class FixedFolders : public SpecialFolders {
 public:
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size) override {
    return Put("C:\\windows", buffer, size);
  }
  std::uint32_t SystemDirectory(char* buffer, std::uint32_t size) override {
    return Put(kSystemDir, buffer, size);
  }
  std::uint32_t TempPath(std::uint32_t size, char* buffer) override {
    return Put("C:\\users\\u\\Temp\\", buffer, size);
  }
  bool ShellFolderPath(int csidl, char* buffer) override {
    if (csidl != kCsidlAppData) return false;
    std::strcpy(buffer, kAppData);
    return true;
  }

 private:
  static std::uint32_t Put(const char* text, char* buffer, std::uint32_t size) {
    const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(text));
    if (length + 1 > size) return length + 1;
    std::memcpy(buffer, text, length + 1);
    return length;
  }
};

// Each lock taken and given back is told to on_lock as "lock <file>" and
// "unlock <file>".
class FixedProcess : public Process {
 public:
  std::string args;
  std::function<void(const std::string&)> on_lock;
  Win32Error lock_error = kErrorSuccess;
  std::string ProgramPath() override { return "C:\\tools\\vorelamenu.exe"; }
  std::string CommandLineArgs() override { return args; }
  Win32Error StartDetached(std::string_view, std::string_view, bool) override {
    return kErrorCallNotImplemented;
  }
  std::unique_ptr<ProcessLock> LockExclusive(std::string_view file,
                                             Win32Error* error) override {
    *error = lock_error;
    if (lock_error) return nullptr;
    if (on_lock) on_lock("lock " + std::string(file));
    return std::make_unique<Lock>(on_lock, std::string(file));
  }
  static constexpr Win32Error kErrorCallNotImplemented = 120;

 private:
  class Lock : public ProcessLock {
   public:
    Lock(std::function<void(const std::string&)> on_lock, std::string file)
        : on_lock_(std::move(on_lock)), file_(std::move(file)) {}
    ~Lock() override {
      if (on_lock_) on_lock_("unlock " + file_);
    }

   private:
    std::function<void(const std::string&)> on_lock_;
    std::string file_;
  };
};

class RecordingUi : public Ui {
 public:
  std::vector<std::string> shown;  // "title: text"
  int ShowMessage(std::string_view text, std::string_view title,
                  std::uint32_t) override {
    shown.push_back(std::string(title) + ": " + std::string(text));
    return kIdOk;
  }
};

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
    platform_.text = &SystemTextCodec();
    platform_.files = &files_;
    platform_.registry = &registry_;
    platform_.folders = &folders_;
    platform_.process = &process_;
    platform_.ui = &ui_;
    platform_.xml = &SystemXmlDom();
    platform_.cabinet = &cabinet_;
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

  FakeFileSystem files_;
  FakeRegistry registry_;
  FixedFolders folders_;
  FixedProcess process_;
  RecordingUi ui_;
  RecordingWindowHost window_{files_};
  FakeCabinet cabinet_{files_, SystemTextCodec()};
  Platform platform_;
  MenuServices services_;
  MenuState state_;
};

}  // namespace vorela::testing
