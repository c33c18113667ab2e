// The machine as this build's programs see it. The shipped Windows build is
// 32-bit: on 64-bit Windows such a process gets the redirected system folder
// (system32 -> syswow64) and the "(x86)" common-files value, which is where the
// launcher and existing installations keep the shared resource folder and the
// manual's shortcut. The 64-bit and POSIX builds see the plain layout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/system_folder.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vorela {
namespace {

#if defined(_WIN32) && !defined(_WIN64)
constexpr bool kRedirectedView = true;
#else
constexpr bool kRedirectedView = false;
#endif

TEST(MachineView, CommonFilesAndTheResourceFolderAreTheOnesThisBuildSees) {
  testing::ScratchDir machine;
#ifndef _WIN32
  const char* old_root = std::getenv("VORELA_ROOT");
  const std::string saved = old_root ? old_root : "";
  setenv("VORELA_ROOT", machine.native().c_str(), 1);
#endif
  {
    const Platform platform = SystemPlatform();
    clsSystemFolder folders(platform);
    EXPECT_EQ(folders.CommonFiles(), kRedirectedView ? "C:\\Program Files (x86)\\Common Files"
                                                     : "C:\\Program Files\\Common Files");
    ASSERT_EQ(folders.System(), "C:\\windows\\system32") << "the name is the same in every view";

    // A folder made where the resource folder goes: a 32-bit process's lands in
    // syswow64, the others' in the real system32.
    const std::string name = "tolresource-view-probe";
    const std::string made = folders.System() + "\\" + name;
    const std::string wow = "C:\\windows\\syswow64\\" + name;
    FileSystem& files = *platform.files;
    files.DeleteTree(made, true);
    ASSERT_EQ(files.MakeDirectory(made), kErrorSuccess);
    FileEntry entry;
    EXPECT_EQ(files.FindEntry(wow, &entry) == kErrorSuccess, kRedirectedView)
        << "where the folder landed";
    EXPECT_EQ(files.DeleteTree(made, true), kErrorSuccess);
  }
#ifndef _WIN32
  if (old_root) setenv("VORELA_ROOT", saved.c_str(), 1); else unsetenv("VORELA_ROOT");
#endif
}

}  // namespace
}  // namespace vorela
