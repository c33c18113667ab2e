#include "common/blowfish.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "common/blowfish_core.h"
#include "common/blowfish_stream.h"
#include "common/error.h"
#include "common/text_util.h"

namespace vorela {

namespace {

constexpr char kSource[] = "clsBlowfish";

std::string AnsiBytes(const Platform& platform, std::string_view text) {
  return platform.text != nullptr ? platform.text->ToAnsi(text)
                                  : std::string(text);
}

std::string AnsiText(const Platform& platform, const ByteArray& bytes) {
  std::string_view view(reinterpret_cast<const char*>(bytes.data()),
                        bytes.size());
  return platform.text != nullptr ? platform.text->FromAnsi(view)
                                  : std::string(view);
}

void StoreLittleEndian(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Two calls within one clock tick must still get different first blocks, so
// the clock seed is mixed with a counter that every call advances.
std::mt19937_64 ReseededGenerator() {
  static std::atomic<std::uint64_t> calls{0};
  std::uint64_t tick = static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  std::seed_seq seed{static_cast<std::uint32_t>(tick),
                     static_cast<std::uint32_t>(tick >> 32),
                     static_cast<std::uint32_t>(calls.fetch_add(1))};
  return std::mt19937_64(seed);
}

// A uniform r in [0, 1) as the 32-bit integer nearest to r * 2147483647.
std::uint32_t RandomWord(std::mt19937_64& generator) {
  double r = static_cast<double>(generator() >> 11) * 0x1.0p-53;
  return static_cast<std::uint32_t>(std::nearbyint(r * 2147483647.0));
}

// Runs transform over the 8-byte blocks of data in as few calls as the Progress
// rule allows: one report after the first block at or beyond each threshold.
template <class Transform>
void TransformBlocks(std::uint8_t* data, std::int64_t length,
                     ProgressPacer& pacer, Transform&& transform) {
  std::int64_t offset = 0;
  while (offset < length) {
    std::int64_t due = pacer.Threshold();
    std::int64_t due_block = due <= offset ? offset : (due + 7) / 8 * 8;
    std::int64_t end = std::min(due_block + 8, length);
    transform(data + offset, static_cast<std::size_t>((end - offset) / 8));
    if (due_block < length) pacer.Report(due_block);
    offset = end;
  }
}

}  // namespace

BlowfishState KeyedBlowfishState(const Platform& platform, std::string_view key) {
  clsBlowfish cipher(platform);
  cipher.Key(key);
  return cipher.state_;
}

void MakeBlowfishHeader(std::uint8_t header[12], std::uint32_t length) {
  std::mt19937_64 generator = ReseededGenerator();
  StoreLittleEndian(header, RandomWord(generator));
  StoreLittleEndian(header + 4, RandomWord(generator));
  StoreLittleEndian(header + 8, length);
}

clsBlowfish::clsBlowfish(const Platform& platform)
    : platform_(platform), state_(VariantInitialState()) {}

void clsBlowfish::Key(std::string_view new_value) {
  if (new_value == key_) return;
  std::string bytes = AnsiBytes(platform_, new_value);
  // The key cycles over as many bytes as it has characters (a double-byte
  // character counts once), never over more bytes than there are.
  std::size_t length = std::min(Utf16Length(new_value), bytes.size());
  if (length == 0) {
    // There is no key byte to cycle over; the state stays as it is.
    throw Error(RuntimeError::kSubscriptOutOfRange, kSource, "Subscript out of range");
  }
  ScheduleKey(state_, reinterpret_cast<const std::uint8_t*>(bytes.data()),
              length, KeyPacking::kOrAccumulating);
  key_ = std::string(new_value);
}

void clsBlowfish::ApplyKey(std::string_view key) {
  if (!key.empty()) Key(key);
}

void clsBlowfish::EncryptByte(ByteArray& byte_array, std::string_view key) {
  ApplyKey(key);
  const std::size_t n = byte_array.size();
  // The size descriptor is a signed 32-bit number.
  if (n >
      static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 19) {
    throw Error(RuntimeError::kOverflow, kSource, "Overflow");
  }
  const std::size_t total = (n + 12 + 7) / 8 * 8;
  std::uint8_t header[12];
  MakeBlowfishHeader(header, static_cast<std::uint32_t>(n));

  // The array grows by the header and the padding; the data is moved behind
  // the header while it is encrypted, so it is passed over only once. An array
  // with that much spare capacity is not reallocated at all.
  byte_array.reserve(total);  // exactly, where growing would double
  byte_array.resize(total, 0);
  ShiftCarry carry = SeedShiftCarry(header);
  ProgressPacer pacer(observer_, static_cast<std::int64_t>(total));
  CbcChain chain;
  TransformBlocks(byte_array.data(), static_cast<std::int64_t>(total), pacer,
                  [&](std::uint8_t* blocks, std::size_t count) {
                    CbcEncryptShifted(state_, blocks, count, carry, chain);
                  });
  pacer.Finish();
}

void clsBlowfish::DecryptByte(ByteArray& byte_array, std::string_view key) {
  ApplyKey(key);
  const std::size_t total = byte_array.size();
  if (total % 8 != 0 || total < 12) {
    throw Error(RuntimeError::kSubscriptOutOfRange, kSource, "Subscript out of range");
  }
  std::uint8_t* data = byte_array.data();
  ProgressPacer pacer(observer_, static_cast<std::int64_t>(total));
  CbcChain chain;
  TransformBlocks(data, static_cast<std::int64_t>(total), pacer,
                  [&](std::uint8_t* blocks, std::size_t count) {
                    CbcDecrypt(state_, blocks, count, chain);
                  });
  const std::int64_t n = static_cast<std::int32_t>(LoadLittleEndian(data + 8));
  const std::int64_t slack = static_cast<std::int64_t>(total) - n;
  if (n < 0 || slack < 12 || slack > 19) {
    throw Error(kObjectError, kSource, kSizeDescriptorError);
  }
  std::memmove(data, data + 12, static_cast<std::size_t>(n));
  byte_array.resize(static_cast<std::size_t>(n));
  pacer.Finish();
}

std::string clsBlowfish::EncryptString(std::string_view text,
                                       std::string_view key) {
  std::string ansi = AnsiBytes(platform_, text);
  ByteArray bytes(ansi.begin(), ansi.end());
  EncryptByte(bytes, key);
  return AnsiText(platform_, bytes);
}

std::string clsBlowfish::DecryptString(std::string_view text,
                                       std::string_view key) {
  std::string ansi = AnsiBytes(platform_, text);
  ByteArray bytes(ansi.begin(), ansi.end());
  DecryptByte(bytes, key);
  return AnsiText(platform_, bytes);
}

bool clsBlowfish::EncryptFile(std::string_view source_file,
                              std::string_view dest_file,
                              std::string_view key) {
  if (!CipherSourceExists(platform_, source_file)) {
    throw Error(
        kObjectError, kSource,
        std::string(kEncryptFileMissingSource) + std::string(source_file));
  }
  ByteArray bytes = ReadCipherFile(platform_, source_file, kSource);
  EncryptByte(bytes, key);
  // Written whole to a temporary file and renamed over the destination, so the
  // source may be the destination and a failure leaves the old file.
  WriteCipherFile(platform_, dest_file, bytes, kSource);
  return true;
}

bool clsBlowfish::DecryptFile(std::string_view source_file,
                              std::string_view dest_file,
                              std::string_view key) {
  // A wrong key or damaged data must not be written out as if it were the
  // plain text, nor be reported as success: nothing is written unless the
  // whole decryption succeeded.
  try {
    if (!CipherSourceExists(platform_, source_file)) return false;
    ByteArray bytes = ReadCipherFile(platform_, source_file, kSource);
    DecryptByte(bytes, key);
    WriteCipherFile(platform_, dest_file, bytes, kSource);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace vorela
