#include "common/blowfish_tables.h"

namespace vorela {

namespace {

void LoadP(BlowfishState& state) {
  for (std::size_t k = 0; k < 18; ++k) state.P[k] = kPiFractionWords[k];
}

}  // namespace

BlowfishState StandardInitialState() {
  BlowfishState state;
  LoadP(state);
  for (std::size_t box = 0; box < 4; ++box) {
    for (std::size_t e = 0; e < 256; ++e) {
      state.S[box][e] = kPiFractionWords[18 + 256 * box + e];
    }
  }
  return state;
}

BlowfishState VariantInitialState() {
  BlowfishState state;
  LoadP(state);
  for (std::size_t box = 0; box < 4; ++box) {
    for (std::size_t e = 0; e < 256; ++e) {
      state.S[box][e] = kPiFractionWords[18 + 4 * e + box];
    }
  }
  return state;
}

}  // namespace vorela
