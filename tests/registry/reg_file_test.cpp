// The .reg format: files the platform's own tool exported, the other encodings
// and the old form, and refusal of bad input with its line number.
#include "common/reg_file.h"

#include <gmock/gmock.h>

#include "common/reg_text.h"
#include "registry_test_env.h"

namespace vorela::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using RegFile = RegistryTest;

constexpr const char* kSampleKey = "HKEY_CURRENT_USER\\Software\\VorelaProbe";

std::string Utf16File(const std::string& utf8) {
  return "\xFF\xFE" + Utf8ToUtf16Le(utf8);
}

bool Import(Registry& reg, const std::string& bytes, std::string* error) {
  std::vector<RegStatement> statements;
  return ParseRegFile(bytes, SystemTextCodec(), &statements, error) &&
         ApplyRegStatements(reg, SystemTextCodec(), statements, error);
}

std::string Export(Registry& reg, const std::string& key_text) {
  RegKey root = 0;
  std::string path;
  EXPECT_TRUE(ParseRootedKey(key_text, &root, &path));
  std::string bytes;
  EXPECT_EQ(ExportRegFile(reg, SystemTextCodec(), root, path, key_text, &bytes),
            kErrorSuccess);
  return bytes;
}

// The sample's keys are fixed; clear them before and after.
class WineSample : public RegFile {
 protected:
  void SetUp() override {
    RegFile::SetUp();
    reg().DeleteTree(kHkeyCurrentUser, "Software\\VorelaProbe");
  }
  void TearDown() override {
    reg().DeleteTree(kHkeyCurrentUser, "Software\\VorelaProbe");
    RegFile::TearDown();
  }
};

TEST_F(WineSample, ExportedFileImportsAndExportsBackByteForByte) {
  const std::string sample = ReadTestData("wine_export.reg");
  std::string error;
  ASSERT_TRUE(Import(reg(), sample, &error)) << error;
  EXPECT_EQ(Export(reg(), kSampleKey), sample);
}

TEST_F(WineSample, Utf8FormsReadTheSameAsUtf16) {
  const std::string utf8 =
      Utf16LeToUtf8(ReadTestData("wine_export.reg").substr(2));
  std::vector<RegStatement> from_utf16, from_utf8, from_bom;
  std::string error;
  ASSERT_TRUE(ParseRegFile(ReadTestData("wine_export.reg"), SystemTextCodec(),
                           &from_utf16, &error));
  ASSERT_TRUE(ParseRegFile(utf8, SystemTextCodec(), &from_utf8, &error))
      << error;
  ASSERT_TRUE(ParseRegFile("\xEF\xBB\xBF" + utf8, SystemTextCodec(), &from_bom,
                           &error));
  ASSERT_EQ(from_utf8.size(), from_utf16.size());
  ASSERT_EQ(from_bom.size(), from_utf16.size());
  for (std::size_t i = 0; i < from_utf16.size(); ++i) {
    EXPECT_EQ(from_utf8[i].data, from_utf16[i].data) << i;
    EXPECT_EQ(from_utf8[i].name, from_utf16[i].name) << i;
    EXPECT_EQ(from_bom[i].path, from_utf16[i].path) << i;
  }
}

TEST_F(RegFile, OldAnsiFormKeepsStringDataInTheCodePage) {
  const TextCodec& codec = SystemTextCodec();
  const std::string ansi_expand = codec.ToAnsi("%PATH%\\日本");
  std::string hex;
  for (char c : ansi_expand + std::string(1, '\0')) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x,",
                  static_cast<unsigned char>(c));
    hex += digits;
  }
  hex.pop_back();
  const std::string file = codec.ToAnsi(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + base_ +
      "\\old]\r\n\"text\"=\"かな \\\"q\\\"\"\r\n\"exp\"=hex(2):" + hex +
      "\r\n\"n\"=dword:0000000a\r\n");
  std::string error;
  ASSERT_TRUE(Import(reg(), file, &error)) << error;
  RegKey key = 0;
  ASSERT_EQ(reg().OpenKey(kHkeyCurrentUser, Sub("old"), kKeyRead, &key),
            kErrorSuccess);
  std::uint8_t buffer[64];
  std::uint32_t size = sizeof buffer;
  std::uint32_t type = 0;
  ASSERT_EQ(reg().QueryValue(key, "text", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size),
            codec.ToAnsi("かな \"q\"") + std::string(1, '\0'));
  size = sizeof buffer;
  ASSERT_EQ(reg().QueryValue(key, "exp", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegExpandSz);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size),
            ansi_expand + std::string(1, '\0'));
  reg().CloseKey(key);
}

TEST_F(RegFile, DeletionLinesRemoveKeysAndValuesAndIgnoreMissingOnes) {
  const std::string k = "[HKEY_CURRENT_USER\\" + base_;
  std::string error;
  ASSERT_TRUE(Import(reg(),
                     Utf16File("Windows Registry Editor Version 5.00\r\n\r\n" +
                               k + "\\gone\\deep]\r\n\"v\"=\"1\"\r\n" + k +
                               "\\kept]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n"),
                     &error))
      << error;
  ASSERT_TRUE(Import(
      reg(),
      Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[-" + k.substr(1) +
                "\\gone]\r\n\"ignored\"=\"x\"\r\n[-" + k.substr(1) +
                "\\never]\r\n" + k + "\\kept]\r\n\"a\"=-\r\n\"zz\"=-\r\n"),
      &error))
      << error;
  EXPECT_EQ(
      Export(reg(), "HKEY_CURRENT_USER\\" + base_),
      Utf16File(
          "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" +
          base_ + "]\r\n\r\n" + k + "\\kept]\r\n\"b\"=\"2\"\r\n\r\n"));
}

TEST_F(RegFile, EscapesAndLongHexLinesAreWrittenAsThePlatformWritesThem) {
  const std::string text = "a\r\nb\\\"c\td";
  ASSERT_EQ(SetString(key_, "nl\"x\\", text), kErrorSuccess);
  std::string data(40, '\x01');
  ASSERT_EQ(reg().SetValue(key_, "", kRegBinary,
                           reinterpret_cast<std::uint8_t*>(data.data()),
                           static_cast<std::uint32_t>(data.size())),
            kErrorSuccess);
  ASSERT_EQ(reg().SetValue(key_, "short", kRegDword,
                           reinterpret_cast<std::uint8_t*>(data.data()), 2),
            kErrorSuccess);
  std::string ones;
  for (int i = 0; i < 24; ++i) ones += "01,";
  ones += "\\\r\n  ";
  for (int i = 0; i < 15; ++i) ones += "01,";
  ones += "01";
  EXPECT_EQ(Export(reg(), "HKCU\\" + base_),
            Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKCU\\" +
                      base_ + "]\r\n@=hex:" + ones +
                      "\r\n\"nl\\\"x\\\\\"=\"a\\r\\nb\\\\\\\"c\td\"\r\n"
                      "\"short\"=hex(4):01,01\r\n\r\n"));
}

// Strings that the quoted form cannot carry go out as hex(1): and come back
// byte for byte; ordinary ones keep the quoted form.
TEST_F(RegFile, StringsTheQuotedFormCannotCarryRoundTripAsHex) {
  const std::string values[][2] = {
      {"ctl", std::string("a\x01" "b\x1b" "c\x7f" "d\0", 8)},
      {"inner", std::string("one\0two\0", 8)},
      {"twice", std::string("x\0\0", 3)},
      {"plain", std::string("a\r\nb\tc\0", 7)},
  };
  for (const auto& [name, bytes] : values) {
    ASSERT_EQ(reg().SetValue(key_, name, kRegSz, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size())),
              kErrorSuccess);
  }
  const std::string exported = Export(reg(), "HKCU\\" + base_);
  EXPECT_EQ(exported,
            Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKCU\\" + base_ +
                      "]\r\n\"ctl\"=hex(1):61,00,01,00,62,00,1b,00,63,00,7f,00,64,00,00,00\r\n"
                      "\"inner\"=hex(1):6f,00,6e,00,65,00,00,00,74,00,77,00,6f,00,00,00\r\n"
                      "\"plain\"=\"a\\r\\nb\tc\"\r\n"
                      "\"twice\"=hex(1):78,00,00,00,00,00\r\n\r\n"));
  ASSERT_EQ(reg().DeleteTree(kHkeyCurrentUser, base_), kErrorSuccess);
  std::string error;
  ASSERT_TRUE(Import(reg(), exported, &error)) << error;
  RegKey key = 0;
  ASSERT_EQ(reg().OpenKey(kHkeyCurrentUser, base_, kKeyRead, &key), kErrorSuccess);
  for (const auto& [name, bytes] : values) {
    std::uint8_t data[64];
    std::uint32_t size = sizeof data, type = 0;
    ASSERT_EQ(reg().QueryValue(key, name, &type, data, &size), kErrorSuccess) << name;
    EXPECT_EQ(type, kRegSz) << name;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), bytes) << name;
  }
  reg().CloseKey(key);
}

struct BadFile {
  const char* text;
  const char* error;  // expected start of the message
};

TEST(RegFileParse, BadInputIsRefusedWithItsLineNumber) {
  const std::string header =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\x]\r\n";
  const BadFile cases[] = {
      {"\"a\"=\"x\\q\"\r\n", "line 4: bad escape"},
      {"\"a\"=\"open\r\n", "line 4: the string has no closing quote"},
      {"\"a\"=\"1\"\r\n\"b\"=foo:12\r\n", "line 5: unknown value type"},
      {"\"a\"=hex(2x):00\r\n", "line 4: bad value type"},
      {"\"a\"=hex:0g\r\n", "line 4: bad hex data"},
      {"\"a\"=hex:123\r\n", "line 4: bad hex data"},
      {"\"a\"=hex:01,\\\r\n  02,\\\r\n",
       "line 5: the file ends inside a value"},
      {"\"a\"=dword:123456789\r\n", "line 4: bad dword data"},
      {"\"a\"=dword:\r\n", "line 4: bad dword data"},
      {"\"a\"\"1\"\r\n", "line 4: \"=\" expected"},
      {"[HKEY_NOWHERE\\x]\r\n", "line 4: unknown root key"},
      {"[HKEY_CURRENT_USER\\x\r\n", "line 4: the key name has no closing"},
      {"[-HKEY_CURRENT_USER]\r\n", "line 4: a root key cannot be deleted"},
      {"junk\r\n", "line 4: unexpected text"},
  };
  for (const BadFile& bad : cases) {
    std::vector<RegStatement> statements;
    std::string error;
    EXPECT_FALSE(
        ParseRegFile(header + bad.text, SystemTextCodec(), &statements, &error))
        << bad.text;
    EXPECT_THAT(error, StartsWith(bad.error)) << bad.text;
    EXPECT_TRUE(statements.empty());
  }
  std::vector<RegStatement> statements;
  std::string error;
  EXPECT_FALSE(
      ParseRegFile("\"a\"=\"1\"\r\n", SystemTextCodec(), &statements, &error));
  EXPECT_THAT(error, StartsWith("line 1: not a registry file"));
  EXPECT_FALSE(
      ParseRegFile("Windows Registry Editor Version 5.00\r\n\"a\"=\"1\"\r\n",
                   SystemTextCodec(), &statements, &error));
  EXPECT_THAT(error, StartsWith("line 2: a value before the first key"));
  EXPECT_FALSE(
      ParseRegFile(header + "[HKCU\\" + std::string(257, 'n') + "]\r\n",
                   SystemTextCodec(), &statements, &error));
  EXPECT_THAT(error, StartsWith("line 4: a key name is longer"));
  EXPECT_FALSE(ParseRegFile(header + "\"a\"=\"\xC3\x28\"\r\n",
                            SystemTextCodec(), &statements, &error));
  EXPECT_THAT(error, StartsWith("line 4: the text is not valid UTF-8"));
  // A UTF-16 file cut in the middle of a character.
  std::string utf16 = Utf16File(header + "\"a\"=\"1\"\r\n");
  utf16.pop_back();
  EXPECT_FALSE(ParseRegFile(utf16, SystemTextCodec(), &statements, &error));
  EXPECT_THAT(error, StartsWith("line 4: the file is truncated"));
  EXPECT_FALSE(ParseRegFile("", SystemTextCodec(), &statements, &error));
}

TEST(RegFileParse, AcceptsWhatHandWrittenFilesContain) {
  const std::string file =
      "\r\nWindows Registry Editor Version 5.00\n; a "
      "comment\n[HKLM\\Software\\x] ; trailing\n"
      "  @ = \"v\" ; comment\n\"h\"=hex:  01 , 02,\\\n   "
      "03\n\"e\"=hex:\n\"\"=dword:A\n";
  std::vector<RegStatement> statements;
  std::string error;
  ASSERT_TRUE(ParseRegFile(file, SystemTextCodec(), &statements, &error))
      << error;
  ASSERT_EQ(statements.size(), 5u);
  EXPECT_EQ(statements[0].root, kHkeyLocalMachine);
  EXPECT_EQ(statements[0].path, "Software\\x");
  EXPECT_EQ(statements[1].data, std::string("v\0\0\0", 4));
  EXPECT_EQ(statements[2].data, "\x01\x02\x03");
  EXPECT_EQ(statements[2].line, 6);
  EXPECT_EQ(statements[3].data, "");
  EXPECT_EQ(statements[4].data, std::string("\x0a\0\0\0", 4));
}

}  // namespace
}  // namespace vorela::testing
