#pragma once
// Shared by the tests that pin a table or a state bit for bit: named rows of doubles
// go into one digest, and their listing goes with a failure, so that a deliberate
// change prints the new values and the digest to paste.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "core/state_digest.h"

namespace stelvo::testing {

class DigestedRows {
 public:
  // Listed in hexadecimal floating point, or else in decimal with 17 digits.
  explicit DigestedRows(bool hexFloat) {
    if (hexFloat)
      listing_ << std::hexfloat;
    else
      listing_.precision(17);
  }

  template <typename Doubles>
  void Add(const std::string& name, const Doubles& row) {
    digest_ = DigestDoubles(digest_, std::data(row), std::size(row));
    listing_ << name;
    for (double v : row) listing_ << " " << v;
    listing_ << "\n";
  }

  void ExpectDigest(const char* pinned) const {
    EXPECT_EQ(DigestHex(digest_), pinned) << listing_.str();
  }

 private:
  std::uint64_t digest_ = kDigestStart;
  std::ostringstream listing_;
};

}  // namespace stelvo::testing
