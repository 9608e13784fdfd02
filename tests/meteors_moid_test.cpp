#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "initial/catalogue.h"
#include "initial/constants.h"
#include "meteors/moid.h"

namespace stelvo {
namespace {

struct Vec3 {
  double x, y, z;
};

// The point at eccentric anomaly E, computed independently of the unit under test.
Vec3 PointOnOrbit(const OrbitShape& o, double E) {
  const double a = o.q / (1 - o.ecc), b = a * std::sqrt(1 - o.ecc * o.ecc);
  const double u = a * (std::cos(E) - o.ecc), v = b * std::sin(E);
  const double cw = std::cos(o.argPeri), sw = std::sin(o.argPeri), cn = std::cos(o.node),
               sn = std::sin(o.node), ci = std::cos(o.incl), si = std::sin(o.incl);
  return {u * (cw * cn - sw * sn * ci) + v * (-sw * cn - cw * sn * ci),
          u * (cw * sn + sw * cn * ci) + v * (-sw * sn + cw * cn * ci), (u * sw + v * cw) * si};
}

// JPL Horizons' osculating elements (IAU76/J2000 heliocentric ecliptic) with the
// Earth MOID it prints for them, from the headers of Horizons API answers of
// 2024 (ssd.jpl.nasa.gov/api/horizons.api, DES=...;CAP).
struct JplOrbit {
  const char* name;
  double epochJd, ecc, q, node, argPeri, incl;
  double moidAu;
};

const JplOrbit kJplOrbits[] = {
    {"1P/Halley", 2439907.5, 0.9679221169240834, 0.575157544193894, 59.07198712310091,
     112.2128395742619, 162.1951462980701, 0.0744805},
    {"55P/Tempel-Tuttle", 2451040.5, 0.9055527209724122, 0.9764279154675056, 235.270989149082,
     172.5002736828059, 162.4865753794343, 0.00848081},
    {"132P/Helin-Roman-Alu 2", 2459491.5, 0.5646962951942371, 1.691774595818599,
     173.9965710751069, 216.3455154483562, 5.382515463131783, 0.69996899},
    {"52P/Harrington-Abell", 2457578.5, 0.540048863643431, 1.775053615559263, 336.8356805332962,
     139.6607051308085, 10.23176237340895, 0.80361903},
    {"87P/Bus", 2457467.5, 0.3893476920698341, 2.101174815284378, 181.8898060895848,
     24.75638615410691, 2.6023944932398, 1.09780002},
    {"237P/LINEAR", 2459542.5, 0.4343792763591935, 1.986613413263668, 245.3799932224934,
     25.23513160965486, 14.01468509818711, 0.98120898},
};

void PrintTo(const JplOrbit& o, std::ostream* os) { *os << o.name; }

class JplMoid : public testing::TestWithParam<JplOrbit> {};

TEST_P(JplMoid, AgreesWithJplForTheSameElements) {
  const JplOrbit& o = GetParam();
  const OrbitShape comet{o.q, o.ecc, o.incl * kDegToRad, o.node * kDegToRad,
                         o.argPeri * kDegToRad};
  // The Earth-Moon barycentre's osculating orbit stands for the Earth's: the
  // Earth's own swings with the Moon by about 1e-3 AU in size and orientation.
  const OrbitShape earth = EarthOrbitAt(o.epochJd);
  const double moid = MinimumOrbitDistance(earth, comet).au;
  EXPECT_NEAR(moid, o.moidAu, 1.2e-3) << o.name;
  // A scan of 2000 x 2000 points of both orbits never finds a closer pair, and
  // comes within its own resolution.
  std::vector<Vec3> ring(2000);
  double scan = INFINITY;
  for (int k = 0; k < 2000; ++k) ring[k] = PointOnOrbit(earth, kTwoPi * k / 2000);
  for (int j = 0; j < 2000; ++j) {
    const Vec3 p = PointOnOrbit(comet, kTwoPi * j / 2000);
    for (const Vec3& r : ring) {
      scan = std::min(scan, std::hypot(r.x - p.x, r.y - p.y, r.z - p.z));
    }
  }
  EXPECT_LE(moid, scan + 1e-12) << o.name;
  EXPECT_LT(scan - moid, 1e-3) << o.name;
}

INSTANTIATE_TEST_SUITE_P(Horizons, JplMoid, testing::ValuesIn(kJplOrbits));

TEST(Moid, IsSymmetricAndZeroForAnOrbitWithItself) {
  const OrbitShape a{0.98, 0.9, 2.8, 4.1, 3.0};
  const OrbitShape b{1.0, 0.0167, 0.0001, 3.0, 1.8};
  EXPECT_NEAR(MinimumOrbitDistance(a, b).au, MinimumOrbitDistance(b, a).au, 1e-12);
  EXPECT_LT(MinimumOrbitDistance(a, a).au, 1e-12);
}

// The parents of the Perseids, Leonids, Draconids, tau Herculids and Camelopardalids
// cross the Earth's orbit within 0.05 AU (JPL's values for its own elements:
// 0.0009, 0.008, 0.018, 0.010 and 0.004 AU); Halley (0.074) stays outside.
TEST(Moid, TheShowerParentsAreAmongTheCometsWithin005Au) {
  const std::vector<CometMoid> near = CometsNearEarthOrbit(0.05);
  std::vector<std::string> names;
  for (const CometMoid& c : near) {
    names.emplace_back(CometDisplayName(c.cometIndex));
    EXPECT_LE(c.moidAu, 0.05);
  }
  for (const char* parent : {"109P/Swift-Tuttle", "55P/Tempel-Tuttle", "21P/Giacobini-Zinner",
                             "73P/Schwassmann-Wachmann", "209P/LINEAR"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), parent), names.end()) << parent;
  }
  EXPECT_EQ(std::find(names.begin(), names.end(), "1P/Halley"), names.end());
}

}  // namespace
}  // namespace stelvo
