// The registry seam's contract: the same expectations on the SQLite store of
// the POSIX build, on the real registry of the Windows build (under Wine) and
// on the in-memory fake the program tests stand on.
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "fakes/fake_registry.h"
#include "registry_test_env.h"

namespace vorela::testing {
namespace {

// A backend and what it models; a case that needs something a backend does not
// model says which capability it needs.
struct RegistryBackend {
  const char* name;
  bool fake;
  // The machine keys a real system carries (the fake starts empty).
  bool has_machine_folders;
};

class RegistryContract : public RegistryTest,
                         public ::testing::WithParamInterface<RegistryBackend> {
 protected:
  Registry& RegistryUnderTest() override {
    return GetParam().fake ? static_cast<Registry&>(fake_) : SystemRegistry();
  }

  FakeRegistry fake_;
};

void PrintTo(const RegistryBackend& backend, std::ostream* out) { *out << backend.name; }

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract,
                         ::testing::Values(RegistryBackend{"System", false, true},
                                           RegistryBackend{"Fake", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> SubkeyNames(Registry& reg, RegKey key) {
  std::vector<std::string> names;
  for (std::uint32_t i = 0;; ++i) {
    char name[1024];
    std::uint32_t size = sizeof name;
    if (reg.EnumKey(key, i, name, &size) != kErrorSuccess) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::vector<std::string> ValueNames(Registry& reg, RegKey key) {
  std::vector<std::string> names;
  for (std::uint32_t i = 0;; ++i) {
    char name[1024];
    std::uint32_t size = sizeof name;
    if (reg.EnumValue(key, i, name, &size, nullptr, nullptr, nullptr) != kErrorSuccess) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::string Query(Registry& reg, RegKey key, const std::string& name, std::uint32_t* type) {
  std::uint8_t buffer[4096];
  std::uint32_t size = sizeof buffer;
  if (reg.QueryValue(key, name, type, buffer, &size) != kErrorSuccess) return "<missing>";
  return std::string(reinterpret_cast<char*>(buffer), size);
}

TEST_P(RegistryContract, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
  RegKey child = 0;
  ASSERT_EQ(reg().CreateKey(key_, "MiXed\\Child", kKeyAllAccess, &child), kErrorSuccess);
  reg().CloseKey(child);
  ASSERT_EQ(reg().CreateKey(key_, "MIXED\\child", kKeyAllAccess, &child), kErrorSuccess);
  EXPECT_EQ(SetString(child, "Name", "first"), kErrorSuccess);
  EXPECT_EQ(SetString(child, "NAME", "second"), kErrorSuccess);
  reg().CloseKey(child);

  ASSERT_EQ(reg().OpenKey(kHkeyCurrentUser, Sub("mixed\\CHILD"), kKeyRead, &child), kErrorSuccess);
  EXPECT_EQ(ValueNames(reg(), child), std::vector<std::string>{"Name"});
  std::uint32_t type = 0;
  EXPECT_EQ(Query(reg(), child, "name", &type), std::string("second", 7));
  EXPECT_EQ(type, kRegSz);
  reg().CloseKey(child);
  EXPECT_EQ(SubkeyNames(reg(), key_), std::vector<std::string>{"MiXed"});
}

TEST_P(RegistryContract, EnumerationOrderIsByNameIgnoringCase) {
  // Lower-case folding: "[" (0x5B) sorts before letters, "_" before "a".
  for (const char* name : {"b", "Ca", "[z", "a", "C_"}) {
    RegKey child = 0;
    ASSERT_EQ(reg().CreateKey(key_, name, kKeyAllAccess, &child), kErrorSuccess);
    reg().CloseKey(child);
  }
  EXPECT_EQ(SubkeyNames(reg(), key_), (std::vector<std::string>{"[z", "a", "b", "C_", "Ca"}));
  for (const char* name : {"zeta", "Alpha", "", "beta"}) {
    ASSERT_EQ(SetString(key_, name, "x"), kErrorSuccess);
  }
  EXPECT_EQ(ValueNames(reg(), key_), (std::vector<std::string>{"", "Alpha", "beta", "zeta"}));
}

TEST_P(RegistryContract, MissingKeysAndValuesGiveFileNotFound) {
  RegKey key = 0;
  std::uint32_t size = 16;
  std::uint8_t buffer[16] = {};
  EXPECT_EQ(reg().OpenKey(kHkeyCurrentUser, Sub("nope"), kKeyRead, &key), kErrorFileNotFound);
  EXPECT_EQ(reg().QueryValue(key_, "nope", nullptr, buffer, &size), kErrorFileNotFound);
  EXPECT_EQ(reg().QueryValue(key_, "", nullptr, buffer, &size), kErrorFileNotFound);
  EXPECT_EQ(reg().DeleteValue(key_, "nope"), kErrorFileNotFound);
  EXPECT_EQ(reg().DeleteKey(kHkeyCurrentUser, Sub("nope")), kErrorFileNotFound);
  EXPECT_EQ(reg().DeleteTree(kHkeyCurrentUser, Sub("nope")), kErrorFileNotFound);
  char name[16];
  std::uint32_t name_size = sizeof name;
  EXPECT_EQ(reg().EnumKey(key_, 0, name, &name_size), kErrorNoMoreItems);
  EXPECT_EQ(reg().EnumValue(key_, 0, name, &name_size, nullptr, nullptr, nullptr),
            kErrorNoMoreItems);
}

TEST_P(RegistryContract, QueryThatDoesNotFitFailsAndLeavesTheBuffer) {
  std::string text(1023, 'x');  // 1024 bytes with the terminator: fits exactly
  ASSERT_EQ(SetString(key_, "fits", text), kErrorSuccess);
  ASSERT_EQ(SetString(key_, "long", text + "y"), kErrorSuccess);

  std::uint8_t buffer[1024];
  std::memset(buffer, 0xAA, sizeof buffer);
  std::uint32_t size = 1024;
  std::uint32_t type = 0;
  EXPECT_EQ(reg().QueryValue(key_, "long", &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 1025u);
  EXPECT_EQ(buffer[0], 0xAA);
  EXPECT_EQ(buffer[1023], 0xAA);

  size = 1024;
  EXPECT_EQ(reg().QueryValue(key_, "fits", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(size, 1024u);
  EXPECT_EQ(buffer[1023], 0);

  // Without a buffer the query reports type and size only.
  size = 0;
  EXPECT_EQ(reg().QueryValue(key_, "long", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, 1025u);
  EXPECT_EQ(type, kRegSz);
}

TEST_P(RegistryContract, ValueTypesAndBytesRoundTrip) {
  const std::uint8_t dword[] = {0x38, 0, 0, 0};
  const std::uint8_t binary[] = {0, 1, 0xFF};
  const char multi[] = "a\0bc\0";  // with the final terminator of the list
  ASSERT_EQ(reg().SetValue(key_, "d", kRegDword, dword, 4), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(key_, "b", kRegBinary, binary, 3), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(key_, "m", kRegMultiSz, reinterpret_cast<const std::uint8_t*>(multi),
                           sizeof multi),
            kErrorSuccess);
  ASSERT_EQ(SetString(key_, "e", "%SystemRoot%\\inf", kRegExpandSz), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(key_, "odd", 1234, binary, 2), kErrorSuccess);
  ASSERT_EQ(reg().SetValue(key_, "empty", kRegSz, nullptr, 0), kErrorSuccess);

  std::uint32_t type = 0;
  EXPECT_EQ(Query(reg(), key_, "d", &type), std::string("8\0\0\0", 4));
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(Query(reg(), key_, "b", &type), std::string("\0\1\xFF", 3));
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(Query(reg(), key_, "m", &type), std::string(multi, sizeof multi));
  EXPECT_EQ(type, kRegMultiSz);
  EXPECT_EQ(Query(reg(), key_, "e", &type), std::string("%SystemRoot%\\inf\0", 17));
  EXPECT_EQ(type, kRegExpandSz);
  EXPECT_EQ(Query(reg(), key_, "odd", &type), std::string("\0\1", 2));
  EXPECT_EQ(type, 1234u);
  EXPECT_EQ(Query(reg(), key_, "empty", &type), "");
}

TEST_P(RegistryContract, StringWrittenWithoutTerminatorReadsBackTerminated) {
  const std::string text = "ab";
  ASSERT_EQ(
      reg().SetValue(key_, "s", kRegSz, reinterpret_cast<const std::uint8_t*>(text.data()), 2),
      kErrorSuccess);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(reg(), key_, "s", &type), std::string("ab\0", 3));
}

TEST_P(RegistryContract, AnsiNamesAndDataKeepTheirBytes) {
  const std::string name = platform_.text->ToAnsi("名前");
  const std::string data = platform_.text->ToAnsi("日本語");
  ASSERT_EQ(SetString(key_, name, data), kErrorSuccess);
  RegKey child = 0;
  ASSERT_EQ(reg().CreateKey(key_, name, kKeyAllAccess, &child), kErrorSuccess);
  reg().CloseKey(child);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(reg(), key_, name, &type), data + std::string(1, '\0'));
  EXPECT_EQ(ValueNames(reg(), key_), std::vector<std::string>{name});
  EXPECT_EQ(SubkeyNames(reg(), key_), std::vector<std::string>{name});
}

TEST_P(RegistryContract, EnumerationBuffersMustHoldNameAndTerminator) {
  const std::string long_name(256, 'k');
  RegKey child = 0;
  ASSERT_EQ(reg().CreateKey(key_, long_name, kKeyAllAccess, &child), kErrorSuccess);
  reg().CloseKey(child);
  EXPECT_EQ(reg().CreateKey(key_, std::string(257, 'k'), kKeyAllAccess, &child),
            kErrorInvalidParameter);

  char name[300];
  std::memset(name, 'Q', sizeof name);
  std::uint32_t size = 256;
  EXPECT_EQ(reg().EnumKey(key_, 0, name, &size), kErrorMoreData);
  EXPECT_EQ(size, 256u);
  EXPECT_EQ(name[0], 'Q');
  size = 257;
  EXPECT_EQ(reg().EnumKey(key_, 0, name, &size), kErrorSuccess);
  EXPECT_EQ(size, 256u);
  EXPECT_EQ(std::string(name), long_name);
  EXPECT_EQ(reg().EnumKey(key_, 1, name, &size), kErrorNoMoreItems);

  ASSERT_EQ(SetString(key_, "value", "12345"), kErrorSuccess);
  size = 5;  // "value" without room for its terminator
  EXPECT_EQ(reg().EnumValue(key_, 0, name, &size, nullptr, nullptr, nullptr), kErrorMoreData);
  std::uint8_t data[2];
  std::uint32_t data_size = sizeof data;
  std::uint32_t type = 0;
  size = sizeof name;
  EXPECT_EQ(reg().EnumValue(key_, 0, name, &size, &type, data, &data_size), kErrorMoreData);
  EXPECT_EQ(data_size, 6u);
  data_size = 0;
  size = sizeof name;
  EXPECT_EQ(reg().EnumValue(key_, 0, name, &size, &type, nullptr, &data_size), kErrorSuccess);
  EXPECT_EQ(data_size, 6u);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(type, kRegSz);
}

TEST_P(RegistryContract, DeleteKeyRefusesSubkeysAndDeleteTreeTakesAll) {
  RegKey deep = 0;
  ASSERT_EQ(reg().CreateKey(key_, "tree\\a\\b\\c", kKeyAllAccess, &deep), kErrorSuccess);
  ASSERT_EQ(SetString(deep, "v", "1"), kErrorSuccess);
  reg().CloseKey(deep);
  EXPECT_EQ(reg().DeleteKey(kHkeyCurrentUser, Sub("tree")), kErrorAccessDenied);
  EXPECT_EQ(reg().DeleteKey(kHkeyCurrentUser, ""), kErrorAccessDenied);
  EXPECT_EQ(reg().DeleteKey(kHkeyCurrentUser, Sub("tree\\a\\b\\c")), kErrorSuccess);
  EXPECT_EQ(reg().DeleteTree(kHkeyCurrentUser, Sub("TREE")), kErrorSuccess);
  EXPECT_EQ(reg().OpenKey(kHkeyCurrentUser, Sub("tree"), kKeyRead, &deep), kErrorFileNotFound);
  // Recreated, the key is empty: nothing of the old tree survives.
  ASSERT_EQ(reg().CreateKey(key_, "tree\\a\\b\\c", kKeyAllAccess, &deep), kErrorSuccess);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(reg(), deep, "v", &type), "<missing>");
  reg().CloseKey(deep);
}

TEST_P(RegistryContract, HandleOfADeletedKeyFails) {
  RegKey doomed = 0;
  ASSERT_EQ(reg().CreateKey(key_, "doomed", kKeyAllAccess, &doomed), kErrorSuccess);
  ASSERT_EQ(reg().DeleteTree(key_, "doomed"), kErrorSuccess);
  std::uint8_t buffer[8];
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(reg().QueryValue(doomed, "v", nullptr, buffer, &size), kErrorKeyDeleted);
  EXPECT_EQ(SetString(doomed, "v", "1"), kErrorKeyDeleted);
  RegKey child = 0;
  EXPECT_EQ(reg().CreateKey(doomed, "child", kKeyAllAccess, &child), kErrorKeyDeleted);
  char name[16];
  std::uint32_t name_size = sizeof name;
  EXPECT_EQ(reg().EnumKey(doomed, 0, name, &name_size), kErrorKeyDeleted);
  EXPECT_EQ(reg().CloseKey(doomed), kErrorSuccess);
  EXPECT_EQ(reg().CloseKey(doomed), kErrorInvalidHandle);
  EXPECT_EQ(reg().CloseKey(kHkeyCurrentUser), kErrorSuccess);
}

TEST_P(RegistryContract, AccessMaskOfTheHandleIsEnforced) {
  ASSERT_EQ(SetString(key_, "v", "1"), kErrorSuccess);
  RegKey read_only = 0;
  RegKey enum_only = 0;
  ASSERT_EQ(reg().OpenKey(kHkeyCurrentUser, base_, kKeyRead, &read_only), kErrorSuccess);
  ASSERT_EQ(reg().OpenKey(kHkeyCurrentUser, base_, kKeyEnumerateSubKeys, &enum_only),
            kErrorSuccess);
  EXPECT_EQ(SetString(read_only, "v", "2"), kErrorAccessDenied);
  std::uint8_t buffer[8];
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(reg().QueryValue(enum_only, "v", nullptr, buffer, &size), kErrorAccessDenied);
  EXPECT_EQ(reg().QueryValue(read_only, "v", nullptr, buffer, &size), kErrorSuccess);
  reg().CloseKey(read_only);
  reg().CloseKey(enum_only);
}

TEST_P(RegistryContract, PathSyntax) {
  RegKey key = 0;
  EXPECT_EQ(reg().OpenKey(key_, "\\lead", kKeyRead, &key), kErrorBadPathname);
  EXPECT_EQ(reg().CreateKey(key_, "\\lead", kKeyAllAccess, &key), kErrorBadPathname);
  // The A functions take paths of up to 260 characters.
  std::string long_path;
  while (long_path.size() < 260) long_path += "p\\";
  long_path.resize(260);
  ASSERT_EQ(reg().CreateKey(key_, long_path, kKeyAllAccess, &key), kErrorSuccess);
  reg().CloseKey(key);
  EXPECT_EQ(reg().OpenKey(key_, long_path + "q", kKeyRead, &key), kErrorMoreData);
  EXPECT_EQ(reg().CreateKey(key_, long_path + "q", kKeyAllAccess, &key), kErrorMoreData);
  EXPECT_EQ(reg().DeleteKey(key_, long_path + "q"), kErrorMoreData);
  // Doubled and trailing separators are skipped.
  ASSERT_EQ(reg().CreateKey(key_, "d\\\\e\\", kKeyAllAccess, &key), kErrorSuccess);
  reg().CloseKey(key);
  ASSERT_EQ(reg().OpenKey(key_, "D\\E", kKeyRead, &key), kErrorSuccess);
  reg().CloseKey(key);
  // An empty path opens a new handle to the same key.
  ASSERT_EQ(reg().OpenKey(key_, "", kKeyAllAccess, &key), kErrorSuccess);
  EXPECT_NE(key, key_);
  EXPECT_EQ(SetString(key, "through", "new handle"), kErrorSuccess);
  reg().CloseKey(key);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(reg(), key_, "through", &type), std::string("new handle\0", 11));
}

TEST_P(RegistryContract, MachineKeysTheFolderResolverReads) {
  if (!GetParam().has_machine_folders) {
    GTEST_SKIP() << "the fake starts empty: it carries no machine keys";
  }
  RegKey key = 0;
  ASSERT_EQ(reg().OpenKey(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                          kKeyRead, &key),
            kErrorSuccess);
  std::uint32_t type = 0;
#if defined(_WIN32) && !defined(_WIN64)
  // A 32-bit program on 64-bit Windows reads the redirected (x86) view.
  const std::string program_files = "C:\\Program Files (x86)";
#else
  const std::string program_files = "C:\\Program Files";
#endif
  EXPECT_EQ(Query(reg(), key, "CommonFilesDir", &type),
            program_files + std::string("\\Common Files\0", 14));
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(Query(reg(), key, "ProgramFilesDir", &type), program_files + std::string(1, '\0'));
  reg().CloseKey(key);
}

}  // namespace
}  // namespace vorela::testing
