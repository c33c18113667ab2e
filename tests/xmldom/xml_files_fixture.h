// The platform of fakes (in-memory files and registry, a fixed machine) with
// this build's XML document and text services, for the tests of the routines
// that edit XML data files.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_platform.h"
#include "platform/platform.h"
#include "platform/xml_dom.h"

namespace vorela {

class XmlFilesTest : public ::testing::Test {
 protected:
  XmlFilesTest() { files_.AddDirectory("C:\\users\\u\\AppData\\Roaming"); }

  // The per-user data folder, as the programs spell it (trailing "\").
  static constexpr const char* kDataFolder = "C:\\users\\u\\AppData\\Roaming\\vorela\\";
  static std::string DataFile(const char* name) { return std::string(kDataFolder) + name; }
  void AddDataFolder() { files_.AddDirectory("C:\\users\\u\\AppData\\Roaming\\vorela"); }

  int CallsOf(const std::string& call) const {
    int n = 0;
    for (const std::string& c : files_.calls()) n += c == call;
    return n;
  }

  testing::FakePlatformBuilder fakes_;
  testing::FakeFileSystem& files_ = fakes_.files;
  Platform platform_ = fakes_.Build();
};

}  // namespace vorela
