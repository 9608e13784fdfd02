#include "meteors/comet_passages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>

#include "core/run_error.h"
#include "data/comet_catalogue.h"
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
// direction, at afterJD), for a perihelion passage of array row `row` inside [fromJD, toJD].
void Look(const ParticleRun& run, int row, int slot, double afterJD, double h, double fromJD,
          double toJD, std::vector<PerihelionPassage>& out) {
  const StateVector before = run.Heliocentric(row, slot);
  const StateVector after = run.Heliocentric(row, slot + 1);
  // In forward time the radial speed goes from negative to positive at perihelion.
  const double earlier = h > 0 ? RadialSpeed(before) : RadialSpeed(after);
  const double later = h > 0 ? RadialSpeed(after) : RadialSpeed(before);
  if (earlier < 0 && later >= 0) {
    const double jd = afterJD + DaysToPerihelion(after, SunGM());
    if (jd >= fromJD && jd <= toJD) {
      out.push_back({jd, PropagateTwoBody(after, SunGM(), jd - afterJD), {}});
    }
  }
}

// Runs the orbits (one epoch) together from the epoch towards endJD and collects each
// one's passages inside [fromJD, toJD]. The start-up's own points from the epoch to
// slot 4 are looked at first: a passage within four steps of the epoch (a comet whose
// elements osculate at perihelion) lies there. Run forward and back, the two directions
// share only the epoch's point, and of a passage exactly there the sign of the radial
// speed gives it to one of them.
void Collect(std::span<const CometOrbit> orbits, const MassiveStates& bodies, double endJD,
             double stepDays, double fromJD, double toJD,
             std::vector<std::vector<PerihelionPassage>>& out) {
  const double epochJD = orbits[0].epochJD;
  if (endJD == epochJD) return;
  const double h = endJD > epochJD ? std::fabs(stepDays) : -std::fabs(stepDays);
  std::vector<StateVector> particles;
  std::vector<NonGravParams> nonGrav;
  for (const CometOrbit& o : orbits) {
    particles.push_back(o.helio);
    nonGrav.push_back(o.nonGrav);
  }
  ParticleRun run;
  run.Begin(epochJD, bodies, particles, {}, h, nonGrav);
  const int count = static_cast<int>(orbits.size());
  for (int slot = 0; slot < kAcceptedSlot; ++slot) {
    for (int k = 0; k < count; ++k) {
      Look(run, kCometRow + k, slot, epochJD + (slot + 1) * h, h, fromJD, toJD, out[k]);
    }
  }
  while ((h > 0 && run.AcceptedJD() < endJD) || (h < 0 && run.AcceptedJD() > endJD)) {
    run.Step();
    for (int k = 0; k < count; ++k) {
      Look(run, kCometRow + k, kAcceptedSlot, run.NewJD(), h, fromJD, toJD, out[k]);
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

CometOrbit OrbitOf(const OrbitSolution& solution) {
  return {solution.epochJD, SolutionStateAtEpoch(solution), solution.nonGrav};
}

std::vector<PerihelionPassage> PerihelionPassages(int cometIndex, double fromJD, double toJD,
                                                  double stepDays) {
  const CometOrbit orbit{CometEpochJD(cometIndex), CometStateAtEpoch(cometIndex), {}};
  return PerihelionPassages(orbit, fromJD, toJD, stepDays);
}

std::string_view CometName(int cometIndex) {
  EpochRow(cometIndex);  // checks the index
  // The name starts at column 101 (tools/README.md).
  return kCometCatalogue[cometIndex].substr(100);
}

std::string MpcElementsLabel(int cometIndex) {
  const CometEpochElements& e = EpochRow(cometIndex);
  char text[64];
  std::snprintf(text, sizeof text, "MPC elements, epoch %04d-%02d-%02.0f", e.epochYear,
                e.epochMonth, std::floor(e.epochDay));
  return text;
}

std::vector<PerihelionPassage> PassagesBySolution(int cometIndex, double fromJD, double toJD,
                                                  std::span<const OrbitSolution> all,
                                                  double stepDays) {
  const std::string_view name = CometName(cometIndex);
  std::vector<const OrbitSolution*> own;
  for (const OrbitSolution& s : all) {
    if (s.usableForHistory && CometDesignation(s.comet) == CometDesignation(name)) {
      own.push_back(&s);
    }
  }
  if (own.empty()) {
    std::vector<PerihelionPassage> out = PerihelionPassages(cometIndex, fromJD, toJD, stepDays);
    for (PerihelionPassage& p : out) p.solution = MpcElementsLabel(cometIndex);
    return out;
  }
  CheckEpoch(fromJD);
  CheckEpoch(toJD);
  if (!(fromJD <= toJD)) throw RunError("The span of perihelion passages is empty");
  std::stable_sort(own.begin(), own.end(), [](const OrbitSolution* a, const OrbitSolution* b) {
    return a->epochJD < b->epochJD;
  });
  // Each solution covers the times nearer its epoch than any other's, widened by half a
  // revolution on either side so that every return is computed by its nearest solution
  // at least; of the same return computed by several, the one nearest its solution's
  // epoch stays.
  struct Candidate {
    PerihelionPassage passage;
    double distance;  // days from its solution's epoch
  };
  std::vector<Candidate> candidates;
  double shortestHalf = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < own.size(); ++k) {
    const OrbitSolution& s = *own[k];
    const double a = s.elements.q / (1 - s.elements.e);
    const double half = 0.5 * 365.25 * a * std::sqrt(a);
    shortestHalf = std::min(shortestHalf, half);
    const double lo = k == 0 ? fromJD : 0.5 * (own[k - 1]->epochJD + s.epochJD);
    const double hi = k + 1 == own.size() ? toJD : 0.5 * (s.epochJD + own[k + 1]->epochJD);
    const double spanFrom = std::max({lo - half, fromJD, kEarliestEpochJD});
    const double spanTo = std::min({hi + half, toJD, kLatestEpochJD - 1});
    if (spanFrom > spanTo) continue;
    for (PerihelionPassage& p : PerihelionPassages(OrbitOf(s), spanFrom, spanTo, stepDays)) {
      const double distance = std::fabs(p.jd - s.epochJD);
      p.solution = SolutionLabel(s);
      candidates.push_back({std::move(p), distance});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.passage.jd < b.passage.jd; });
  std::vector<PerihelionPassage> out;
  for (std::size_t k = 0; k < candidates.size();) {
    std::size_t best = k, end = k + 1;
    while (end < candidates.size() &&
           candidates[end].passage.jd - candidates[k].passage.jd < 0.5 * shortestHalf) {
      if (candidates[end].distance < candidates[best].distance) best = end;
      ++end;
    }
    out.push_back(std::move(candidates[best].passage));
    k = end;
  }
  return out;
}

std::vector<PerihelionPassage> PerihelionPassages(const CometOrbit& orbit, double fromJD,
                                                  double toJD, double stepDays) {
  return PerihelionPassagesTogether(std::span(&orbit, 1), fromJD, toJD, stepDays)[0];
}

CometOrbit CarriedOrbit(const CometOrbit& orbit, double nearJD, double stepDays) {
  CheckEpoch(orbit.epochJD);
  CheckEpoch(nearJD);
  const double h = nearJD >= orbit.epochJD ? std::fabs(stepDays) : -std::fabs(stepDays);
  const long long steps = std::llround((nearJD - orbit.epochJD) / h);
  CometOrbit out = orbit;
  if (steps == 0) return out;
  ParticleRun run;
  run.Begin(orbit.epochJD, MassiveBodiesAt(orbit.epochJD), std::span(&orbit.helio, 1), {}, h,
            std::span(&orbit.nonGrav, 1));
  // The start-up's points are slots 0..kAcceptedSlot; after that each pass moves the
  // accepted point one step on.
  int slot = kAcceptedSlot;
  if (steps < kAcceptedSlot) {
    slot = static_cast<int>(steps);
  } else {
    for (long long k = kAcceptedSlot; k < steps; ++k) {
      run.Step();
      run.FinishPass();
    }
  }
  out.epochJD = orbit.epochJD + static_cast<double>(steps) * h;
  out.helio = run.Heliocentric(kCometRow, slot);
  return out;
}

std::vector<std::vector<PerihelionPassage>> PerihelionPassagesTogether(
    std::span<const CometOrbit> orbits, double fromJD, double toJD, double stepDays) {
  if (orbits.empty()) return {};
  CheckEpoch(fromJD);
  CheckEpoch(toJD);
  if (!(fromJD <= toJD)) throw RunError("The span of perihelion passages is empty");
  const double epochJD = orbits[0].epochJD;
  for (const CometOrbit& o : orbits) {
    if (o.epochJD != epochJD) throw RunError("Orbits run together share their epoch");
  }
  CheckEpoch(epochJD);
  const MassiveStates bodies = MassiveBodiesAt(epochJD);
  std::vector<std::vector<PerihelionPassage>> out(orbits.size());
  // A little beyond the span, so that a passage at its very edge is seen.
  if (fromJD < epochJD) {
    Collect(orbits, bodies, std::max(fromJD - 2 * stepDays, kEarliestEpochJD), stepDays, fromJD,
            toJD, out);
  }
  if (toJD > epochJD) {
    Collect(orbits, bodies, std::min(toJD + 2 * stepDays, kLatestEpochJD - 1), stepDays, fromJD,
            toJD, out);
  }
  for (std::vector<PerihelionPassage>& passages : out) {
    std::sort(passages.begin(), passages.end(),
              [](const PerihelionPassage& a, const PerihelionPassage& b) { return a.jd < b.jd; });
  }
  return out;
}

}  // namespace stelvo
