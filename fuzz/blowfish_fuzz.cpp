// Outside input for the ciphers is encrypted data of unknown origin: a menu
// package's manifest, a user's file given to vorelacrypt. Decrypting any bytes
// must end in the plain data or an Error, never a crash or an out-of-bounds
// read; and whatever is encrypted must decrypt to itself.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cleaner/simple_xor.h"
#include "common/blowfish.h"
#include "common/error.h"

namespace {

// Bytes as they are, so the fuzzer's keys reach the schedule unchanged.
class BytesCodec : public vorela::TextCodec {
 public:
  std::uint32_t CodePage() const override { return 1252; }
  std::string ToAnsi(std::string_view s) const override {
    return std::string(s);
  }
  std::string FromAnsi(std::string_view s) const override {
    return std::string(s);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  BytesCodec codec;
  vorela::Platform platform;
  platform.text = &codec;
  // First byte: key length (0..15) taken from the bytes that follow it.
  std::size_t key_length = std::min<std::size_t>(data[0] & 0x0F, size - 1);
  std::string key(reinterpret_cast<const char*>(data + 1), key_length);
  if (key.empty()) key = "mossgate";
  const uint8_t* body = data + 1 + key_length;
  std::size_t body_size = size - 1 - key_length;
  vorela::ByteArray input(body, body + body_size);

  vorela::clsBlowfish reader(platform);
  vorela::ByteArray attempt = input;
  try {
    reader.DecryptByte(attempt, key);
    // A success leaves at most the input less its 12 header bytes.
    if (attempt.size() + 12 > input.size()) std::abort();
  } catch (const vorela::Error&) {
  }

  vorela::clsBlowfish writer(platform);
  vorela::ByteArray round_trip = input;
  writer.EncryptByte(round_trip, key);
  if (round_trip.size() % 8 != 0 || round_trip.size() < input.size() + 12) {
    std::abort();
  }
  vorela::clsBlowfish back(platform);
  back.DecryptByte(round_trip, key);
  if (round_trip != input) std::abort();

  vorela::clsSimpleXOR scrambler(platform);
  vorela::ByteArray scrambled = input;
  scrambler.EncryptByte(scrambled, key);
  scrambler.DecryptByte(scrambled);
  if (scrambled != input) std::abort();
  return 0;
}
