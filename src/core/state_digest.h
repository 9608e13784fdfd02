#pragma once
// A 64-bit fingerprint of the exact bits of a run, so that tests and stelvo-cli can
// show that two runs (other instruction sets, other thread counts, other builds)
// agree to the last bit. Plain functions of the bytes; nothing here changes a run.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/run_state.h"

namespace stelvo {

// 64-bit FNV-1a (G. Fowler, L. C. Noll, K.-P. Vo, 1991): offset basis and prime as in
// Fowler, Noll, Vo, Eastlake, Hansen, "The FNV Non-Cryptographic Hash Algorithm",
// IETF Internet-Draft draft-eastlake-fnv.
inline constexpr std::uint64_t kDigestStart = 0xcbf29ce484222325u;

// Continues `digest` over `size` bytes.
std::uint64_t DigestBytes(std::uint64_t digest, const void* data, std::size_t size);
// Continues `digest` over the bit patterns of `count` doubles, least significant byte first.
std::uint64_t DigestDoubles(std::uint64_t digest, const double* values, std::size_t count);

// Everything the next regular step reads, taken between passes (after Begin or after
// FinishPass), when slot 4 holds the newest accepted point: BodyCount, StepDays and
// SimDays, then for x, y and z in turn position slots 3 and 4, velocity slot 4 and
// acceleration slots -3..4, each over bodies 1..BodyCount, and last BodyGM. Two runs
// with the same digest continue identically.
std::uint64_t StateDigest(const RunState& state);

// Sixteen lower-case hex digits.
std::string DigestHex(std::uint64_t digest);

}  // namespace stelvo
