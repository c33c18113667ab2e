// vorelareg through its entry point, on the registry of this build.
#include "tools/vorelareg/reg_tool.h"

#include <gmock/gmock.h>

#include "common/reg_text.h"
#include "registry/registry_test_env.h"

namespace vorela::testing {
namespace {

using ::testing::HasSubstr;
using RegFile = RegistryTest;

std::string Utf16File(const std::string& utf8) {
  return "\xFF\xFE" + Utf8ToUtf16Le(utf8);
}

TEST_F(RegFile, ToolRefusesBadFilesWholeAndReportsFailures) {
  const std::string path = root_->NativeJoin("bad.reg");
  WriteNativeFile(
      path,
      Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKCU\\" + base_ +
                "\\first]\r\n\"ok\"=\"1\"\r\n\"bad\"=\"\\x\"\r\n"));
  RegToolResult result =
      RunRegTool(platform_, {"import", root_->Join("bad.reg")}, "1.0");
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_THAT(result.err, HasSubstr("line 5: bad escape"));
  RegKey key = 0;
  EXPECT_EQ(reg().OpenKey(kHkeyCurrentUser, Sub("first"), kKeyRead, &key),
            kErrorFileNotFound);

  EXPECT_EQ(RunRegTool(platform_, {"export", "HKXX\\a", "-"}, "1.0").exit_code,
            2);
  EXPECT_EQ(
      RunRegTool(platform_, {"export", "HKCU\\" + base_ + "\\none", "-"}, "1.0")
          .exit_code,
      1);
  EXPECT_EQ(
      RunRegTool(platform_, {"delete", "HKCU\\" + base_ + "\\none"}, "1.0")
          .exit_code,
      1);
  EXPECT_EQ(RunRegTool(platform_, {"delete", "HKCU"}, "1.0").exit_code, 2);
  EXPECT_EQ(RunRegTool(platform_, {"bogus"}, "1.0").exit_code, 2);
  EXPECT_EQ(RunRegTool(platform_, {"--version"}, "1.0").out, "vorelareg 1.0\n");

  ASSERT_TRUE(SetString(key_, "v", "x") == kErrorSuccess);
  result = RunRegTool(platform_, {"export", "hkcu\\" + base_, "-"}, "1.0");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\" +
                                  base_ + "]\r\n\"v\"=\"x\"\r\n\r\n"));
  EXPECT_EQ(
      RunRegTool(platform_, {"delete", "HKEY_CURRENT_USER\\" + base_}, "1.0")
          .exit_code,
      0);
  EXPECT_EQ(reg().OpenKey(kHkeyCurrentUser, base_, kKeyRead, &key),
            kErrorFileNotFound);
}

}  // namespace
}  // namespace vorela::testing
