#pragma once
// A catalogue comet's own orbit through time: from the osculating elements at its
// epoch (data/comet_epochs.h) it is integrated as a massless body with the planets,
// back or forward, and each perihelion passage in a span is reported with the
// comet's heliocentric state there. Called by the trail forecast and stelvo-cli.

#include <vector>

#include "core/nongrav.h"
#include "initial/comet_solutions.h"
#include "initial/orbit.h"

namespace stelvo {

struct PerihelionPassage {
  double jd;          // osculating perihelion time at the passage, the run's time scale
  StateVector helio;  // heliocentric state at jd (AU, AU/day)
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

// Passages with fromJD <= jd <= toJD (within 1600..2200), in time order. The step
// is the run's (default 1 day). Throws RunError for a bad index or span.
std::vector<PerihelionPassage> PerihelionPassages(int cometIndex, double fromJD, double toJD,
                                                  double stepDays = 1);
// The same from an explicit orbit (its epoch within the run's range too).
std::vector<PerihelionPassage> PerihelionPassages(const CometOrbit& orbit, double fromJD,
                                                  double toJD, double stepDays = 1);

}  // namespace stelvo
