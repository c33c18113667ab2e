// The initial tables against pi itself, and the published block-cipher vectors
// against the round function and key schedule in the published layout.
#include "common/blowfish_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/blowfish_core.h"

namespace vorela {
namespace {

// Fixed-point numbers with 32-bit limbs: limb 0 is the integer part, limb k the
// k-th 32-bit digit after the point.
using Fixed = std::vector<std::uint32_t>;

// value /= divisor; returns false when value has become zero.
void DivideInPlace(Fixed& value, std::uint64_t divisor, std::size_t first) {
  std::uint64_t remainder = 0;
  for (std::size_t i = first; i < value.size(); ++i) {
    std::uint64_t current = (remainder << 32) | value[i];
    value[i] = static_cast<std::uint32_t>(current / divisor);
    remainder = current % divisor;
  }
}

void AddScaled(Fixed& sum, const Fixed& term, std::uint64_t divisor,
               bool subtract, std::size_t first) {
  Fixed quotient(term);
  DivideInPlace(quotient, divisor, first);
  std::uint64_t carry = 0;
  for (std::size_t i = sum.size(); i-- > 0;) {
    std::int64_t v =
        subtract ? static_cast<std::int64_t>(sum[i]) - quotient[i] - carry
                 : static_cast<std::int64_t>(sum[i]) + quotient[i] + carry;
    carry = 0;
    if (v < 0) {
      v += std::int64_t{1} << 32;
      carry = 1;
    } else if (v >= (std::int64_t{1} << 32)) {
      v -= std::int64_t{1} << 32;
      carry = 1;
    }
    sum[i] = static_cast<std::uint32_t>(v);
  }
}

// multiplier * arctan(1 / x) by its series.
Fixed ArcTanInverse(std::uint32_t x, std::uint32_t multiplier,
                    std::size_t limbs) {
  Fixed term(limbs, 0);
  term[0] = multiplier;
  DivideInPlace(term, x, 0);
  Fixed sum(term);
  const std::uint64_t x2 = std::uint64_t{x} * x;
  std::size_t first = 0;
  for (std::uint64_t k = 1;; ++k) {
    DivideInPlace(term, x2, first);
    while (first < limbs && term[first] == 0) ++first;
    if (first == limbs) break;
    AddScaled(sum, term, 2 * k + 1, k % 2 == 1, first);
  }
  return sum;
}

// pi = 16 arctan(1/5) - 4 arctan(1/239), with a few guard limbs.
std::vector<std::uint32_t> PiFractionWords(std::size_t count) {
  const std::size_t limbs = count + 1 + 4;
  Fixed pi = ArcTanInverse(5, 16, limbs);
  Fixed small = ArcTanInverse(239, 4, limbs);
  AddScaled(pi, small, 1, true, 0);
  EXPECT_EQ(pi[0], 3u);
  return std::vector<std::uint32_t>(pi.begin() + 1, pi.begin() + 1 + count);
}

TEST(BlowfishTablesTest, EveryWordIsTheHexadecimalFractionOfPi) {
  std::vector<std::uint32_t> pi = PiFractionWords(kPiWordCount);
  for (std::size_t i = 0; i < kPiWordCount; ++i) {
    ASSERT_EQ(kPiFractionWords[i], pi[i]) << "word " << i;
  }
}

TEST(BlowfishTablesTest, LayoutsPlaceThePublishedAnchors) {
  BlowfishState standard = StandardInitialState();
  BlowfishState variant = VariantInitialState();
  for (const BlowfishState* s : {&standard, &variant}) {
    EXPECT_EQ(s->P[0], 0x243F6A88u);
    EXPECT_EQ(s->P[1], 0x85A308D3u);
    EXPECT_EQ(s->P[17], 0x8979FB1Bu);
  }
  EXPECT_EQ(standard.S[0][0], 0xD1310BA6u);
  EXPECT_EQ(standard.S[1][0], 0x4B7A70E9u);
  EXPECT_EQ(standard.S[3][255], 0x3AC372E6u);

  EXPECT_EQ(variant.S[0][0], 0xD1310BA6u);
  EXPECT_EQ(variant.S[1][0], 0x98DFB5ACu);
  EXPECT_EQ(variant.S[2][0], 0x2FFD72DBu);
  EXPECT_EQ(variant.S[3][0], 0xD01ADFB7u);
  EXPECT_EQ(variant.S[0][1], 0xB8E1AFEDu);
  EXPECT_EQ(variant.S[3][255], 0x3AC372E6u);
  // The variant deals the standard boxes out round-robin: standard box 1 entry
  // 0 (word 256 of the S-boxes) lands in box 0 at entry 64.
  EXPECT_EQ(variant.S[0][64], 0x4B7A70E9u);
}

struct Vector {
  std::uint64_t key, plain, cipher;
};

// Published Blowfish vectors (8-byte keys, ECB, standard layout and packing).
constexpr Vector kPublishedVectors[] = {
    {0x0000000000000000, 0x0000000000000000, 0x4EF997456198DD78},
    {0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF, 0x51866FD5B85ECB8A},
    {0x3000000000000000, 0x1000000000000001, 0x7D856F9A613063F2},
    {0x1111111111111111, 0x1111111111111111, 0x2466DD878B963C9D},
    {0x0123456789ABCDEF, 0x1111111111111111, 0x61F9C3802281B096},
    {0xFEDCBA9876543210, 0x0123456789ABCDEF, 0x0ACEAB0FC6A0A28D},
};

TEST(BlowfishCoreTest, PublishedVectorsInTheStandardLayout) {
  for (const Vector& v : kPublishedVectors) {
    std::uint8_t key[8];
    for (int i = 0; i < 8; ++i)
      key[i] = static_cast<std::uint8_t>(v.key >> (56 - 8 * i));
    BlowfishState state = StandardInitialState();
    ScheduleKey(state, key, 8, KeyPacking::kStandard);
    std::uint32_t l = static_cast<std::uint32_t>(v.plain >> 32);
    std::uint32_t r = static_cast<std::uint32_t>(v.plain);
    EncryptBlock(state, l, r);
    EXPECT_EQ((std::uint64_t{l} << 32) | r, v.cipher) << std::hex << v.key;
    DecryptBlock(state, l, r);
    EXPECT_EQ((std::uint64_t{l} << 32) | r, v.plain) << std::hex << v.key;
  }
}

void ExpectSameState(const BlowfishState& a, const BlowfishState& b) {
  for (int i = 0; i < 18; ++i) ASSERT_EQ(a.P[i], b.P[i]) << "P " << i;
  for (int box = 0; box < 4; ++box) {
    for (int e = 0; e < 256; ++e)
      ASSERT_EQ(a.S[box][e], b.S[box][e]) << box << "," << e;
  }
}

TEST(BlowfishCoreTest, OrPackingOfAShortKeyCyclesAcrossWords) {
  // "abc": word 0 packs a,b,c,a; word 1 carries on with b,c,a,b; word 2 with
  // c,a,b,c. Accumulating ORs gives 61 63 63 63 | 62 63 63 63 | 63 63 63 63,
  // and then the pattern repeats: the same as that 12-byte key packed plainly.
  const std::uint8_t key[] = {'a', 'b', 'c'};
  const std::uint8_t packed[] = {0x61, 0x63, 0x63, 0x63, 0x62, 0x63,
                                 0x63, 0x63, 0x63, 0x63, 0x63, 0x63};
  BlowfishState variant = VariantInitialState();
  ScheduleKey(variant, key, 3, KeyPacking::kOrAccumulating);
  BlowfishState expected = VariantInitialState();
  ScheduleKey(expected, packed, sizeof packed, KeyPacking::kStandard);
  ExpectSameState(variant, expected);

  // And the packing differs from the plain one.
  BlowfishState plain = VariantInitialState();
  ScheduleKey(plain, key, 3, KeyPacking::kStandard);
  EXPECT_NE(plain.P[0], variant.P[0]);
}

TEST(BlowfishCoreTest, InterleavedCbcDecryptionMatchesBlockByBlock) {
  BlowfishState state = VariantInitialState();
  const std::uint8_t key[] = {'k', 'e', 'y'};
  ScheduleKey(state, key, 3, KeyPacking::kOrAccumulating);
  // Lengths around the lane count, so both the grouped and the tail paths run.
  for (std::size_t blocks : {1u, 3u, 4u, 5u, 8u, 11u}) {
    std::vector<std::uint8_t> data(blocks * 8);
    for (std::size_t i = 0; i < data.size(); ++i)
      data[i] = static_cast<std::uint8_t>(i * 37);
    std::vector<std::uint8_t> original = data;
    CbcChain chain;
    CbcEncrypt(state, data.data(), blocks, chain);

    std::vector<std::uint8_t> one_by_one = data;
    CbcChain chain1;
    for (std::size_t b = 0; b < blocks; ++b)
      CbcDecrypt(state, &one_by_one[b * 8], 1, chain1);
    CbcChain chain_all;
    CbcDecrypt(state, data.data(), blocks, chain_all);
    EXPECT_EQ(data, original) << blocks;
    EXPECT_EQ(one_by_one, original) << blocks;
  }
}

}  // namespace
}  // namespace vorela
