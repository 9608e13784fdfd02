#include "core/state_digest.h"

#include <bit>
#include <cstdio>

namespace stelvo {

namespace {
constexpr std::uint64_t kFnvPrime = 0x100000001b3u;

std::uint64_t DigestWord(std::uint64_t digest, std::uint64_t word) {
  for (int byte = 0; byte < 8; ++byte) {
    digest = (digest ^ ((word >> (8 * byte)) & 0xffu)) * kFnvPrime;
  }
  return digest;
}
}  // namespace

std::uint64_t DigestBytes(std::uint64_t digest, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t k = 0; k < size; ++k) digest = (digest ^ bytes[k]) * kFnvPrime;
  return digest;
}

std::uint64_t DigestDoubles(std::uint64_t digest, const double* values, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    digest = DigestWord(digest, std::bit_cast<std::uint64_t>(values[k]));
  }
  return digest;
}

std::uint64_t StateDigest(const RunState& s) {
  const auto n = static_cast<std::size_t>(s.BodyCount);
  std::uint64_t digest = DigestWord(kDigestStart, static_cast<std::uint64_t>(s.BodyCount));
  digest = DigestDoubles(digest, &s.StepDays, 1);
  digest = DigestDoubles(digest, &s.SimDays, 1);
  for (int axis = 0; axis < 3; ++axis) {
    digest = DigestDoubles(digest, s.Pos(axis, 3), n);
    digest = DigestDoubles(digest, s.Pos(axis, 4), n);
    digest = DigestDoubles(digest, s.Vel(axis, 4), n);
    for (int slot = -3; slot <= 4; ++slot) digest = DigestDoubles(digest, s.Acc(axis, slot), n);
  }
  return DigestDoubles(digest, s.BodyGM(), n);
}

std::string DigestHex(std::uint64_t digest) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
  return text;
}

}  // namespace stelvo
