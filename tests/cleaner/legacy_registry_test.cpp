// The cleaner's own registry readers, on this build's real registry (the SQLite
// store natively, the prefix's registry under Wine), in a scratch key.
#include "cleaner/legacy_registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/machine_root.h"

namespace vorela {
namespace {

class LegacyRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = SystemPlatform();
    key_ = "Software\\VorelaTest\\legacy-" + std::to_string(reinterpret_cast<std::uintptr_t>(this));
    platform_.registry->DeleteTree(kHkeyCurrentUser, key_);
    ASSERT_EQ(platform_.registry->CreateKey(kHkeyCurrentUser, key_, kKeyAllAccess, &handle_), 0u);
  }
  void TearDown() override {
    platform_.registry->CloseKey(handle_);
    platform_.registry->DeleteTree(kHkeyCurrentUser, key_);
  }
  void Set(const std::string& name, std::uint32_t type, const std::string& data) {
    ASSERT_EQ(platform_.registry->SetValue(handle_, name, type,
                                           reinterpret_cast<const std::uint8_t*>(data.data()),
                                           static_cast<std::uint32_t>(data.size())),
              0u);
  }

  testing::ScopedMachineRoot machine_;
  Platform platform_;
  std::string key_;
  RegKey handle_ = 0;
};

TEST_F(LegacyRegistry, BinaryValuesComeBackByteExactUpTo1024Bytes) {
  Set("VALUE", kRegBinary, std::string("\0\x01\xFF\0", 4));
  Set("FULL", kRegBinary, std::string(1024, '\x5A'));
  Set("BIG", kRegBinary, std::string(1025, '\x5A'));
  EXPECT_EQ(RegReadBinary(platform_, kHkeyCurrentUser, key_, "VALUE"), std::string("\0\x01\xFF\0", 4));
  EXPECT_EQ(RegReadBinary(platform_, kHkeyCurrentUser, key_, "FULL").size(), 1024u);
  EXPECT_EQ(RegReadBinary(platform_, kHkeyCurrentUser, key_, "BIG"), "");
  EXPECT_EQ(RegReadBinary(platform_, kHkeyCurrentUser, key_, "NONE"), "");
  EXPECT_EQ(RegReadBinary(platform_, kHkeyCurrentUser, key_ + "\\missing", "VALUE"), "");
}

TEST_F(LegacyRegistry, CountsEveryValueWhateverItsSize) {
  EXPECT_EQ(RegCountValues(platform_, kHkeyCurrentUser, key_), -1) << "no values yet";
  Set("WORD01", kRegSz, std::string("a\0", 2));
  Set(std::string(150, 'W'), kRegSz, std::string("b\0", 2));  // name longer than the buffer
  Set("WORD03", kRegSz, std::string(300, 'c') + '\0');         // data longer than the buffer
  EXPECT_EQ(RegCountValues(platform_, kHkeyCurrentUser, key_), 2);
  EXPECT_EQ(RegCountValues(platform_, kHkeyCurrentUser, key_ + "\\missing"), -1);
}

TEST(LegacyNumbers, ToLongIsZeroForAnythingButAWholeNumber) {
  EXPECT_EQ(ToLong("12"), 12);
  EXPECT_EQ(ToLong("1"), 1);
  EXPECT_EQ(ToLong("-5"), -5);
  EXPECT_EQ(ToLong(""), 0);
  EXPECT_EQ(ToLong("abc"), 0);
  EXPECT_EQ(ToLong("x9"), 0);
  EXPECT_EQ(ToLong("99999999999"), 0) << "out of range is no 32-bit number";
}

}  // namespace
}  // namespace vorela
