// clsBlowfish's format over data that does not fit in memory: the same bytes
// and the same Progress events as EncryptByte / DecryptByte, produced block by
// block from a source into a sink, so memory stays flat whatever the length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/blowfish_tables.h"
#include "common/progress.h"
#include "platform/platform.h"

namespace vorela {

// Where the data comes from; both throw vorela::Error on failure.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to size bytes; 0 only at the end.
  virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

// The state a fresh clsBlowfish has after Key(key); throws as Key() does.
BlowfishState KeyedBlowfishState(const Platform& platform, std::string_view key);

// The 12-byte header EncryptByte puts in front of length bytes of data.
void MakeBlowfishHeader(std::uint8_t header[12], std::uint32_t length);

// Encrypts exactly `length` bytes of source. Throws RuntimeError::kOverflow for a
// length the size descriptor cannot hold (as EncryptByte), and kObjectError
// when the source ends early or runs on beyond length.
void EncryptBlowfishStream(const Platform& platform, std::string_view key, std::uint64_t length,
                           ByteSource& source, ByteSink& sink, ProgressObserver* observer);

// Decrypts `total` bytes of source into the plain data. A total that is not a
// multiple of 8 or is below 16 throws 9 as DecryptByte does, before anything
// is read. The size descriptor is checked as soon as the first blocks are
// decrypted (DecryptByte checks it after the last), so a wrong key or a
// foreign file fails before any plain byte reaches the sink.
void DecryptBlowfishStream(const Platform& platform, std::string_view key, std::uint64_t total,
                           ByteSource& source, ByteSink& sink, ProgressObserver* observer);

}  // namespace vorela
