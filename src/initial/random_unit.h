#pragma once
// The program's one random number source: a 32-bit linear congruential generator
// whose state is 0 at program start and is never re-seeded, so that the first run
// after start-up always gives the same cloud and later runs continue the sequence.

#include <cstdint>

namespace stelvo {

class RandomSource {
 public:
  // RandomSeed := RandomSeed * 134775813 + 1 mod 2^32; returns RandomSeed / 2^32.
  double RandomUnit() {
    seed_ = seed_ * 134775813u + 1u;
    return seed_ / 4294967296.0;
  }
  std::uint32_t RandomSeed() const { return seed_; }

 private:
  std::uint32_t seed_ = 0;
};

// The instance that the window's runs and stelvo-cli's runs share.
RandomSource& ProgramRandom();

}  // namespace stelvo
