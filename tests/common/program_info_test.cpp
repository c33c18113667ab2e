#include "common/program_info.h"

#include <gtest/gtest.h>

#include "common/version.h"

namespace vorela {
namespace {

TEST(ProgramInfo, OnlyTheWholeArgumentTextCounts) {
  for (const char* help : {"--help", "-h", "/?", "\"--help\"", "  -h  "}) {
    EXPECT_EQ(ProgramInfoText(help, "tool", "usage: tool\n"), "usage: tool\n") << help;
  }
  EXPECT_EQ(ProgramInfoText("--version", "tool", "u"), std::string("tool ") + kVersion + "\n");
  for (const char* other : {"", "xml", "--HELP", "-H", "--help x", "C:\\-h.vorela", "uninstall"}) {
    EXPECT_FALSE(ProgramInfoText(other, "tool", "u").has_value()) << other;
  }
}

}  // namespace
}  // namespace vorela
