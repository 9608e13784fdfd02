#include "meteors/comet_passages.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/run_error.h"
#include "data/comet_epochs.h"
#include "initial/astronom.h"
#include "initial/constants.h"
#include "initial/planets.h"
#include "meteors/two_body.h"
#include "run/epoch_state.h"
#include "run/particle_run.h"

namespace stelvo {

namespace {

constexpr int kCometRow = kMassiveCount;

const CometEpochElements& EpochRow(int cometIndex) {
  if (cometIndex < 0 || cometIndex >= kCometCount) {
    throw RunError("The comet index must lie between 0 and 587");
  }
  return kCometEpochs[cometIndex];
}

double SunGM() { return kMassiveBodies[0].gm; }

double RadialSpeed(const StateVector& s) { return s.x * s.vx + s.y * s.vy + s.z * s.vz; }

// Runs from the epoch towards endJD and collects the passages inside [fromJD, toJD].
void Collect(double epochJD, const MassiveStates& bodies, const StateVector& comet, double endJD,
             double stepDays, double fromJD, double toJD, std::vector<PerihelionPassage>& out) {
  if (endJD == epochJD) return;
  const double h = endJD > epochJD ? std::fabs(stepDays) : -std::fabs(stepDays);
  ParticleRun run;
  const std::array<StateVector, 1> particles{comet};
  run.Begin(epochJD, bodies, particles, {}, h);
  while ((h > 0 && run.AcceptedJD() < endJD) || (h < 0 && run.AcceptedJD() > endJD)) {
    run.Step();
    const StateVector before = run.Heliocentric(kCometRow, kAcceptedSlot);
    const StateVector after = run.Heliocentric(kCometRow, kNewSlot);
    // In forward time the radial speed goes from negative to positive at perihelion.
    const double earlier = h > 0 ? RadialSpeed(before) : RadialSpeed(after);
    const double later = h > 0 ? RadialSpeed(after) : RadialSpeed(before);
    if (earlier < 0 && later >= 0) {
      const StateVector& near = after;
      const double jd = run.NewJD() + DaysToPerihelion(near, SunGM());
      if (jd >= fromJD && jd <= toJD) {
        out.push_back({jd, PropagateTwoBody(near, SunGM(), jd - run.NewJD())});
      }
    }
    run.FinishPass();
  }
}

}  // namespace

double CometEpochJD(int cometIndex) {
  const CometEpochElements& e = EpochRow(cometIndex);
  return JulianDate(e.epochYear, e.epochMonth, 0, e.epochDay * 24, 0, 0);
}

StateVector CometStateAtEpoch(int cometIndex) {
  const CometEpochElements& e = EpochRow(cometIndex);
  const double periJD = JulianDate(e.periYear, e.periMonth, 0, e.periDay * 24, 0, 0);
  OsculatingElements el{};
  el.ecc = e.ecc;
  el.a = e.q / (1 - e.ecc);
  el.incl = e.inclDeg * kDegToRad;
  el.node = e.nodeDeg * kDegToRad;
  el.argPeri = e.argPeriDeg * kDegToRad;
  el.meanMotion = std::sqrt(SunGM() / (el.a * el.a * el.a));
  const double sinceperi = CometEpochJD(cometIndex) - periJD;
  el.meanAnomaly = std::remainder(el.meanMotion * sinceperi, kTwoPi);
  return ElementsToStateMu(el, SunGM());
}

std::vector<PerihelionPassage> PerihelionPassages(int cometIndex, double fromJD, double toJD,
                                                  double stepDays) {
  CheckEpoch(fromJD);
  CheckEpoch(toJD);
  if (!(fromJD <= toJD)) throw RunError("The span of perihelion passages is empty");
  const double epochJD = CometEpochJD(cometIndex);
  CheckEpoch(epochJD);
  const MassiveStates bodies = MassiveBodiesAt(epochJD);
  const StateVector comet = CometStateAtEpoch(cometIndex);
  std::vector<PerihelionPassage> out;
  // A little beyond the span, so that a passage at its very edge is seen.
  if (fromJD < epochJD) {
    Collect(epochJD, bodies, comet, std::max(fromJD - 2 * stepDays, kEarliestEpochJD), stepDays,
            fromJD, toJD, out);
  }
  if (toJD > epochJD) {
    Collect(epochJD, bodies, comet, std::min(toJD + 2 * stepDays, kLatestEpochJD - 1), stepDays,
            fromJD, toJD, out);
  }
  std::sort(out.begin(), out.end(),
            [](const PerihelionPassage& a, const PerihelionPassage& b) { return a.jd < b.jd; });
  return out;
}

}  // namespace stelvo
