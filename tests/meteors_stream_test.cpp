#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/gravity.h"
#include "isa_fixture.h"
#include "core/run_error.h"
#include "meteors/sky_geometry.h"
#include "meteors/stream.h"

namespace stelvo {
namespace {

constexpr int kTempelTuttle = 539;  // 55P/Tempel-Tuttle in the catalogue

// A small Leonid stream: the six returns 1800-1965 (from the IMCCE solution nearest
// them, the built-in table's), 100 grains each, crossings of
// 2000-2001 within 0.005 AU of the Earth's orbit; the far part at 2 days, the last
// 20 years at 1 day, grains with both nodes beyond 0.01 AU of the Earth's orbit set
// aside at the switch.
StreamSettings SmallLeonids() {
  StreamSettings s;
  s.cometIndex = kTempelTuttle;
  s.releaseFrom = 1800;
  s.releaseTo = 1970;
  s.forecastFrom = 2000;
  s.forecastTo = 2001;
  s.perReturn = 100;
  s.farStepDays = 2;
  s.stepDays = 1;
  s.nearYears = 20;
  s.setAsideAu = 0.005;
  s.captureAu = 0.005;
  return s;
}

std::uint64_t Digest(const StreamResult& r) {
  std::uint64_t h = 14695981039346656037ull;
  auto mix = [&](std::uint64_t v) {
    for (int b = 0; b < 8; ++b) {
      h ^= (v >> (8 * b)) & 0xff;
      h *= 1099511628211ull;
    }
  };
  for (std::size_t k = 0; k < r.crossings.size(); ++k) {
    const Crossing& c = r.crossings[k];
    mix(static_cast<std::uint64_t>(c.particle));
    for (double v : {c.jd, c.lambdaSun, c.rAu, c.raDeg, c.decDeg, c.vgKmS, c.weight})
      mix(std::bit_cast<std::uint64_t>(v));
  }
  for (double v : r.profile) mix(std::bit_cast<std::uint64_t>(v));
  return h;
}

struct StreamFixture : ::testing::Test {
  static const StreamResult& Leonids() {
    static const StreamResult result = RunStream(SmallLeonids());
    return result;
  }
};

// IAU Meteor Data Center, Leonids (013 LEO): solar longitude 235.0, radiant RA
// 153.8, Dec +21.8, v_g 70.2 km/s (Jenniskens et al. 2016, Icarus 266, 331).
TEST_F(StreamFixture, TheLeonidsComeOutWhereTheyAreSeen) {
  const StreamResult& r = Leonids();
  ASSERT_EQ(r.returns.size(), 6u);
  EXPECT_EQ(r.returns.front().year, 1800);
  EXPECT_EQ(r.returns.back().year, 1965);
  for (const StreamReturn& ret : r.returns) EXPECT_EQ(ret.solution, "IMCCE note 0160");
  ASSERT_EQ(r.showers.size(), 1u);
  const StreamShower& w = r.showers[0];
  EXPECT_NEAR(w.shower.lambdaSun, 235.0, 1.5);
  EXPECT_LT(AngularSeparationDeg(w.shower.raDeg, w.shower.decDeg, 153.8, 21.8), 2.0);
  EXPECT_NEAR(w.shower.vgKmS, 70.2, 1.0);
  EXPECT_GT(w.shower.count, 30);
  EXPECT_GT(w.peak.fwhmDeg, 0.3);
  EXPECT_LT(w.peak.fwhmDeg, 5.0);
}

// Grains set aside at the switch are those that cannot reach the capture width: the
// captured crossings are the same bits with and without the set-aside, and no kept
// grain's node moved by more than the margin.
TEST_F(StreamFixture, GrainsSetAsideChangeNoCapturedCrossing) {
  const StreamResult& r = Leonids();
  int setAside = 0;
  for (const StreamReturn& ret : r.returns) setAside += ret.setAside;
  EXPECT_GT(setAside, 100);
  EXPECT_LT(r.largestNodeShiftAu, SmallLeonids().setAsideAu);
  StreamSettings s = SmallLeonids();
  s.setAsideAu = 0;  // still two parts, restarted where the far steps end
  EXPECT_EQ(Digest(RunStream(s)), Digest(r));
}

// Every return is integrated on its own and gathered in return order: the same bits
// for one, two and three threads and on every instruction set. (The passages by era
// moved the returns by up to hours from those of the MPC elements alone, which gave
// 92 crossings, digest 0x49ef57099757f5fa: see the next test.)
TEST_F(StreamFixture, TheSameBitsForEveryThreadCountAndInstructionSet) {
  const Isa original = ActiveIsa();
  testing::ForEachIsa([&](Isa isa) {
    for (int threads : {1, 2, 3}) {
      if (isa != original && threads != 2) continue;
      StreamSettings s = SmallLeonids();
      s.threads = threads;
      const StreamResult& r = isa == original && threads == 2 ? Leonids() : RunStream(s);
      const std::string where = std::string(IsaName(isa)) + ", " + std::to_string(threads);
      EXPECT_EQ(r.crossings.size(), 87u) << where;
      EXPECT_EQ(Digest(r), 0x488e48a150bb66a6u) << std::hex << Digest(r) << " " << where;
    }
  });
}

// The weight is what a grain stands for: weights of 1 are the unweighted stream to
// the bit, doubled weights double the profile and leave the means.
TEST_F(StreamFixture, GrainWeightsScaleTheProfileAndKeepTheMeans) {
  StreamSettings s = SmallLeonids();
  s.weight = [](const PerihelionPassage&, const Grain&) { return 2.0; };
  const StreamResult doubled = RunStream(s);
  const StreamResult& r = Leonids();
  ASSERT_EQ(doubled.profile.size(), r.profile.size());
  for (std::size_t k = 0; k < r.profile.size(); ++k) EXPECT_EQ(doubled.profile[k], 2 * r.profile[k]);
  ASSERT_EQ(doubled.showers.size(), 1u);
  EXPECT_NEAR(doubled.showers[0].shower.lambdaSun, r.showers[0].shower.lambdaSun, 1e-9);
  EXPECT_NEAR(doubled.showers[0].shower.vgKmS, r.showers[0].shower.vgKmS, 1e-9);
  EXPECT_EQ(doubled.showers[0].shower.weight, 2 * r.showers[0].shower.weight);
}

// Passages by era and weights, each against the stream without them: a solution
// table without the comet falls back on the catalogue's MPC elements (the returns
// as they were before the eras, to the bit); the forecast's meteoroid weights with
// small grains give those too light for a +6.5 Leonid no weight.
struct StreamVariant {
  const char* what;
  void (*change)(StreamSettings&);
  std::size_t crossings;
  std::uint64_t digest;
};
const std::vector<OrbitSolution> kNoSolutions;
const StreamVariant kVariants[] = {
    {"MPC elements", [](StreamSettings& s) { s.solutions = &kNoSolutions; }, 92,
     0x49ef57099757f5faull},
    {"visible meteoroids",
     [](StreamSettings& s) {
       s.ejection.grainRadiusMinMm = 0.05;
       s.weight = MeteoroidWeights(s.perReturn, s.ejection, ActivityOfComet(kTempelTuttle), 2.5);
       s.visibleOnly = true;
     },
     67, 0x2fbb4b61fda5bf89ull},
};

TEST(StreamTest, PassagesBySolutionAndMeteoroidWeights) {
  for (const StreamVariant& v : kVariants) {
    StreamSettings s = SmallLeonids();
    v.change(s);
    const StreamResult r = RunStream(s);
    EXPECT_EQ(r.crossings.size(), v.crossings) << v.what;
    EXPECT_EQ(Digest(r), v.digest) << std::hex << Digest(r) << " " << v.what;
    if (!s.visibleOnly) continue;
    int unseen = 0;
    for (const Crossing& c : r.crossings) unseen += c.weight == 0;
    EXPECT_GT(unseen, 0);
    EXPECT_LT(unseen, static_cast<int>(r.crossings.size()));
    // Grains that weigh nothing make no shower (whose weighted means would be 0/0).
    ASSERT_FALSE(r.showers.empty());
    for (const StreamShower& w : r.showers) {
      EXPECT_EQ(w.shower.count, static_cast<int>(r.crossings.size()) - unseen);
      EXPECT_TRUE(std::isfinite(w.shower.vgKmS));
    }
  }
}

struct BadStream {
  const char* what;
  void (*change)(StreamSettings&);
};
const BadStream kBadStreams[] = {
    {"no passage in the span", [](StreamSettings& s) { s.releaseFrom = s.releaseTo = 1970; }},
    {"releases backwards", [](StreamSettings& s) { s.releaseFrom = 1900, s.releaseTo = 1800; }},
    {"forecast backwards", [](StreamSettings& s) { s.forecastFrom = 2001, s.forecastTo = 2000; }},
    {"releases after the forecast", [](StreamSettings& s) { s.releaseFrom = 2005; }},
    {"before the planets' range", [](StreamSettings& s) { s.releaseFrom = -9000; }},
    {"no grains", [](StreamSettings& s) { s.perReturn = 0; }},
};

TEST(StreamTest, SettingsThatGiveNoStreamAreRefused) {
  for (const BadStream& bad : kBadStreams) {
    StreamSettings s = SmallLeonids();
    bad.change(s);
    EXPECT_THROW(RunStream(s), RunError) << bad.what;
  }
}

// Peaks and widths of a profile with known answers, 1-degree bins.
struct ProfileCase {
  std::vector<std::pair<int, double>> bins;  // bin, rate
  double lambda, search;
  double peak, rate, fwhm;
};
const ProfileCase kProfiles[] = {
    {{{100, 2}, {101, 4}, {102, 2}}, 101, 5, 101.5, 4, 2},          // half at the neighbours
    {{{10, 1}, {11, 4}, {12, 3}, {13, 1}}, 11, 5, 11.5, 4, 2.0 / 3 + 1.5},  // uneven sides
    {{{359, 4}, {0, 4}}, 0, 5, 0.5, 4, 2},  // across 360: the first highest bin
    {{{50, 4}}, 200, 5, 200, 0, 0},                                   // nothing near
};

TEST(StreamTest, ProfilePeakAndFullWidthAtHalfMaximum) {
  for (const ProfileCase& c : kProfiles) {
    std::vector<double> profile(360, 0.0);
    for (const auto& [bin, rate] : c.bins) profile[bin] = rate;
    const ProfilePeak p = PeakOfProfile(profile, 1, c.lambda, c.search);
    EXPECT_NEAR(p.lambda, c.peak, 1e-12);
    EXPECT_EQ(p.rate, c.rate);
    EXPECT_NEAR(p.fwhmDeg, c.fwhm, 1e-12);
  }
}

}  // namespace
}  // namespace stelvo
