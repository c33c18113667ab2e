// A small cabinet writer for tests: stored (uncompressed) or MSZIP folders
// whose deflate streams use stored blocks, with real checksums. Names are taken
// as raw bytes, so tests can write names no cabinet tool would accept
// ("..\x", Shift-JIS with a 0x5C trail byte, 255 bytes, ...). The same bytes
// are produced on every build, so both builds read the same cabinets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorela::testing {

struct CabEntry {
  std::string name;  // stored bytes (ANSI), without the terminating zero
  std::string data;
  std::uint16_t dos_date = (44 << 9) | (3 << 5) | 5;  // 2024-03-05
  std::uint16_t dos_time = (9 << 11) | (7 << 5) | 1;  // 09:07:02
  std::uint16_t attribs = 0x20;
};

enum class CabCompression : std::uint16_t { kNone = 0, kMsZip = 1 };

namespace cab_detail {

inline void Put16(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
inline void Set32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::uint32_t Checksum(const std::string& bytes, std::uint32_t seed) {
  std::uint32_t sum = seed;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  for (; n >= 4; n -= 4, p += 4) {
    sum ^= p[0] | (p[1] << 8) | (p[2] << 16) |
           (static_cast<std::uint32_t>(p[3]) << 24);
  }
  std::uint32_t tail = 0;
  switch (n) {
    case 3:
      tail |= static_cast<std::uint32_t>(*p++) << 16;
      [[fallthrough]];
    case 2:
      tail |= static_cast<std::uint32_t>(*p++) << 8;
      [[fallthrough]];
    case 1:
      tail |= *p++;
      [[fallthrough]];
    default:
      break;
  }
  return sum ^ tail;
}

}  // namespace cab_detail

// All entries in one folder.
inline std::string BuildCabinet(
    const std::vector<CabEntry>& entries,
    CabCompression compression = CabCompression::kNone) {
  using namespace cab_detail;
  std::string stream;
  for (const CabEntry& e : entries) stream += e.data;

  std::string files;
  std::uint32_t offset = 0;
  for (const CabEntry& e : entries) {
    Put32(files, static_cast<std::uint32_t>(e.data.size()));
    Put32(files, offset);
    Put16(files, 0);
    Put16(files, e.dos_date);
    Put16(files, e.dos_time);
    Put16(files, e.attribs);
    files += e.name;
    files += '\0';
    offset += static_cast<std::uint32_t>(e.data.size());
  }

  std::string blocks;
  std::uint16_t block_count = 0;
  for (std::size_t at = 0; at < stream.size(); at += 32768) {
    const std::string chunk = stream.substr(at, 32768);
    std::string payload;
    if (compression == CabCompression::kMsZip) {
      payload = "CK";
      payload += '\x01';  // final stored deflate block
      Put16(payload, static_cast<std::uint32_t>(chunk.size()));
      Put16(payload, static_cast<std::uint32_t>(~chunk.size() & 0xFFFF));
      payload += chunk;
    } else {
      payload = chunk;
    }
    std::string sizes;
    Put16(sizes, static_cast<std::uint32_t>(payload.size()));
    Put16(sizes, static_cast<std::uint32_t>(chunk.size()));
    Put32(blocks, Checksum(sizes, Checksum(payload, 0)));
    blocks += sizes;
    blocks += payload;
    ++block_count;
  }

  const std::uint32_t header_size = 36, folder_size = 8;
  const std::uint32_t files_at = header_size + folder_size;
  const std::uint32_t data_at =
      files_at + static_cast<std::uint32_t>(files.size());
  std::string cab = "MSCF";
  Put32(cab, 0);
  Put32(cab, 0);  // total size, set below
  Put32(cab, 0);
  Put32(cab, files_at);
  Put32(cab, 0);
  cab += '\x03';
  cab += '\x01';
  Put16(cab, 1);
  Put16(cab, static_cast<std::uint32_t>(entries.size()));
  Put16(cab, 0);       // flags
  Put16(cab, 0x1234);  // set id
  Put16(cab, 0);
  Put32(cab, data_at);
  Put16(cab, block_count);
  Put16(cab, static_cast<std::uint16_t>(compression));
  cab += files;
  cab += blocks;
  Set32(cab, 8, static_cast<std::uint32_t>(cab.size()));
  return cab;
}

// The offset of the first data block's payload (for bit-flip tests).
inline std::size_t FirstPayloadOffset(const std::vector<CabEntry>& entries) {
  std::size_t at = 44;
  for (const CabEntry& e : entries) at += 16 + e.name.size() + 1;
  return at + 8;
}

}  // namespace vorela::testing
