// The Blowfish block function, its key schedule and the CBC loops over a
// buffer, independent of the class around them (and of its table layout, so
// the published test vectors can check the round function and the schedule).
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/blowfish_tables.h"

namespace vorela {

// How key bytes are packed into the 32-bit words XORed into the P-array.
enum class KeyPacking {
  // The published packing: bytes k0 k1 k2 k3 from most to least significant.
  kStandard,
  // Ours, which stored data depends on: k0, k0|k1, k0|k1|k2, k0|k1|k2|k3.
  kOrAccumulating,
};

// One block; (left, right) are the halves, each read big-endian from the block.
void EncryptBlock(const BlowfishState& state, std::uint32_t& left,
                  std::uint32_t& right);
void DecryptBlock(const BlowfishState& state, std::uint32_t& left,
                  std::uint32_t& right);

// Mixes key bytes into the state as it stands and re-derives P and S. The key
// byte index runs on across all 18 words, wrapping after key_length bytes.
// key_length 0 XORs nothing in but still runs the derivation.
void ScheduleKey(BlowfishState& state, const std::uint8_t* key,
                 std::size_t key_length, KeyPacking packing);

// The previous cipher block of a CBC chain (the zero IV at the start).
struct CbcChain {
  std::uint32_t left = 0;
  std::uint32_t right = 0;
};

// Encrypts `blocks` 8-byte blocks in place, chaining from and updating chain.
void CbcEncrypt(const BlowfishState& state, std::uint8_t* data,
                std::size_t blocks, CbcChain& chain);

// The two data blocks before the current one, for CbcEncryptShifted: the low
// words of blocks k-2 and k-1 and the high word of block k-1, big-endian.
struct ShiftCarry {
  std::uint32_t low2 = 0;
  std::uint32_t low1 = 0;
  std::uint32_t high1 = 0;
};

// A 12-byte header set in front of data moves the data 12 bytes on, which is
// a block and a half. This encrypts `blocks` blocks in place as if that move
// had been made, reading each block before it is overwritten and keeping the
// two before it in carry, so the data is passed over once. Start carry with
// SeedShiftCarry(header).
void CbcEncryptShifted(const BlowfishState& state, std::uint8_t* data,
                       std::size_t blocks, ShiftCarry& carry, CbcChain& chain);
ShiftCarry SeedShiftCarry(const std::uint8_t header[12]);

// Decrypts `blocks` 8-byte blocks in place. Blocks are independent here, so
// several are run through the rounds at once; the result is the same as one by
// one.
void CbcDecrypt(const BlowfishState& state, std::uint8_t* data,
                std::size_t blocks, CbcChain& chain);

}  // namespace vorela
