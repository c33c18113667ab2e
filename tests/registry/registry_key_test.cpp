// The self-closing registry key, over the build's real registry (the SQLite
// store natively, the platform's registry under Wine). A counting pass-through
// sees every handle the key and the helpers open and close; a handle the key
// has closed is also refused by the registry itself.
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/reg_file.h"
#include "common/registry_helpers.h"
#include "platform/registry_key.h"
#include "registry_test_env.h"

namespace vorela::testing {
namespace {

// Passes every call on and keeps the set of handles opened through it and not
// yet closed.
class CountingRegistry : public Registry {
 public:
  explicit CountingRegistry(Registry& real) : real_(real) {}

  std::size_t open() const { return open_.size(); }

  Win32Error OpenKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                     RegKey* key) override {
    return Track(real_.OpenKey(root, sub_key, access, key), key);
  }
  Win32Error CreateKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                       RegKey* key) override {
    return Track(real_.CreateKey(root, sub_key, access, key), key);
  }
  Win32Error QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* size) override {
    return real_.QueryValue(key, name, type, data, size);
  }
  Win32Error SetValue(RegKey key, std::string_view name, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override {
    return real_.SetValue(key, name, type, data, size);
  }
  Win32Error EnumKey(RegKey key, std::uint32_t index, char* name,
                     std::uint32_t* name_size) override {
    return real_.EnumKey(key, index, name, name_size);
  }
  Win32Error EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* name_size,
                       std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* data_size) override {
    return real_.EnumValue(key, index, name, name_size, type, data, data_size);
  }
  Win32Error DeleteValue(RegKey key, std::string_view name) override {
    return real_.DeleteValue(key, name);
  }
  Win32Error DeleteKey(RegKey root, std::string_view sub_key) override {
    return real_.DeleteKey(root, sub_key);
  }
  Win32Error DeleteTree(RegKey root, std::string_view sub_key) override {
    return real_.DeleteTree(root, sub_key);
  }
  Win32Error CloseKey(RegKey key) override {
    const Win32Error rc = real_.CloseKey(key);
    if (rc == kErrorSuccess) open_.erase(key);
    return rc;
  }

 private:
  Win32Error Track(Win32Error rc, const RegKey* key) {
    if (rc == kErrorSuccess) open_.insert(*key);
    return rc;
  }

  Registry& real_;
  std::set<RegKey> open_;
};

class RegistryKeyTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    counting_ = std::make_unique<CountingRegistry>(SystemRegistry());
    platform_.registry = counting_.get();
  }
  void TearDown() override {
    platform_.registry = &SystemRegistry();
    counting_.reset();
    RegistryTest::TearDown();
  }

  CountingRegistry& counting() { return *counting_; }
  // A key the registry no longer knows refuses to be closed again.
  bool IsClosed(RegKey handle) { return SystemRegistry().CloseKey(handle) == kErrorInvalidHandle; }

  std::unique_ptr<CountingRegistry> counting_;
};

TEST_F(RegistryKeyTest, ClosesWhenItGoesOutOfScopeOrIsClosedEarly) {
  RegKey handle = 0;
  {
    RegistryKey key(counting());
    EXPECT_FALSE(key.valid());
    ASSERT_EQ(key.Create(key_, "scoped", kKeyAllAccess), kErrorSuccess);
    EXPECT_TRUE(key.valid());
    EXPECT_EQ(counting().open(), 1u);
    handle = key.get();
  }
  EXPECT_EQ(counting().open(), 0u);
  EXPECT_TRUE(IsClosed(handle));

  RegistryKey key(counting());
  ASSERT_EQ(key.Open(key_, "scoped", kKeyRead), kErrorSuccess);
  key.Close();
  EXPECT_FALSE(key.valid());
  EXPECT_EQ(counting().open(), 0u);
  key.Close();  // closing an empty key does nothing
  EXPECT_EQ(counting().open(), 0u);
}

TEST_F(RegistryKeyTest, AMoveHandsTheHandleOnAndEachHandleClosesOnce) {
  RegistryKey first(counting());
  ASSERT_EQ(first.Create(key_, "a", kKeyAllAccess), kErrorSuccess);
  const RegKey a = first.get();

  RegistryKey second(std::move(first));
  EXPECT_FALSE(first.valid());  // NOLINT(bugprone-use-after-move): moved-from is empty
  EXPECT_EQ(second.get(), a);
  EXPECT_EQ(counting().open(), 1u);

  RegistryKey third(counting());
  ASSERT_EQ(third.Create(key_, "b", kKeyAllAccess), kErrorSuccess);
  const RegKey b = third.get();
  EXPECT_EQ(counting().open(), 2u);
  third = std::move(second);  // b is closed, a changes owner
  EXPECT_TRUE(IsClosed(b));
  EXPECT_EQ(third.get(), a);
  EXPECT_EQ(counting().open(), 1u);

  std::vector<RegistryKey> keys;
  keys.push_back(std::move(third));
  for (int i = 0; i < 8; ++i) {  // growing the vector moves the keys, closing none
    RegistryKey more(counting());
    ASSERT_EQ(more.Create(key_, "c" + std::to_string(i), kKeyAllAccess), kErrorSuccess);
    keys.push_back(std::move(more));
  }
  EXPECT_EQ(counting().open(), 9u);
  keys.clear();
  EXPECT_EQ(counting().open(), 0u);
  EXPECT_TRUE(IsClosed(a));
}

TEST_F(RegistryKeyTest, ClosesWhenAnExceptionLeavesTheScope) {
  RegKey handle = 0;
  EXPECT_THROW(
      {
        RegistryKey key(counting());
        ASSERT_EQ(key.Create(key_, "thrown", kKeyAllAccess), kErrorSuccess);
        handle = key.get();
        throw std::runtime_error("half-way");
      },
      std::runtime_error);
  EXPECT_EQ(counting().open(), 0u);
  EXPECT_TRUE(IsClosed(handle));

  // The helper that writes numbers throws on text that is none, after it has
  // created the key.
  EXPECT_ANY_THROW(RegWriteValue(platform_, kHkeyCurrentUser, Sub("n"), "v", "abc", true));
  EXPECT_EQ(counting().open(), 0u);
}

TEST_F(RegistryKeyTest, AFailedOpenOrCreateLeavesTheKeyAsItWas) {
  RegistryKey empty(counting());
  EXPECT_EQ(empty.Open(key_, "missing", kKeyRead), kErrorFileNotFound);
  EXPECT_FALSE(empty.valid());
  EXPECT_EQ(empty.get(), 0u);

  RegistryKey held(counting());
  ASSERT_EQ(held.Create(key_, "held", kKeyAllAccess), kErrorSuccess);
  ASSERT_EQ(SetString(held.get(), "v", "still here"), kErrorSuccess);
  const RegKey before = held.get();
  EXPECT_EQ(held.Open(key_, "missing", kKeyRead), kErrorFileNotFound);
  // A path with a leading separator makes a create fail too.
  EXPECT_EQ(held.Create(key_, "\\lead", kKeyAllAccess), kErrorBadPathname);
  EXPECT_EQ(held.get(), before);
  EXPECT_EQ(counting().open(), 1u);
  std::uint32_t size = 0;
  EXPECT_EQ(reg().QueryValue(held.get(), "v", nullptr, nullptr, &size), kErrorSuccess);

  // A successful open replaces the handle and closes the one it held.
  ASSERT_EQ(held.Open(key_, "held", kKeyRead), kErrorSuccess);
  EXPECT_EQ(counting().open(), 1u);
  EXPECT_TRUE(IsClosed(before));
}

TEST_F(RegistryKeyTest, ReleaseHandsTheHandleToTheCaller) {
  RegistryKey key(counting());
  ASSERT_EQ(key.Create(key_, "given", kKeyAllAccess), kErrorSuccess);
  const RegKey handle = key.Release();
  EXPECT_FALSE(key.valid());
  EXPECT_EQ(counting().open(), 1u);
  EXPECT_EQ(counting().CloseKey(handle), kErrorSuccess);
  EXPECT_EQ(counting().open(), 0u);
}

// The helpers that open keys leave none open, on success and on failure.
TEST_F(RegistryKeyTest, HelpersAndRegFilesLeaveNoKeyOpen) {
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, Sub("tree\\one"), "s", "x", false));
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, Sub("tree\\one\\deep"), "d", "7", true));
  ASSERT_TRUE(RegWriteValue(platform_, kHkeyCurrentUser, Sub("tree\\two"), "s", "y", false));
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, Sub("tree\\one"), "s"), "x");
  EXPECT_EQ(RegReadString(platform_, kHkeyCurrentUser, Sub("none"), "s"), "");
  std::vector<std::string> names;
  EXPECT_EQ(RegEnumSubKeys(platform_, kHkeyCurrentUser, Sub("tree"), names), 1);
  EXPECT_EQ(RegEnumSubKeys(platform_, kHkeyCurrentUser, Sub("none"), names), -1);
  EXPECT_EQ(counting().open(), 0u);

  std::string exported;
  ASSERT_EQ(ExportRegFile(reg(), *platform_.text, kHkeyCurrentUser, Sub("tree"), "T", &exported),
            kErrorSuccess);
  EXPECT_NE(ExportRegFile(reg(), *platform_.text, kHkeyCurrentUser, Sub("none"), "T", &exported),
            kErrorSuccess);
  EXPECT_EQ(counting().open(), 0u);

  std::vector<RegStatement> statements(3);
  statements[0].kind = RegStatement::Kind::kKey;
  statements[0].root = kHkeyCurrentUser;
  statements[0].path = Sub("applied");
  statements[1].kind = RegStatement::Kind::kSetValue;
  statements[1].name = "v";
  statements[1].type = kRegBinary;
  statements[1].data = "1";
  statements[2] = statements[0];
  statements[2].path = Sub("applied\\again");
  std::string error;
  EXPECT_TRUE(ApplyRegStatements(reg(), *platform_.text, statements, &error)) << error;
  EXPECT_EQ(counting().open(), 0u);
  // A failing statement after an open key: the key still closes.
  statements.push_back(statements[1]);
  statements.back().kind = RegStatement::Kind::kKey;
  statements.back().path = "\\lead";
  EXPECT_FALSE(ApplyRegStatements(reg(), *platform_.text, statements, &error));
  EXPECT_EQ(counting().open(), 0u);
}

}  // namespace
}  // namespace vorela::testing
