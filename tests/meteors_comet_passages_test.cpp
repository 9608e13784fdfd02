#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <vector>

#include "core/run_error.h"
#include "data/comet_catalogue.h"
#include "initial/astronom.h"
#include "initial/constants.h"
#include "initial/planets.h"
#include "meteors/comet_passages.h"
#include "meteors/sky_geometry.h"
#include "meteors/two_body.h"

namespace stelvo {
namespace {

const double kSunGM = kMassiveBodies[0].gm;

int CatalogueIndex(std::string_view designation) {
  for (int i = 0; i < kCometCount; ++i) {
    if (kCometCatalogue[i].ends_with(designation)) return i;
  }
  return -1;
}

TEST(CometPassages, TempelTuttlePassesPerihelionInTheYearsOfItsRecordedApparitions) {
  const int index = CatalogueIndex("55P/Tempel-Tuttle");
  ASSERT_GE(index, 0);
  const std::vector<PerihelionPassage> passages =
      PerihelionPassages(index, JulianDate(1690, 1, 1, 0, 0, 0), JulianDate(2000, 1, 1, 0, 0, 0));
  // Recorded apparitions (Yeomans 1981, Icarus 47, 492).
  const std::vector<int> recorded{1699, 1733, 1767, 1800, 1833, 1866, 1899, 1932, 1965, 1998};
  ASSERT_EQ(passages.size(), recorded.size());
  for (std::size_t k = 0; k < recorded.size(); ++k) {
    // Each passage inside its apparition's year, or at most a tenth of a year before
    // it: the 1833 return comes out at 1832 December 30.
    const double start = JulianDate(recorded[k], 1, 1, 0, 0, 0);
    EXPECT_GT(passages[k].jd, start - 36.5) << FormatUtc(passages[k].jd);
    EXPECT_LT(passages[k].jd, JulianDate(recorded[k] + 1, 1, 1, 0, 0, 0))
        << FormatUtc(passages[k].jd);
    // At perihelion the radial speed vanishes.
    const StateVector& s = passages[k].helio;
    EXPECT_NEAR(s.x * s.vx + s.y * s.vy + s.z * s.vz, 0, 1e-12);
  }
  // The last three returns from IMCCE's orbit with non-gravitational forces (IMCCE
  // note 0160 on 55P): 1998 Feb 28.0965, 1965 Apr 30.0078, 1932 Jul 12.7062 TT. Without
  // those forces the perihelion drifts by a few tenths of a day per revolution.
  EXPECT_NEAR(passages[9].jd, JulianDate(1998, 2, 0, 28.0965 * 24, 0, 0), 0.1);
  EXPECT_NEAR(passages[8].jd, JulianDate(1965, 4, 0, 30.0078 * 24, 0, 0), 0.5);
  EXPECT_NEAR(passages[7].jd, JulianDate(1932, 7, 0, 12.7062 * 24, 0, 0), 1.0);
}

TEST(CometPassages, SpansOutsideMinus3000To2999AreRefused) {
  EXPECT_THROW(PerihelionPassages(539, JulianDate(-3001, 1, 1, 0, 0, 0), kEpochJD), RunError);
  EXPECT_THROW(PerihelionPassages(539, kEpochJD, JulianDate(3000, 1, 1, 0, 0, 0)), RunError);
  EXPECT_THROW(PerihelionPassages(-1, kEpochJD - 1000, kEpochJD), RunError);
  EXPECT_THROW(PerihelionPassages(539, kEpochJD, kEpochJD - 1000), RunError);
}

TEST(CometPassages, TheStateAtTheEpochHasTheTableElements) {
  const int index = CatalogueIndex("55P/Tempel-Tuttle");
  const OsculatingElements el = StateToElements(CometStateAtEpoch(index), kSunGM);
  EXPECT_NEAR(el.a * (1 - el.ecc), 0.978259, 1e-9);
  EXPECT_NEAR(el.ecc, 0.905547, 1e-9);
  EXPECT_NEAR(el.incl / kDegToRad, 162.4857, 1e-9);
}

}  // namespace
}  // namespace stelvo
