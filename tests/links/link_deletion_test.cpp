// A data folder holding links to folders and files outside it: the forced tree
// removal takes the links and the folder's own files, and nothing they point to.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/files.h"
#ifdef _WIN32
#include "platform/win32/windows_lean.h"
#endif
#include "support/scratch.h"

namespace vorela {
namespace {

bool RunningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

std::string Windows(const std::string& native) {
  if (!native.empty() && native[0] == '/') {
    std::string out = "Z:" + native;
    for (char& c : out) {
      if (c == '/') c = '\\';
    }
    return out;
  }
  return native;
}

TEST(LinkDeletion, DeleteTreeRemovesLinksAsLinks) {
  const char* prepared = std::getenv("VORELA_LINK_TREE");
  ASSERT_TRUE(prepared && *prepared) << "the links.prepare fixture sets VORELA_LINK_TREE";
  const std::filesystem::path tree(prepared);
  ASSERT_TRUE(std::filesystem::exists(tree / "outside" / "keep.txt"));

  FileSystem& fs = SystemFileSystem();
  FileEntry entry;
  ASSERT_EQ(fs.FindEntry(Windows((tree / "data" / "link").string()), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_link);

  for (bool force : {false, true}) {
    SCOPED_TRACE(force ? "with force" : "without force");
    if (!std::filesystem::exists(tree / "data")) break;
    fs.DeleteTree(Windows((tree / "data").string()), force);
  }
  // Nothing a link points to is touched, on every build.
  EXPECT_TRUE(std::filesystem::exists(tree / "outside" / "keep.txt"));
  EXPECT_TRUE(std::filesystem::exists(tree / "outside" / "inner" / "deep.txt"));
  EXPECT_FALSE(std::filesystem::exists(tree / "data" / "sub" / "own.txt"));
  if (RunningUnderWine()) {
    // Known Wine deviation: Wine shows host links as plain entries (file links)
    // or as folders it cannot remove (folder links), and offers no call that
    // removes the link itself. The links stay, and with them the folder.
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(tree / "data" / "link")));
  } else {
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(tree / "data")));
  }
}

}  // namespace
}  // namespace vorela
