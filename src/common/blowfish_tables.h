// Blowfish's initial constants and the two ways of laying them out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorela {

inline constexpr std::size_t kPiWordCount = 18 + 4 * 256;

// The hexadecimal fraction digits of pi as 32-bit words, most significant
// first.
extern const std::array<std::uint32_t, kPiWordCount> kPiFractionWords;

// The cipher's whole keyed state: the P-array and the four S-boxes.
struct BlowfishState {
  std::uint32_t P[18];
  std::uint32_t S[4][256];
};

// The published layout: box i entry j is word 18 + 256 i + j.
BlowfishState StandardInitialState();

// Our layout, which stored data depends on: the same 1024 S-box words dealt out
// round-robin, so box i entry j is word 18 + 4 j + i. The P-array is standard.
BlowfishState VariantInitialState();

}  // namespace vorela
