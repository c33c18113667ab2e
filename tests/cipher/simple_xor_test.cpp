// clsSimpleXOR's byte and string forms.
#include "cleaner/simple_xor.h"

#include <gtest/gtest.h>

#include "cipher/cipher_test_util.h"
#include "common/error.h"

namespace vorela {
namespace {

using testing::Bytes;
using testing::RecordingObserver;
using testing::Text;

class SimpleXorTest : public ::testing::Test {
 protected:
  SimpleXorTest() { platform_.text = &SystemTextCodec(); }
  Platform platform_;
};

TEST_F(SimpleXorTest, RepeatsTheKeyAndUndoesItself) {
  clsSimpleXOR cipher(platform_);
  ByteArray bytes = Bytes("abcdefg");
  cipher.EncryptByte(bytes, "\x01\x02\x03");
  EXPECT_EQ(bytes, (ByteArray{'a' ^ 1, 'b' ^ 2, 'c' ^ 3, 'd' ^ 1, 'e' ^ 2,
                              'f' ^ 3, 'g' ^ 1}));
  cipher.EncryptByte(bytes);
  EXPECT_EQ(Text(bytes), "abcdefg");
  cipher.DecryptByte(bytes, "Z");
  EXPECT_EQ(bytes, (ByteArray{'a' ^ 'Z', 'b' ^ 'Z', 'c' ^ 'Z', 'd' ^ 'Z',
                              'e' ^ 'Z', 'f' ^ 'Z', 'g' ^ 'Z'}));
}

TEST_F(SimpleXorTest, NoKeyIsADivisionByZeroBeforeAnyByteChanges) {
  clsSimpleXOR cipher(platform_);
  ByteArray bytes = Bytes("abc");
  try {
    cipher.EncryptByte(bytes);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kDivisionByZero));
    EXPECT_EQ(e.Description(), "Division by zero");
  }
  EXPECT_EQ(Text(bytes), "abc");
}

TEST_F(SimpleXorTest, EmptyArrayRaisesOnlyTheClosingProgress) {
  clsSimpleXOR cipher(platform_);  // no key either: nothing to divide
  RecordingObserver observer;
  cipher.SetProgressObserver(&observer);
  ByteArray bytes;
  cipher.EncryptByte(bytes);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(observer.reports, std::vector<std::int32_t>{100});
}

TEST_F(SimpleXorTest, ProgressIsPacedPerByte) {
  clsSimpleXOR cipher(platform_);
  cipher.Key("k");
  for (std::size_t n : {1u, 7u, 100u, 1001u, 65536u}) {
    RecordingObserver observer;
    cipher.SetProgressObserver(&observer);
    ByteArray bytes(n, 0);
    cipher.EncryptByte(bytes);
    EXPECT_EQ(observer.reports, testing::ExpectedReports(n, 1)) << n;
    EXPECT_EQ(bytes, ByteArray(n, 'k')) << n;
  }
}

TEST_F(SimpleXorTest, BlankTextDecryptsToEmptyWithoutTouchingTheKey) {
  clsSimpleXOR cipher(
      platform_);  // no key: a transformation would divide by zero
  EXPECT_EQ(cipher.DecryptString(""), "");
  EXPECT_EQ(cipher.DecryptString("   "), "");
  EXPECT_THROW(cipher.DecryptString(" x "), Error);
}

TEST_F(SimpleXorTest, StringRoundTripForTextThatStaysAscii) {
  clsSimpleXOR cipher(platform_);
  // Key bits above 0x1F keep letters printable ASCII after XOR with 0x20.
  std::string encrypted = cipher.EncryptString("Hello", " ");
  EXPECT_EQ(encrypted, "hELLO");
  EXPECT_EQ(cipher.DecryptString(encrypted), "Hello");
}

TEST_F(SimpleXorTest, SettingAnEmptyKeyAfterAKeyLeavesNoKey) {
  clsSimpleXOR cipher(platform_);
  cipher.Key("a");
  cipher.Key("");
  ByteArray bytes = Bytes("x");
  EXPECT_THROW(cipher.EncryptByte(bytes), Error);
}

}  // namespace
}  // namespace vorela
