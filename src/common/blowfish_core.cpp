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
inline std::uint32_t F(const BlowfishState& s, std::uint32_t x) {
  return ((s.S[0][x >> 24] + s.S[1][(x >> 16) & 0xFF]) ^
          s.S[2][(x >> 8) & 0xFF]) +
         s.S[3][x & 0xFF];
}

// N blocks through the rounds side by side: the table look-ups of one block
// then hide the load latency of the others. Only decryption can use N > 1,
// since CBC encryption needs each block's result before the next one starts.
template <int N>
inline void DecryptBlocks(const BlowfishState& s, std::uint32_t* l,
                          std::uint32_t* r) {
  for (int k = 0; k < N; ++k) {
    std::uint32_t t = r[k];
    r[k] = l[k] ^ s.P[17];
    l[k] = t ^ s.P[16];
  }
  for (int i = 14; i >= 0; i -= 2) {
    for (int k = 0; k < N; ++k) l[k] ^= F(s, r[k]);
    for (int k = 0; k < N; ++k) r[k] ^= s.P[i + 1] ^ F(s, l[k]);
    for (int k = 0; k < N; ++k) l[k] ^= s.P[i];
  }
}

}  // namespace

void EncryptBlock(const BlowfishState& s, std::uint32_t& left,
                  std::uint32_t& right) {
  std::uint32_t l = left;
  std::uint32_t r = right;
  for (int i = 0; i < 16; i += 2) {
    l ^= s.P[i];
    r ^= F(s, l) ^ s.P[i + 1];
    l ^= F(s, r);
  }
  left = r ^ s.P[17];
  right = l ^ s.P[16];
}

void DecryptBlock(const BlowfishState& s, std::uint32_t& left,
                  std::uint32_t& right) {
  DecryptBlocks<1>(s, &left, &right);
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
  std::uint32_t cl = chain.left;
  std::uint32_t cr = chain.right;
  for (std::size_t b = 0; b < blocks; ++b, data += 8) {
    cl ^= LoadBigEndian(data);
    cr ^= LoadBigEndian(data + 4);
    EncryptBlock(state, cl, cr);
    StoreBigEndian(data, cl);
    StoreBigEndian(data + 4, cr);
  }
  chain.left = cl;
  chain.right = cr;
}

void CbcDecrypt(const BlowfishState& state, std::uint8_t* data,
                std::size_t blocks, CbcChain& chain) {
  constexpr int kLanes = 4;
  std::uint32_t prev_l = chain.left;
  std::uint32_t prev_r = chain.right;
  std::size_t b = 0;
  for (; b + kLanes <= blocks; b += kLanes, data += 8 * kLanes) {
    std::uint32_t cl[kLanes], cr[kLanes], l[kLanes], r[kLanes];
    for (int k = 0; k < kLanes; ++k) {
      cl[k] = l[k] = LoadBigEndian(data + 8 * k);
      cr[k] = r[k] = LoadBigEndian(data + 8 * k + 4);
    }
    DecryptBlocks<kLanes>(state, l, r);
    StoreBigEndian(data, l[0] ^ prev_l);
    StoreBigEndian(data + 4, r[0] ^ prev_r);
    for (int k = 1; k < kLanes; ++k) {
      StoreBigEndian(data + 8 * k, l[k] ^ cl[k - 1]);
      StoreBigEndian(data + 8 * k + 4, r[k] ^ cr[k - 1]);
    }
    prev_l = cl[kLanes - 1];
    prev_r = cr[kLanes - 1];
  }
  for (; b < blocks; ++b, data += 8) {
    std::uint32_t cl = LoadBigEndian(data);
    std::uint32_t cr = LoadBigEndian(data + 4);
    std::uint32_t l = cl;
    std::uint32_t r = cr;
    DecryptBlocks<1>(state, &l, &r);
    StoreBigEndian(data, l ^ prev_l);
    StoreBigEndian(data + 4, r ^ prev_r);
    prev_l = cl;
    prev_r = cr;
  }
  chain.left = prev_l;
  chain.right = prev_r;
}

}  // namespace vorela
