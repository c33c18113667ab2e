// The block-by-block forms against the whole-array ones: the same bytes, the
// same Progress events, and refusal of data that is short, long or foreign.
#include "common/blowfish_stream.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cipher_test_util.h"
#include "common/blowfish.h"
#include "common/error.h"

namespace vorela::testing {
namespace {

// Hands out its bytes a few at a time, as a pipe or a slow disk might.
class PieceSource : public ByteSource {
 public:
  PieceSource(const ByteArray& bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {}
  std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, piece_, bytes_.size() - offset_});
    std::copy_n(bytes_.begin() + offset_, n, buffer);
    offset_ += n;
    return n;
  }

 private:
  const ByteArray& bytes_;
  std::size_t piece_;
  std::size_t offset_ = 0;
};

class CollectingSink : public ByteSink {
 public:
  void Write(const std::uint8_t* data, std::size_t size) override {
    bytes.insert(bytes.end(), data, data + size);
  }
  ByteArray bytes;
};

ByteArray Pattern(std::size_t length) {
  ByteArray bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

class BlowfishStreamTest : public ::testing::Test {
 protected:
  BlowfishStreamTest() { platform_.text = &SystemTextCodec(); }
  Platform platform_;
};

// Lengths around the padding, the 12-byte header and the stream's 128 KiB
// blocks, read whole and in odd pieces.
TEST_F(BlowfishStreamTest, SameBytesAndEventsAsTheArrayForms) {
  constexpr std::size_t kBlock = 128 * 1024;
  for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{4},
                             std::size_t{5}, std::size_t{11}, std::size_t{12}, std::size_t{13},
                             kBlock - 13, kBlock - 12, kBlock - 11, kBlock, 3 * kBlock + 5,
                             std::size_t{1} << 20}) {
    for (std::size_t piece : {std::size_t{7}, std::size_t{1} << 30}) {
      if (piece == 7 && length > kBlock) continue;
      SCOPED_TRACE("length " + std::to_string(length) + " piece " + std::to_string(piece));
      const ByteArray plain = Pattern(length);

      RecordingObserver stream_events;
      CollectingSink encrypted;
      PieceSource plain_source(plain, piece);
      EncryptBlowfishStream(platform_, "mossgate", length, plain_source, encrypted,
                            &stream_events);
      RecordingObserver array_events;
      clsBlowfish array_cipher(platform_);
      array_cipher.SetProgressObserver(&array_events);
      ByteArray array_encrypted = plain;
      array_cipher.EncryptByte(array_encrypted, "mossgate");
      EXPECT_EQ(stream_events.reports, array_events.reports);
      ASSERT_EQ(encrypted.bytes.size(), array_encrypted.size());
      // Only the random first block differs: decrypted, all after it agrees.
      ByteArray stream_raw = CbcDecryptRaw(encrypted.bytes, "mossgate");
      ByteArray array_raw = CbcDecryptRaw(array_encrypted, "mossgate");
      EXPECT_TRUE(std::equal(stream_raw.begin() + 8, stream_raw.end(), array_raw.begin() + 8));

      RecordingObserver stream_back_events;
      CollectingSink back;
      PieceSource encrypted_source(encrypted.bytes, piece);
      DecryptBlowfishStream(platform_, "mossgate", encrypted.bytes.size(), encrypted_source, back,
                            &stream_back_events);
      RecordingObserver array_back_events;
      clsBlowfish reader(platform_);
      reader.SetProgressObserver(&array_back_events);
      ByteArray array_back = encrypted.bytes;
      reader.DecryptByte(array_back, "mossgate");
      EXPECT_EQ(back.bytes, plain);
      EXPECT_EQ(array_back, plain);
      EXPECT_EQ(stream_back_events.reports, array_back_events.reports);
    }
  }
}

TEST_F(BlowfishStreamTest, ShortLongAndForeignInputIsRefusedBeforeAnyPlainByte) {
  ByteArray plain = Pattern(1000);
  ByteArray encrypted = plain;
  clsBlowfish(platform_).EncryptByte(encrypted, "mossgate");
  auto decrypt = [&](const ByteArray& bytes, std::uint64_t total, std::string_view key,
                     CollectingSink& sink) {
    PieceSource source(bytes, 1u << 30);
    DecryptBlowfishStream(platform_, key, total, source, sink, nullptr);
  };
  auto number = [&](const ByteArray& bytes, std::uint64_t total, std::string_view key) {
    CollectingSink sink;
    try {
      decrypt(bytes, total, key, sink);
    } catch (const Error& e) {
      EXPECT_TRUE(sink.bytes.empty());
      return e.Number();
    }
    return 0;
  };
  EXPECT_EQ(number(encrypted, 0, "mossgate"), ErrorNumber(RuntimeError::kSubscriptOutOfRange));
  EXPECT_EQ(number(encrypted, 8, "mossgate"), ErrorNumber(RuntimeError::kSubscriptOutOfRange));
  EXPECT_EQ(number(encrypted, encrypted.size() - 1, "mossgate"), ErrorNumber(RuntimeError::kSubscriptOutOfRange));
  EXPECT_EQ(number(encrypted, encrypted.size(), "wrong"), kObjectError);
  // Announced longer than the source holds: the file was cut while read.
  ByteArray cut(encrypted.begin(), encrypted.end() - 8);
  EXPECT_EQ(number(cut, encrypted.size(), "mossgate"), kObjectError);
  // More bytes than announced.
  ByteArray longer = encrypted;
  longer.resize(longer.size() + 8);
  CollectingSink sink;
  EXPECT_THROW(decrypt(longer, encrypted.size(), "mossgate", sink), Error);

  CollectingSink out;
  PieceSource short_source(plain, 1u << 30);
  EXPECT_THROW(EncryptBlowfishStream(platform_, "mossgate", plain.size() + 1, short_source, out,
                                     nullptr),
               Error);
  PieceSource long_source(plain, 1u << 30);
  EXPECT_THROW(EncryptBlowfishStream(platform_, "mossgate", plain.size() - 1, long_source, out,
                                     nullptr),
               Error);
}

}  // namespace
}  // namespace vorela::testing
