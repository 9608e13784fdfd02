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

// Looks between two points of a run, `slot` and `slot` + 1 (the later in the run's
// direction, at afterJD), for a perihelion passage inside [fromJD, toJD].
void Look(const ParticleRun& run, int slot, double afterJD, double h, double fromJD, double toJD,
          std::vector<PerihelionPassage>& out) {
  const StateVector before = run.Heliocentric(kCometRow, slot);
  const StateVector after = run.Heliocentric(kCometRow, slot + 1);
  // In forward time the radial speed goes from negative to positive at perihelion.
  const double earlier = h > 0 ? RadialSpeed(before) : RadialSpeed(after);
  const double later = h > 0 ? RadialSpeed(after) : RadialSpeed(before);
  if (earlier < 0 && later >= 0) {
    const double jd = afterJD + DaysToPerihelion(after, SunGM());
    if (jd >= fromJD && jd <= toJD) {
      out.push_back({jd, PropagateTwoBody(after, SunGM(), jd - afterJD)});
    }
  }
}

// Runs from the epoch towards endJD and collects the passages inside [fromJD, toJD].
// The start-up's own points from the epoch to slot 4 are looked at first: a passage
// within four steps of the epoch (a comet whose elements osculate at perihelion) lies
// there. Run forward and back, the two directions share only the epoch's point, and
// of a passage exactly there the sign of the radial speed gives it to one of them.
void Collect(const CometOrbit& orbit, const MassiveStates& bodies, double endJD, double stepDays,
             double fromJD, double toJD, std::vector<PerihelionPassage>& out) {
  const double epochJD = orbit.epochJD;
  if (endJD == epochJD) return;
  const double h = endJD > epochJD ? std::fabs(stepDays) : -std::fabs(stepDays);
  ParticleRun run;
  const std::array<StateVector, 1> particles{orbit.helio};
  const std::array<NonGravParams, 1> nonGrav{orbit.nonGrav};
  run.Begin(epochJD, bodies, particles, {}, h, nonGrav);
  for (int slot = 0; slot < 4; ++slot) {
    Look(run, slot, epochJD + (slot + 1) * h, h, fromJD, toJD, out);
  }
  while ((h > 0 && run.AcceptedJD() < endJD) || (h < 0 && run.AcceptedJD() > endJD)) {
    run.Step();
    Look(run, 4, run.NewJD(), h, fromJD, toJD, out);
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

CometOrbit OrbitOf(const OrbitSolution& solution) {
  return {solution.epochJD, SolutionStateAtEpoch(solution), solution.nonGrav};
}

std::vector<PerihelionPassage> PerihelionPassages(int cometIndex, double fromJD, double toJD,
                                                  double stepDays) {
  const CometOrbit orbit{CometEpochJD(cometIndex), CometStateAtEpoch(cometIndex), {}};
  return PerihelionPassages(orbit, fromJD, toJD, stepDays);
}

std::vector<PerihelionPassage> PerihelionPassages(const CometOrbit& orbit, double fromJD,
                                                  double toJD, double stepDays) {
  CheckEpoch(fromJD);
  CheckEpoch(toJD);
  if (!(fromJD <= toJD)) throw RunError("The span of perihelion passages is empty");
  const double epochJD = orbit.epochJD;
  CheckEpoch(epochJD);
  const MassiveStates bodies = MassiveBodiesAt(epochJD);
  std::vector<PerihelionPassage> out;
  // A little beyond the span, so that a passage at its very edge is seen.
  if (fromJD < epochJD) {
    Collect(orbit, bodies, std::max(fromJD - 2 * stepDays, kEarliestEpochJD), stepDays, fromJD,
            toJD, out);
  }
  if (toJD > epochJD) {
    Collect(orbit, bodies, std::min(toJD + 2 * stepDays, kLatestEpochJD - 1), stepDays, fromJD,
            toJD, out);
  }
  std::sort(out.begin(), out.end(),
            [](const PerihelionPassage& a, const PerihelionPassage& b) { return a.jd < b.jd; });
  return out;
}

}  // namespace stelvo
