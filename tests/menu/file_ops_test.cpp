#include "menu/file_ops.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "fakes/fake_file_system.h"

namespace vorela::testing {
namespace {

// Files where another run of the tool makes the folder, or a file of the same
// name, just before this run's own MakeDirectory.
class RacedFiles : public FakeFileSystem {
 public:
  bool other_makes_a_file = false;
  Win32Error MakeDirectory(std::string_view path) override {
    if (other_makes_a_file) {
      AddFile(std::string(path), "");
    } else {
      AddDirectory(std::string(path));
    }
    return FakeFileSystem::MakeDirectory(path);
  }
};

TEST(MenuFileOps, AFolderMadeByAnotherRunMeanwhileIsAsGoodAsMade) {
  RacedFiles files;
  files.AddDirectory("C:\\tools");
  Platform platform;
  platform.files = &files;
  EXPECT_NO_THROW(MakeDirectoryOrRaise(platform, "C:\\tools\\work"));

  files.other_makes_a_file = true;
  try {
    MakeDirectoryOrRaise(platform, "C:\\tools\\other");
    ADD_FAILURE() << "a file where the folder belongs must be an error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Description(), "Path/File access error: C:\\tools\\other");
  }
}

}  // namespace
}  // namespace vorela::testing
