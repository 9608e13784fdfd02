#pragma once
// A catalogue comet's own orbit through time: from the osculating elements at its
// epoch (data/comet_epochs.h) it is integrated as a massless body with the planets,
// back or forward, and each perihelion passage in a span is reported with the
// comet's heliocentric state there. Called by the trail forecast and stelvo-cli.

#include <span>
#include <string>
#include <vector>

#include "core/nongrav.h"
#include "initial/comet_solutions.h"
#include "initial/orbit.h"

namespace stelvo {

struct PerihelionPassage {
  double jd;          // osculating perihelion time at the passage, the run's time scale
  StateVector helio;  // heliocentric state at jd (AU, AU/day)
  std::string solution = {};  // the orbit it was integrated from (PassagesBySolution)
};

// A comet's orbit to integrate: its heliocentric state (AU, AU/day) at an epoch and
// the non-gravitational force its nucleus feels.
struct CometOrbit {
  double epochJD = 0;
  StateVector helio{};
  NonGravParams nonGrav;
};

// A published solution's orbit (initial/comet_solutions.h).
CometOrbit OrbitOf(const OrbitSolution& solution);

double CometEpochJD(int cometIndex);
// Heliocentric state at the epoch by two-body motion from the elements' perihelion.
StateVector CometStateAtEpoch(int cometIndex);

// Passages with fromJD <= jd <= toJD (within the epoch years, -3000..2999), in time order. The step
// is the run's (default 1 day). Throws RunError for a bad index or span.
std::vector<PerihelionPassage> PerihelionPassages(int cometIndex, double fromJD, double toJD,
                                                  double stepDays = 1);
// The same from an explicit orbit (its epoch within the run's range too).
std::vector<PerihelionPassage> PerihelionPassages(const CometOrbit& orbit, double fromJD,
                                                  double toJD, double stepDays = 1);
// The catalogue comet's passages in [fromJD, toJD], each integrated from the usable
// published solution (initial/comet_solutions.h) whose epoch lies nearest it, or from
// the catalogue's MPC elements when `solutions` has none of the comet; each passage
// names its solution (SolutionLabel). Throws RunError like PerihelionPassages.
std::vector<PerihelionPassage> PassagesBySolution(int cometIndex, double fromJD, double toJD,
                                                  std::span<const OrbitSolution> solutions,
                                                  double stepDays = 1);
// The comet's name in the catalogue, e.g. "55P/Tempel-Tuttle".
std::string_view CometName(int cometIndex);
// What the passages from the catalogue's own elements name as their solution.
std::string MpcElementsLabel(int cometIndex);

// The orbit carried with the planets to the point of its run (steps of stepDays from
// its epoch towards nearJD) nearest nearJD: its state and epoch there, the same
// non-gravitational force. Throws RunError like PerihelionPassages.
CometOrbit CarriedOrbit(const CometOrbit& orbit, double nearJD, double stepDays = 1);

// Several orbits with one epoch in one run (the planets integrated once), each
// orbit's passages in its own list. Throws RunError for orbits of different epochs.
std::vector<std::vector<PerihelionPassage>> PerihelionPassagesTogether(
    std::span<const CometOrbit> orbits, double fromJD, double toJD, double stepDays = 1);

}  // namespace stelvo
