#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/run_error.h"
#include "initial/astronom.h"
#include "meteors/forecast.h"
#include "meteors/sky_geometry.h"

namespace stelvo {
namespace {

constexpr int kTempelTuttle = 539;  // 55P/Tempel-Tuttle in the catalogue

ForecastSettings Leonids(int trailFrom, int trailTo, int forecastFrom, int forecastTo,
                         int perTrail) {
  ForecastSettings s;
  s.cometIndex = kTempelTuttle;
  s.trailFrom = trailFrom;
  s.trailTo = trailTo;
  s.forecastFrom = forecastFrom;
  s.forecastTo = forecastTo;
  s.perTrail = perTrail;
  s.stepDays = 2;
  return s;
}

// The 1999 Leonid storm peaked on November 18 near 02:04 UT at solar longitude
// 235.29 degrees (Arlt et al. 1999, WGN 27, 286; Jenniskens et al. 2000, Earth Moon
// Planets 82/83, 191), from the trail released at the 1899 return (McNaught and
// Asher 1999, WGN 27, 85).
// 10,000 grains: the peak is read where the Earth crosses the trail, which at 5,000
// grains the fit still places with a standard error of 20 minutes.
TEST(Forecast, TheLeonidStormOf1999ComesFromThe1899TrailWithinHalfAnHour) {
  const ForecastResult r = RunForecast(Leonids(1899, 1899, 1999, 1999, 10000));
  ASSERT_EQ(r.trails.size(), 1u);
  EXPECT_EQ(r.trails[0].year, 1899);
  ASSERT_EQ(r.encounters.size(), 1u);
  const TrailEncounter& e = r.encounters[0];
  EXPECT_EQ(e.trailYear, 1899);
  EXPECT_EQ(e.forecastYear, 1999);
  const double observed = JulianDate(1999, 11, 18, 2, 4, 0);
  EXPECT_LT(std::fabs(e.peakJd - observed) * 1440, 30) << FormatUtc(e.peakJd);
  EXPECT_NEAR(e.lambdaSun, 235.29, 0.03);
  EXPECT_LT(std::fabs(e.missAu), 0.002);
  EXPECT_GT(e.particles, 20);
  // The Leonid radiant in Leo and their speed, about 71 km/s.
  EXPECT_NEAR(e.raDeg, 153.6, 1.5);
  EXPECT_NEAR(e.decDeg, 21.7, 1.5);
  EXPECT_NEAR(e.vgKmS, 70.6, 0.5);
  // The trail's passage from IMCCE note 0160, the solution nearest 1899.
  EXPECT_EQ(r.trails[0].solution, "IMCCE note 0160");
  // A storm: the observed ZHR was about 3,700 (Arlt et al. 1999, WGN 27, 286).
  EXPECT_GT(e.zhr, 1000);
  EXPECT_LT(e.zhr, 20000);
  EXPECT_GT(e.fwhmMin, 10);
  EXPECT_GT(e.peakSigmaMin, 0);
  EXPECT_EQ(e.nodes.size(), static_cast<std::size_t>(e.particles));
  EXPECT_FALSE(e.profile.empty());
  // The whole row, pinned.
  EXPECT_EQ(ForecastCsv(r.encounters),
            "trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min\n"
            "1899,1999-11-18T02:21,235.3002,0.00107,257,153.60,21.70,70.60,3647,154,15.0\n");
}

// A recorded outburst's brightening raises the trail's dust, and every ZHR with it, by
// the water-magnitude law's 10^(0.2453 dm) (Jorda, Crovisier and Green 2008).
TEST(Forecast, AnOutburstsBrighteningScalesTheTrailsStrength) {
  ForecastPlan plan = PlanForecast(Leonids(1932, 1932, 1999, 2000, 400));
  ASSERT_EQ(plan.tasks.size(), 1u);
  const TrailOutcome trail = TrailRunner().Run(plan, plan.tasks[0]);
  const ForecastResult steady = CollectEncounters(plan, {&trail, 1});
  ReleaseEvent outburst;
  outburst.comet = "55P/Tempel-Tuttle";
  outburst.passageYear = 1932;
  outburst.kind = "outburst";
  outburst.brighteningMag = 5;
  plan.tasks[0].event = outburst;
  const ForecastResult bright = CollectEncounters(plan, {&trail, 1});
  ASSERT_EQ(bright.encounters.size(), steady.encounters.size());
  ASSERT_FALSE(steady.encounters.empty());
  for (std::size_t k = 0; k < steady.encounters.size(); ++k) {
    ASSERT_GT(steady.encounters[k].zhr, 0);
    EXPECT_NEAR(bright.encounters[k].zhr / steady.encounters[k].zhr, std::pow(10.0, 0.2453 * 5), 1e-6);
  }
}

TEST(Forecast, TheThreadCountDoesNotChangeTheForecast) {
  ForecastSettings s = Leonids(1932, 1965, 1999, 2000, 400);
  s.threads = 1;
  const ForecastResult one = RunForecast(s);
  s.threads = 2;
  const ForecastResult two = RunForecast(s);
  ASSERT_EQ(one.trails.size(), 2u);
  EXPECT_EQ(ForecastCsv(one.encounters), ForecastCsv(two.encounters));
  EXPECT_FALSE(one.encounters.empty());
}

// The unit a survey shares out across processes: each trail task run alone, in the
// reverse order, on a runner of its own, then collected, gives the whole forecast.
TEST(Forecast, TrailTasksRunAloneGiveTheWholeForecast) {
  const ForecastSettings s = Leonids(1932, 1965, 1999, 2000, 400);
  const ForecastPlan plan = PlanForecast(s);
  ASSERT_EQ(plan.tasks.size(), 2u);
  std::vector<TrailOutcome> outcomes(plan.tasks.size());
  for (std::size_t k = plan.tasks.size(); k-- > 0;) outcomes[k] = TrailRunner().Run(plan, plan.tasks[k]);
  const ForecastResult alone = CollectEncounters(plan, outcomes);
  EXPECT_EQ(ForecastCsv(alone.encounters), ForecastCsv(RunForecast(s).encounters));
  EXPECT_FALSE(alone.encounters.empty());
}

TEST(Forecast, ProgressRisesToOneAndCancelStopsTheRuns) {
  const ForecastSettings s = Leonids(1965, 1965, 1998, 1998, 300);
  std::vector<double> seen;
  Progress progress;
  const ForecastProgress report = ReportInto(progress, s);
  std::vector<std::string> stages;
  const ForecastResult done = RunForecast(s, [&](const ForecastStatus& st) {
    seen.push_back(st.fraction);
    EXPECT_EQ(st.trailCount, 1);
    report(st);
    stages.push_back(progress.Read().stage);
    return true;
  });
  // The display names the trail while it runs towards the span, the year inside it.
  EXPECT_EQ(stages.front(), "trail 1 of 1");
  EXPECT_EQ(stages.back(), "forecast 1998");
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), 0.0);
  EXPECT_EQ(seen.back(), 1.0);
  for (std::size_t k = 1; k < seen.size(); ++k) EXPECT_GE(seen[k], seen[k - 1]);
  EXPECT_FALSE(done.cancelled);

  int calls = 0;
  const ForecastResult cancelled =
      RunForecast(s, [&](const ForecastStatus&) { return ++calls < 1; });
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_TRUE(cancelled.encounters.empty());
  EXPECT_TRUE(cancelled.trails.empty());
  EXPECT_EQ(calls, 1);

  // Cancelled while the trails run: the runs stop and nothing is reported.
  calls = 0;
  const ForecastResult stopped = RunForecast(Leonids(1899, 1899, 1999, 1999, 3000),
                                             [&](const ForecastStatus&) { return ++calls < 2; });
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_TRUE(stopped.encounters.empty());
}

TEST(Forecast, SettingsOutsideTheirRangesAreRefused) {
  const ForecastSettings good = Leonids(1899, 1899, 1999, 1999, 100);
  auto refused = [](ForecastSettings s) { EXPECT_THROW(RunForecast(s), RunError); };
  ForecastSettings s = good;
  s.trailFrom = -3001;
  refused(s);
  s = good;
  s.forecastFrom = 2000;
  refused(s);
  s = good;
  s.perTrail = 0;
  refused(s);
  s = good;
  s.perTrail = kMaxTrailParticles + 1;
  refused(s);
  s = good;
  s.encounterAu = 0;
  refused(s);
  s = good;
  s.stepDays = -1;
  refused(s);
  s = good;
  s.cometIndex = 588;
  refused(s);
}

TEST(Forecast, TrailsAfterTheForecastYearsGiveNoRuns) {
  const ForecastResult r = RunForecast(Leonids(1998, 1998, 1990, 1995, 100));
  EXPECT_TRUE(r.trails.empty());
  EXPECT_TRUE(r.encounters.empty());
}

TEST(Forecast, TheCsvHeaderIsExactlyTheDocumentedOne) {
  EXPECT_EQ(ForecastCsv({}), "trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min\n");
  // 04:00 UTC: the run's TT is 64.184 s ahead in 2002.
  const TrailEncounter e{1767, 2002, JulianDate(2002, 11, 19, 4, 0, 64.184), 236.6, -0.0005, 12,
                         154.5, 21.4, 70.6};
  EXPECT_EQ(ForecastCsv({e}),
            "trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min\n"
            "1767,2002-11-19T04:00,236.6000,-0.00050,12,154.50,21.40,70.60,0,0,0.0\n");
  // From Calar Alto (37.22 N, 2.55 W) the site's columns follow: the full Moon of the
  // 2002 Leonids.
  std::vector<TrailEncounter> seen{e};
  ViewEncountersFrom(Site{37.2236, -2.5463}, 2.5, seen);
  EXPECT_EQ(ForecastCsv(seen, true),
            "trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min,"
            "radiant_alt,sun_alt,moon_illum,moon_alt,hr\n"
            "1767,2002-11-19T04:00,236.6000,-0.00050,12,154.50,21.40,70.60,0,0,0.0,"
            "52.8,-34.3,0.99,23.4,0\n");
}

}  // namespace
}  // namespace stelvo
