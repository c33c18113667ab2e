// The registry helpers on this build's real registry backend.
#include "common/registry_helpers.h"

#include <gmock/gmock.h>

#include "common/error.h"
#include "registry_test_env.h"

namespace vorela::testing {
namespace {

using ::testing::ElementsAre;
using RegistryHelpers = RegistryTest;

std::string RawValue(Registry& reg, const std::string& path,
                     const std::string& name, std::uint32_t* type) {
  RegKey key = 0;
  if (reg.OpenKey(kHkeyCurrentUser, path, kKeyRead, &key) != kErrorSuccess)
    return "<no key>";
  std::uint8_t buffer[64];
  std::uint32_t size = sizeof buffer;
  Win32Error rc = reg.QueryValue(key, name, type, buffer, &size);
  reg.CloseKey(key);
  return rc == kErrorSuccess
             ? std::string(reinterpret_cast<char*>(buffer), size)
             : "<none>";
}

TEST_F(RegistryHelpers, ReadGivesTextBeforeTheFirstNulOrEmptyOnFailure) {
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, base_, ""), "");
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, Sub("missing"), "x"),
            "");
  ASSERT_TRUE(
      RegWriteValue(platform_, kHkeyCurrentUser, base_, "", "default", false));
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, base_, ""), "default");
  const char multi[] = "first\0second\0";
  ASSERT_EQ(reg().SetValue(key_, "multi", kRegMultiSz,
                           reinterpret_cast<const std::uint8_t*>(multi),
                           sizeof multi),
            kErrorSuccess);
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, base_, "MULTI"),
            "first");
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, base_, "値",
                            "日本語のテキスト", false));
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, base_, "値"),
            "日本語のテキスト");
}

TEST_F(RegistryHelpers, StringsOf1024BytesOrMoreCannotBeRead) {
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, base_, "fits",
                            std::string(1023, 'x'), false));
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, base_, "long",
                            std::string(1024, 'x'), false));
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, base_, "fits"),
            std::string(1023, 'x'));
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, base_, "long"), "");
}

TEST_F(RegistryHelpers, DwordFlagDecidesTheStoredForm) {
  ASSERT_TRUE(
      RegWriteValue(platform_, kHkeyCurrentUser, base_, "AsDword", "56", true));
  ASSERT_TRUE(
      RegWriteValue(platform_, kHkeyCurrentUser, base_, "AsText", "56", false));
  std::uint32_t type = 0;
  EXPECT_EQ(RawValue(reg(), base_, "AsDword", &type),
            std::string("\x38\0\0\0", 4));
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(RawValue(reg(), base_, "AsText", &type), std::string("56\0", 3));
  EXPECT_EQ(type, kRegSz);
  // Read back as text, the DWORD gives its bytes up to the first zero: "8".
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, base_, "AsDword"), "8");
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, base_, "Negative",
                            "-2", true));
  EXPECT_EQ(RawValue(reg(), base_, "Negative", &type), "\xFE\xFF\xFF\xFF");
}

TEST_F(RegistryHelpers, NonNumericDwordRaisesTypeMismatchAndWritesNothing) {
  try {
    RegWriteValue(platform_, kHkeyCurrentUser, base_, "bad", "fifty-six", true);
    FAIL() << "no error raised";
  } catch (const Error& error) {
    EXPECT_EQ(error.Number(), ErrorNumber(RuntimeError::kTypeMismatch));
  }
  std::uint32_t type = 0;
  EXPECT_EQ(RawValue(reg(), base_, "bad", &type), "<none>");
}

TEST_F(RegistryHelpers, WriteCreatesMissingParentsAndFailsOnABadPath) {
  EXPECT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, Sub("a\\b\\c"), "v",
                            "deep", false));
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, Sub("A\\B\\C"), "V"),
            "deep");
  EXPECT_FALSE(RegWriteValue(platform_, kHkeyCurrentUser, "\\" + base_, "v",
                             "x", false));
}

TEST_F(RegistryHelpers, EnumerationFillsFromZeroAndStopsAtAnOverlongName) {
  std::vector<std::string> names = {"left", "as", "passed"};
  EXPECT_EQ(RegEnumSubKeys(platform_, kHkeyCurrentUser, Sub("missing"), names),
            -1);
  EXPECT_EQ(RegEnumSubKeys(platform_, kHkeyCurrentUser, base_, names), -1);
  EXPECT_THAT(names, ElementsAre("left", "as", "passed"));

  // A name of 256 characters fits the registry, but not a path of the A
  // functions from the root, so it is made below the test's key.
  for (const std::string& name : {std::string("b"), std::string("A"),
                                  std::string(256, 'k'), std::string("z")}) {
    RegKey child = 0;
    ASSERT_EQ(reg().CreateKey(key_, name, kKeyAllAccess, &child),
              kErrorSuccess);
    reg().CloseKey(child);
  }
  // "k..." (256 characters) enumerates third and ends the list there.
  EXPECT_EQ(RegEnumSubKeys(platform_, kHkeyCurrentUser, base_, names), 1);
  EXPECT_THAT(names, ElementsAre("A", "b"));
}

TEST(TextToLong, ReadsDecimalWholeNumbersAndRefusesTheRest) {
  EXPECT_EQ(TextToLong("56"), 56);
  EXPECT_EQ(TextToLong("  56 "), 56);
  EXPECT_EQ(TextToLong("-2147483648"), INT32_MIN);
  EXPECT_EQ(TextToLong("+7"), 7);
  EXPECT_EQ(TextToLong("2.5"), 2);  // half to even
  EXPECT_EQ(TextToLong("3.5"), 4);
  EXPECT_EQ(TextToLong("2.50"), 2);
  EXPECT_EQ(TextToLong("2.501"), 3);
  EXPECT_EQ(TextToLong("0.05"), 0);
  EXPECT_EQ(TextToLong("-1.5"), -2);
  for (const char* bad : {"", " ", "abc", "5x", "0x38", "-", "."}) {
    EXPECT_THROW(
        {
          try {
            TextToLong(bad);
          } catch (const Error& e) {
            EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kTypeMismatch)) << bad;
            throw;
          }
        },
        Error)
        << bad;
  }
  try {
    TextToLong("2147483648");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kOverflow));
  }
}

}  // namespace
}  // namespace vorela::testing
