#include "meteors/passage_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "meteors/comet_passages.h"
#include "initial/astronom.h"
#include "run/epoch_state.h"

namespace stelvo {
namespace {

// 2P/Encke's JPL solution (NASA NEC table, epoch 2014) with the values planted.
OrbitSolution Encke() {
  for (const OrbitSolution& s : BuiltInOrbitSolutions()) {
    if (s.comet == "2P/Encke" && s.usableForHistory) return s;
  }
  throw std::out_of_range("2P");
}

std::vector<RecordedPassage> Synthetic(const OrbitSolution& planted, double fromJD, double toJD) {
  std::vector<RecordedPassage> out;
  for (const PerihelionPassage& p : PerihelionPassages(OrbitOf(planted), fromJD, toJD)) {
    RecordedPassage r;
    r.comet = planted.comet;
    r.jdTT = p.jd;
    r.line = static_cast<int>(out.size()) + 2;
    out.push_back(r);
  }
  return out;
}

TEST(PassageFit, RecoversAPlantedA2AndPerihelionTime) {
  OrbitSolution planted = Encke();
  planted.nonGrav.a2 = -2e-10;  // forty times the published value
  const std::vector<RecordedPassage> history =
      Synthetic(planted, JulianDate(1960, 1, 1, 0, 0, 0), JulianDate(2014, 1, 1, 0, 0, 0));
  ASSERT_GE(history.size(), 15u);
  OrbitSolution start = Encke();
  start.elements.tpJD += 0.05;
  const PassageFit fit = FitPassages("2P/Encke", std::vector{start}, history);
  EXPECT_TRUE(fit.converged);
  ASSERT_EQ(fit.values.size(), 3u);  // T, A2 and, with this many exact passages, A1
  EXPECT_NEAR(fit.fitted.nonGrav.a2, planted.nonGrav.a2, 2e-3 * 2e-10);
  EXPECT_NEAR(fit.fitted.nonGrav.a1, planted.nonGrav.a1, 0.05 * planted.nonGrav.a1);
  EXPECT_NEAR(fit.fitted.elements.tpJD, planted.elements.tpJD, 1e-3);
  EXPECT_LT(fit.rmsDays, 1e-3);
  // The row saved is osculating at the return nearest the middle, reads back as it was
  // and, integrated from there, gives the fit's passages again.
  const std::vector<OrbitSolution> back = ParseOrbitSolutions(
      std::string("comet,solution,epoch_jd,A1,A2,A3,units,q,e,i,node,peri,tp_jd,source\n") +
      SolutionRow(fit.row) + "\n");
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].nonGrav.a2, fit.row.nonGrav.a2);
  EXPECT_NEAR(fit.row.nonGrav.a2, planted.nonGrav.a2, 2e-3 * 2e-10);
  EXPECT_EQ(back[0].elements.tpJD, fit.row.elements.tpJD);
  EXPECT_LT(std::fabs(back[0].epochJD - JulianDate(1987, 1, 1, 0, 0, 0)), 1000);
  EXPECT_LT(std::fabs(back[0].elements.tpJD - back[0].epochJD), 1);
  EXPECT_NE(back[0].name.find("fitted to passages 1961..2013 (17 returns"), std::string::npos)
      << back[0].name;
  const std::vector<PerihelionPassage> again =
      PerihelionPassages(OrbitOf(back[0]), history.front().jdTT - 100, history.back().jdTT + 100);
  ASSERT_EQ(again.size(), fit.residuals.size());
  for (std::size_t k = 0; k < again.size(); ++k) {
    EXPECT_NEAR(again[k].jd, fit.residuals[k].computedJD, 1e-3) << k;
  }
}

struct Refusal {
  int passages;
  double firstJD;
  const char* expected;
};
constexpr Refusal kRefusals[] = {
    {2, 2440000.5, "a fit needs at least 3"},
    {4, kEarliestEpochJD - 3000, "outside the years the run reaches"},
};

TEST(PassageFit, RefusesTooFewPassagesAndYearsOutsideTheRun) {
  for (const Refusal& r : kRefusals) {
    std::vector<RecordedPassage> history(r.passages);
    for (int k = 0; k < r.passages; ++k) {
      history[k].comet = "2P/Encke";
      history[k].jdTT = r.firstJD + 1204.0 * k;
    }
    try {
      FitPassages("2P/Encke", std::vector{Encke()}, history);
      ADD_FAILURE() << r.expected;
    } catch (const PassageFitError& e) {
      EXPECT_NE(std::string(e.what()).find(r.expected), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace stelvo
