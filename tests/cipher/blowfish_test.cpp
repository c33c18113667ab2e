// clsBlowfish's byte and string forms: the format, the key property, the size
// descriptor check and the Progress event.
#include "common/blowfish.h"

#include <gtest/gtest.h>

#include "cipher/cipher_test_util.h"
#include "common/error.h"

namespace vorela {
namespace {

using testing::Bytes;
using testing::CbcDecryptRaw;
using testing::CbcEncryptRaw;
using testing::RecordingObserver;
using testing::Text;

class BlowfishTest : public ::testing::Test {
 protected:
  BlowfishTest() { platform_.text = &SystemTextCodec(); }
  Platform platform_;
};

std::uint32_t LittleEndianAt(const ByteArray& b, std::size_t at) {
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 |
         std::uint32_t{b[at + 2]} << 16 | std::uint32_t{b[at + 3]} << 24;
}

TEST_F(BlowfishTest, LaysOutHeaderDataAndPaddingBeforeChaining) {
  for (std::size_t n : {0u, 4u, 5u, 11u, 12u, 13u, 100u}) {
    std::string data(n, 'x');
    for (std::size_t i = 0; i < n; ++i)
      data[i] = static_cast<char>('a' + i % 26);
    clsBlowfish cipher(platform_);
    ByteArray bytes = Bytes(data);
    cipher.EncryptByte(bytes, "mossgate");
    ASSERT_EQ(bytes.size(), (n + 12 + 7) / 8 * 8) << n;

    ByteArray plain = CbcDecryptRaw(bytes, "mossgate");
    EXPECT_LE(LittleEndianAt(plain, 0), 2147483647u);
    EXPECT_LE(LittleEndianAt(plain, 4), 2147483647u);
    EXPECT_EQ(LittleEndianAt(plain, 8), n);
    EXPECT_EQ(std::string(plain.begin() + 12, plain.begin() + 12 + n), data);
    for (std::size_t i = 12 + n; i < plain.size(); ++i)
      EXPECT_EQ(plain[i], 0) << i;
  }
}

TEST_F(BlowfishTest, FormatLengths) {
  clsBlowfish cipher(platform_);
  for (auto [n, total] :
       {std::pair{0u, 16u}, {4u, 16u}, {5u, 24u}, {20u, 32u}}) {
    ByteArray bytes(n, 7);
    cipher.EncryptByte(bytes, "k");
    EXPECT_EQ(bytes.size(), total) << n;
  }
}

TEST_F(BlowfishTest, EveryEncryptionDiffersAndAllDecryptToTheData) {
  clsBlowfish cipher(platform_);
  cipher.Key("mossgate");
  std::vector<ByteArray> seen;
  for (int i = 0; i < 20; ++i) {
    ByteArray bytes = Bytes("same text");
    cipher.EncryptByte(bytes);
    for (const ByteArray& other : seen) ASSERT_NE(bytes, other);
    seen.push_back(bytes);
  }
  clsBlowfish reader(platform_);
  for (ByteArray& bytes : seen) {
    reader.DecryptByte(bytes, "mossgate");
    EXPECT_EQ(Text(bytes), "same text");
  }
}

TEST_F(BlowfishTest, EmptyDataRoundTripsToEmpty) {
  clsBlowfish cipher(platform_);
  ByteArray bytes;
  cipher.EncryptByte(bytes, "mossgate");
  cipher.DecryptByte(bytes);
  EXPECT_TRUE(bytes.empty());
}

// Files users already have must keep decrypting: a ciphertext recorded once.
TEST_F(BlowfishTest, DecryptsAFixedCiphertext) {
  ByteArray cipher_bytes = {0xDF, 0xC7, 0x60, 0xAD, 0x5A, 0xF4, 0x61, 0xCD,
                            0xA8, 0xDD, 0x9A, 0x6C, 0x7D, 0x0E, 0x24, 0xBB,
                            0xA3, 0xEB, 0x76, 0x70, 0x8E, 0x3D, 0x86, 0xC8};
  clsBlowfish cipher(platform_);
  cipher.DecryptByte(cipher_bytes, "mossgate");
  EXPECT_EQ(Text(cipher_bytes), "vorela!");
}

// A buffer of `total` bytes whose decrypted size descriptor is n.
ByteArray WithSizeDescriptor(std::size_t total, std::int32_t n) {
  ByteArray plain(total, 0);
  for (int i = 0; i < 4; ++i)
    plain[8 + i] = static_cast<std::uint8_t>(n >> (8 * i));
  for (std::size_t i = 12; i < total; ++i)
    plain[i] = static_cast<std::uint8_t>(i);
  return CbcEncryptRaw(plain, "mossgate");
}

TEST_F(BlowfishTest, SizeDescriptorBounds) {
  clsBlowfish cipher(platform_);
  cipher.Key("mossgate");
  // total 24: n = 12 and n = 5 leave 12 and 19 bytes of header and padding.
  for (std::int32_t n : {12, 5}) {
    ByteArray bytes = WithSizeDescriptor(24, n);
    ASSERT_NO_THROW(cipher.DecryptByte(bytes)) << n;
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(bytes[0], 12);
  }
  // 11 and 20 fail, and so does a negative descriptor that lands in range.
  for (auto [total, n] :
       {std::pair{24u, 13}, {24u, 4}, {16u, -3}, {16u, INT32_MIN}}) {
    ByteArray bytes = WithSizeDescriptor(total, n);
    RecordingObserver observer;
    cipher.SetProgressObserver(&observer);
    try {
      cipher.DecryptByte(bytes);
      FAIL() << n;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), kObjectError);
      EXPECT_EQ(e.Description(),
                "Incorrect size descriptor in Blowfish decryption");
    }
    // Left block-decrypted, not shortened, and no closing 100.
    EXPECT_EQ(bytes.size(), total);
    EXPECT_EQ(bytes[12], 12);
    ASSERT_FALSE(observer.reports.empty());
    EXPECT_NE(observer.reports.back(), 100);
    cipher.SetProgressObserver(nullptr);
  }
}

TEST_F(BlowfishTest, WrongKeyIsRejected) {
  clsBlowfish writer(platform_);
  ByteArray bytes = Bytes("secret text");
  writer.EncryptByte(bytes, "mossgate");
  clsBlowfish reader(platform_);
  EXPECT_THROW(reader.DecryptByte(bytes, "wrong key"), Error);
}

TEST_F(BlowfishTest, KeyBytesAbsorbedByTheOrPackingDoNotMatter) {
  // "mossgate" packs its last byte only as 'g'|'a'|'t'|'e' = 0x77, and 'f'
  // gives the same word: the two keys are one key. Stored data depends on
  // exactly this packing, weak as it is.
  clsBlowfish writer(platform_);
  ByteArray bytes = Bytes("secret text");
  writer.EncryptByte(bytes, "mossgate");
  clsBlowfish reader(platform_);
  reader.DecryptByte(bytes, "mossgatf");
  EXPECT_EQ(Text(bytes), "secret text");
}

TEST_F(BlowfishTest, BadLengthsFailAsRangeErrorsWithTheArrayUntouched) {
  clsBlowfish cipher(platform_);
  for (std::size_t length : {0u, 8u, 15u, 17u, 23u}) {
    ByteArray bytes(length, 0xAB);
    RecordingObserver observer;
    cipher.SetProgressObserver(&observer);
    try {
      cipher.DecryptByte(bytes, "mossgate");
      FAIL() << length;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kSubscriptOutOfRange)) << length;
    }
    EXPECT_EQ(bytes, ByteArray(length, 0xAB));
    EXPECT_TRUE(observer.reports.empty());
  }
}

TEST_F(BlowfishTest, SettingTheSameKeyAgainChangesNothing) {
  clsBlowfish once(platform_);
  once.Key("mossgate");
  clsBlowfish twice(platform_);
  twice.Key("mossgate");
  twice.Key("mossgate");
  ByteArray bytes = Bytes("data");
  once.EncryptByte(bytes);
  twice.DecryptByte(bytes);
  EXPECT_EQ(Text(bytes), "data");
}

TEST_F(BlowfishTest, ASecondKeyIsMixedIntoTheFirstKeysState) {
  clsBlowfish mixed(platform_);
  mixed.Key("first");
  mixed.Key("second");
  clsBlowfish fresh(platform_);
  fresh.Key("second");

  ByteArray bytes = Bytes("0123456789");
  mixed.EncryptByte(bytes);
  ByteArray copy = bytes;
  EXPECT_THROW(fresh.DecryptByte(copy), Error);
  mixed.DecryptByte(bytes);
  EXPECT_EQ(Text(bytes), "0123456789");
}

TEST_F(BlowfishTest, AnEmptyKeyLeavesTheCurrentKey) {
  clsBlowfish cipher(platform_);
  cipher.Key("mossgate");
  ByteArray bytes = Bytes("abc");
  cipher.EncryptByte(bytes, "");
  clsBlowfish reader(platform_);
  reader.DecryptByte(bytes, "mossgate");
  EXPECT_EQ(Text(bytes), "abc");
  // Setting the property itself to "" has no key byte to cycle over.
  EXPECT_THROW(cipher.Key(""), Error);
  bytes = Bytes("abc");
  cipher.EncryptByte(bytes);
  reader.DecryptByte(bytes);
  EXPECT_EQ(Text(bytes), "abc");
}

TEST_F(BlowfishTest, UnkeyedObjectsAgree) {
  clsBlowfish a(platform_);
  clsBlowfish b(platform_);
  ByteArray bytes = Bytes("no key at all");
  a.EncryptByte(bytes);
  b.DecryptByte(bytes);
  EXPECT_EQ(Text(bytes), "no key at all");
}

TEST_F(BlowfishTest, ProgressIsPacedAboutOncePerPercent) {
  clsBlowfish cipher(platform_);
  cipher.Key("mossgate");
  for (std::size_t n : {0u, 20u, 100u, 811u, 12345u, 80000u}) {
    RecordingObserver enc;
    cipher.SetProgressObserver(&enc);
    ByteArray bytes(n, 1);
    cipher.EncryptByte(bytes);
    EXPECT_EQ(enc.reports, testing::ExpectedReports(bytes.size(), 8)) << n;

    RecordingObserver dec;
    cipher.SetProgressObserver(&dec);
    const std::int64_t length = bytes.size();
    cipher.DecryptByte(bytes);
    EXPECT_EQ(dec.reports, testing::ExpectedReports(length, 8)) << n;
    EXPECT_EQ(dec.reports.front(), 0);
    EXPECT_EQ(dec.reports.back(), 100);
    EXPECT_LE(dec.reports.size(), 102u);
  }
}

TEST_F(BlowfishTest, AnObserverLeaving100SuppressesTheClosingReport) {
  // Percent is passed by reference; what the observer leaves there is the last
  // percentage reported. The pacing itself goes by the value raised.
  struct Stopper : ProgressObserver {
    void Progress(std::int32_t& Percent) override {
      seen.push_back(Percent);
      Percent = 100;
    }
    std::vector<std::int32_t> seen;
  } stopper;
  clsBlowfish cipher(platform_);
  cipher.SetProgressObserver(&stopper);
  ByteArray bytes(16, 0);  // 32 bytes, four blocks
  cipher.EncryptByte(bytes, "k");
  EXPECT_EQ(stopper.seen, (std::vector<std::int32_t>{0, 25, 50, 75}));
}

// Bytes 0..255 as U+0000..U+00FF, so that every byte survives the round trip.
class Latin1Codec : public TextCodec {
 public:
  std::uint32_t CodePage() const override { return 28591; }
  std::string ToAnsi(std::string_view utf8) const override {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      auto c = static_cast<unsigned char>(utf8[i]);
      if (c >= 0xC0 && i + 1 < utf8.size()) {
        out += static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
      } else {
        out += static_cast<char>(c);
      }
    }
    return out;
  }
  std::string FromAnsi(std::string_view ansi) const override {
    std::string out;
    for (unsigned char c : ansi) {
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }
};

TEST(BlowfishStringTest, StringFormsCarryTheCipherBytesAsCodePageText) {
  Latin1Codec codec;
  Platform platform;
  platform.text = &codec;
  clsBlowfish cipher(platform);
  std::string encrypted = cipher.EncryptString("caf\xC3\xA9 text", "mossgate");
  ByteArray bytes = Bytes(codec.ToAnsi(encrypted));
  ASSERT_EQ(bytes.size(), 24u);  // 9 ANSI bytes + 12, padded
  clsBlowfish reader(platform);
  EXPECT_EQ(reader.DecryptString(encrypted, "mossgate"), "caf\xC3\xA9 text");
  reader.DecryptByte(bytes);
  EXPECT_EQ(Text(bytes), "caf\xE9 text");
}

}  // namespace
}  // namespace vorela
