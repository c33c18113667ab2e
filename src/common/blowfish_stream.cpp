#include "common/blowfish_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "common/blowfish.h"
#include "common/blowfish_core.h"
#include "common/error.h"

namespace vorela {

namespace {

constexpr char kSource[] = "clsBlowfish";
// Small enough to stay in the cache between the read, the cipher and the
// write; large enough that the calls around it do not count.
constexpr std::size_t kChunk = 128 * 1024;
constexpr char kSourceChanged[] = "The file changed while it was being read";

std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Transforms the blocks of [data, data + size), which sit at `offset` of the
// whole, raising the reports the whole-array loop raises: one after the first
// block at or beyond each threshold.
template <class Transform>
void TransformPaced(std::uint8_t* data, std::size_t size, std::int64_t offset,
                    ProgressPacer& pacer, Transform&& transform) {
  const std::int64_t end = offset + static_cast<std::int64_t>(size);
  std::int64_t at = offset;
  while (at < end) {
    const std::int64_t due = pacer.Threshold();
    const std::int64_t due_block = due <= at ? at : (due + 7) / 8 * 8;
    const std::int64_t stop = std::min(due_block + 8, end);
    transform(data + (at - offset), static_cast<std::size_t>((stop - at) / 8));
    if (due_block < end) pacer.Report(due_block);
    at = stop;
  }
}

// Reads until buffer is full or the source ends.
std::size_t Fill(ByteSource& source, std::uint8_t* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const std::size_t got = source.Read(buffer + done, size - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

}  // namespace

void EncryptBlowfishStream(const Platform& platform, std::string_view key, std::uint64_t length,
                           ByteSource& source, ByteSink& sink, ProgressObserver* observer) {
  if (length > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) - 19) {
    throw Error(RuntimeError::kOverflow, kSource, "Overflow");
  }
  const BlowfishState state = KeyedBlowfishState(platform, key);
  const std::uint64_t total = (length + 12 + 7) / 8 * 8;
  std::vector<std::uint8_t> buffer(kChunk + 16);
  MakeBlowfishHeader(buffer.data(), static_cast<std::uint32_t>(length));
  std::size_t pending = 12;  // bytes in buffer not yet encrypted
  std::uint64_t remaining = length;
  std::uint64_t done = 0;
  ProgressPacer pacer(observer, static_cast<std::int64_t>(total));
  CbcChain chain;
  while (done < total) {
    const std::size_t want = static_cast<std::size_t>(
        std::min<std::uint64_t>(remaining, kChunk - pending));
    const std::size_t got = Fill(source, buffer.data() + pending, want);
    if (got < want) throw Error(kObjectError, kSource, kSourceChanged);
    remaining -= got;
    pending += got;
    if (remaining == 0) {
      std::uint8_t probe;
      if (source.Read(&probe, 1) != 0) throw Error(kObjectError, kSource, kSourceChanged);
      const std::size_t padded = static_cast<std::size_t>(total - done);
      std::memset(buffer.data() + pending, 0, padded - pending);
      pending = padded;
    }
    const std::size_t whole = pending / 8 * 8;
    TransformPaced(buffer.data(), whole, static_cast<std::int64_t>(done), pacer,
                   [&](std::uint8_t* blocks, std::size_t count) {
                     CbcEncrypt(state, blocks, count, chain);
                   });
    sink.Write(buffer.data(), whole);
    done += whole;
    pending -= whole;
    std::memmove(buffer.data(), buffer.data() + whole, pending);
  }
  pacer.Finish();
}

void DecryptBlowfishStream(const Platform& platform, std::string_view key, std::uint64_t total,
                           ByteSource& source, ByteSink& sink, ProgressObserver* observer) {
  const BlowfishState state = KeyedBlowfishState(platform, key);
  if (total % 8 != 0 || total < 12) {
    throw Error(RuntimeError::kSubscriptOutOfRange, kSource, "Subscript out of range");
  }
  std::vector<std::uint8_t> buffer(kChunk);
  ProgressPacer pacer(observer, static_cast<std::int64_t>(total));
  CbcChain chain;
  std::uint64_t done = 0;
  std::uint64_t data_end = 0;  // where the plain data ends in the decrypted stream
  while (done < total) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(total - done, kChunk));
    if (Fill(source, buffer.data(), want) < want) {
      throw Error(kObjectError, kSource, kSourceChanged);
    }
    TransformPaced(buffer.data(), want, static_cast<std::int64_t>(done), pacer,
                   [&](std::uint8_t* blocks, std::size_t count) {
                     CbcDecrypt(state, blocks, count, chain);
                   });
    if (done == 0) {
      const std::int64_t n = static_cast<std::int32_t>(LoadLittleEndian(buffer.data() + 8));
      const std::int64_t slack = static_cast<std::int64_t>(total) - n;
      if (n < 0 || slack < 12 || slack > 19) {
        throw Error(kObjectError, kSource, kSizeDescriptorError);
      }
      data_end = 12 + static_cast<std::uint64_t>(n);
    }
    const std::uint64_t from = std::max<std::uint64_t>(done, 12);
    const std::uint64_t to = std::min<std::uint64_t>(done + want, data_end);
    if (to > from) sink.Write(buffer.data() + (from - done), static_cast<std::size_t>(to - from));
    done += want;
  }
  std::uint8_t probe;
  if (source.Read(&probe, 1) != 0) throw Error(kObjectError, kSource, kSourceChanged);
  pacer.Finish();
}

}  // namespace vorela
