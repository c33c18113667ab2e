#include "common/blowfish_core.h"

namespace vorela {

namespace {

inline std::uint32_t LoadBigEndian(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
         (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

inline void StoreBigEndian(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

// Unsigned arithmetic: the additions wrap modulo 2^32, as the cipher requires.
// S is the four boxes as one flat array of 1024 words.
inline std::uint32_t F(const std::uint32_t* S, std::uint32_t x) {
  return ((S[x >> 24] + S[256 + ((x >> 16) & 0xFF)]) ^
          S[512 + ((x >> 8) & 0xFF)]) +
         S[768 + (x & 0xFF)];
}

// One round pair of encryption, with the P-array words folded in ahead of the
// round function: r ^ P[i + 1] is ready before F(l) is, so each round costs the
// latency of F and one XOR. The caller XORs P[0] into l before the first pair;
// after the last pair l already carries P[16].
#define VORELA_BF_ENC_ROUNDS(i)   \
  r = (r ^ P[(i) + 1]) ^ F(S, l); \
  l = (l ^ P[(i) + 2]) ^ F(S, r)

// Four independent blocks through one decryption round pair side by side: the
// table look-ups of one block hide the load latency of the others. Only
// decryption can do this, since CBC encryption needs each block's result
// before the next block starts.
#define VORELA_BF_DEC_ROUNDS4(i)     \
  l0 ^= F(S, r0);                    \
  l1 ^= F(S, r1);                    \
  l2 ^= F(S, r2);                    \
  l3 ^= F(S, r3);                    \
  r0 = (r0 ^ P[(i) + 1]) ^ F(S, l0); \
  r1 = (r1 ^ P[(i) + 1]) ^ F(S, l1); \
  r2 = (r2 ^ P[(i) + 1]) ^ F(S, l2); \
  r3 = (r3 ^ P[(i) + 1]) ^ F(S, l3); \
  l0 ^= P[i];                        \
  l1 ^= P[i];                        \
  l2 ^= P[i];                        \
  l3 ^= P[i]

#define VORELA_BF_DEC_ROUNDS(i)   \
  l ^= F(S, r);                   \
  r = (r ^ P[(i) + 1]) ^ F(S, l); \
  l ^= P[i]

}  // namespace

void EncryptBlock(const BlowfishState& s, std::uint32_t& left,
                  std::uint32_t& right) {
  const std::uint32_t* P = s.P;
  const std::uint32_t* S = &s.S[0][0];
  std::uint32_t l = left ^ P[0];
  std::uint32_t r = right;
  VORELA_BF_ENC_ROUNDS(0);
  VORELA_BF_ENC_ROUNDS(2);
  VORELA_BF_ENC_ROUNDS(4);
  VORELA_BF_ENC_ROUNDS(6);
  VORELA_BF_ENC_ROUNDS(8);
  VORELA_BF_ENC_ROUNDS(10);
  VORELA_BF_ENC_ROUNDS(12);
  VORELA_BF_ENC_ROUNDS(14);
  left = r ^ P[17];
  right = l;
}

void DecryptBlock(const BlowfishState& s, std::uint32_t& left,
                  std::uint32_t& right) {
  const std::uint32_t* P = s.P;
  const std::uint32_t* S = &s.S[0][0];
  std::uint32_t l = right ^ P[16];
  std::uint32_t r = left ^ P[17];
  VORELA_BF_DEC_ROUNDS(14);
  VORELA_BF_DEC_ROUNDS(12);
  VORELA_BF_DEC_ROUNDS(10);
  VORELA_BF_DEC_ROUNDS(8);
  VORELA_BF_DEC_ROUNDS(6);
  VORELA_BF_DEC_ROUNDS(4);
  VORELA_BF_DEC_ROUNDS(2);
  VORELA_BF_DEC_ROUNDS(0);
  left = l;
  right = r;
}

void ScheduleKey(BlowfishState& state, const std::uint8_t* key,
                 std::size_t key_length, KeyPacking packing) {
  std::size_t j = 0;
  if (key_length > 0) {
    for (int i = 0; i < 18; ++i) {
      std::uint32_t x = 0;
      for (int b = 0; b < 4; ++b) {
        if (packing == KeyPacking::kOrAccumulating) {
          x = (x << 8) | (x & 0xFF);
        } else {
          x <<= 8;
        }
        x |= key[j];
        if (++j >= key_length) j = 0;
      }
      state.P[i] ^= x;
    }
  }
  std::uint32_t l = 0;
  std::uint32_t r = 0;
  for (int i = 0; i < 18; i += 2) {
    EncryptBlock(state, l, r);
    state.P[i] = l;
    state.P[i + 1] = r;
  }
  for (int box = 0; box < 4; ++box) {
    for (int e = 0; e < 256; e += 2) {
      EncryptBlock(state, l, r);
      state.S[box][e] = l;
      state.S[box][e + 1] = r;
    }
  }
}

void CbcEncrypt(const BlowfishState& state, std::uint8_t* data,
                std::size_t blocks, CbcChain& chain) {
  const std::uint32_t* P = state.P;
  const std::uint32_t* S = &state.S[0][0];
  std::uint32_t cl = chain.left;
  std::uint32_t cr = chain.right;
  for (std::size_t b = 0; b < blocks; ++b, data += 8) {
    std::uint32_t l = cl ^ LoadBigEndian(data) ^ P[0];
    std::uint32_t r = cr ^ LoadBigEndian(data + 4);
    VORELA_BF_ENC_ROUNDS(0);
    VORELA_BF_ENC_ROUNDS(2);
    VORELA_BF_ENC_ROUNDS(4);
    VORELA_BF_ENC_ROUNDS(6);
    VORELA_BF_ENC_ROUNDS(8);
    VORELA_BF_ENC_ROUNDS(10);
    VORELA_BF_ENC_ROUNDS(12);
    VORELA_BF_ENC_ROUNDS(14);
    cl = r ^ P[17];
    cr = l;
    StoreBigEndian(data, cl);
    StoreBigEndian(data + 4, cr);
  }
  chain.left = cl;
  chain.right = cr;
}

ShiftCarry SeedShiftCarry(const std::uint8_t header[12]) {
  // Block 0 is the low word of "block -2" and the high word of "block -1";
  // block 1 starts with the low word of "block -1".
  ShiftCarry carry;
  carry.low2 = LoadBigEndian(header);
  carry.high1 = LoadBigEndian(header + 4);
  carry.low1 = LoadBigEndian(header + 8);
  return carry;
}

void CbcEncryptShifted(const BlowfishState& state, std::uint8_t* data,
                       std::size_t blocks, ShiftCarry& carry, CbcChain& chain) {
  const std::uint32_t* P = state.P;
  const std::uint32_t* S = &state.S[0][0];
  std::uint32_t cl = chain.left;
  std::uint32_t cr = chain.right;
  std::uint32_t low2 = carry.low2;
  std::uint32_t low1 = carry.low1;
  std::uint32_t high1 = carry.high1;
  for (std::size_t b = 0; b < blocks; ++b, data += 8) {
    // Block k of the moved data is the low word of old block k-2 followed by
    // the high word of old block k-1.
    std::uint32_t l = cl ^ low2 ^ P[0];
    std::uint32_t r = cr ^ high1;
    low2 = low1;
    high1 = LoadBigEndian(data);
    low1 = LoadBigEndian(data + 4);
    VORELA_BF_ENC_ROUNDS(0);
    VORELA_BF_ENC_ROUNDS(2);
    VORELA_BF_ENC_ROUNDS(4);
    VORELA_BF_ENC_ROUNDS(6);
    VORELA_BF_ENC_ROUNDS(8);
    VORELA_BF_ENC_ROUNDS(10);
    VORELA_BF_ENC_ROUNDS(12);
    VORELA_BF_ENC_ROUNDS(14);
    cl = r ^ P[17];
    cr = l;
    StoreBigEndian(data, cl);
    StoreBigEndian(data + 4, cr);
  }
  carry.low2 = low2;
  carry.low1 = low1;
  carry.high1 = high1;
  chain.left = cl;
  chain.right = cr;
}

void CbcDecrypt(const BlowfishState& state, std::uint8_t* data,
                std::size_t blocks, CbcChain& chain) {
  const std::uint32_t* P = state.P;
  const std::uint32_t* S = &state.S[0][0];
  std::uint32_t prev_l = chain.left;
  std::uint32_t prev_r = chain.right;
  std::size_t b = 0;
  for (; b + 4 <= blocks; b += 4, data += 32) {
    const std::uint32_t c0l = LoadBigEndian(data),
                        c0r = LoadBigEndian(data + 4);
    const std::uint32_t c1l = LoadBigEndian(data + 8),
                        c1r = LoadBigEndian(data + 12);
    const std::uint32_t c2l = LoadBigEndian(data + 16),
                        c2r = LoadBigEndian(data + 20);
    const std::uint32_t c3l = LoadBigEndian(data + 24),
                        c3r = LoadBigEndian(data + 28);
    std::uint32_t l0 = c0r ^ P[16], r0 = c0l ^ P[17];
    std::uint32_t l1 = c1r ^ P[16], r1 = c1l ^ P[17];
    std::uint32_t l2 = c2r ^ P[16], r2 = c2l ^ P[17];
    std::uint32_t l3 = c3r ^ P[16], r3 = c3l ^ P[17];
    VORELA_BF_DEC_ROUNDS4(14);
    VORELA_BF_DEC_ROUNDS4(12);
    VORELA_BF_DEC_ROUNDS4(10);
    VORELA_BF_DEC_ROUNDS4(8);
    VORELA_BF_DEC_ROUNDS4(6);
    VORELA_BF_DEC_ROUNDS4(4);
    VORELA_BF_DEC_ROUNDS4(2);
    VORELA_BF_DEC_ROUNDS4(0);
    StoreBigEndian(data, l0 ^ prev_l);
    StoreBigEndian(data + 4, r0 ^ prev_r);
    StoreBigEndian(data + 8, l1 ^ c0l);
    StoreBigEndian(data + 12, r1 ^ c0r);
    StoreBigEndian(data + 16, l2 ^ c1l);
    StoreBigEndian(data + 20, r2 ^ c1r);
    StoreBigEndian(data + 24, l3 ^ c2l);
    StoreBigEndian(data + 28, r3 ^ c2r);
    prev_l = c3l;
    prev_r = c3r;
  }
  for (; b < blocks; ++b, data += 8) {
    const std::uint32_t cl = LoadBigEndian(data);
    const std::uint32_t cr = LoadBigEndian(data + 4);
    std::uint32_t l = cl;
    std::uint32_t r = cr;
    DecryptBlock(state, l, r);
    StoreBigEndian(data, l ^ prev_l);
    StoreBigEndian(data + 4, r ^ prev_r);
    prev_l = cl;
    prev_r = cr;
  }
  chain.left = prev_l;
  chain.right = prev_r;
}

}  // namespace vorela
