#pragma once
// Fitting a comet's non-gravitational parameters to its recorded perihelion passages:
// A2 (and A1 where the passages carry it) with the perihelion time of a published
// solution, by weighted least squares (Levenberg-Marquardt) on integrated passages,
// the partial derivatives from orbits with one parameter nudged, run in the same run
// as the nominal orbit. Called by stelvo-cli --fit-passages.

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "initial/comet_solutions.h"

namespace stelvo {

// A fit that cannot be made from the data given (too few passages, a passage outside
// the run's years, no solution to start from): one line for the user.
class PassageFitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Weights: PassageSigmaDays (initial/comet_solutions.h).
// A1 is fitted only with at least this many passages known better than a day: from
// dates alone the radial term is not determined (it barely changes the period).
inline constexpr int kPreciseForA1 = 4;

struct FittedValue {
  std::string name;  // "T", "A1", "A2"
  double value = 0;  // T: the perihelion time (JD); A: AU/day^2
  double sigma = 0;  // one standard deviation, from the covariance
};

struct PassageResidual {
  RecordedPassage recorded;
  double computedJD = 0;
  double residualDays = 0;  // recorded - computed
};

struct PassageFit {
  OrbitSolution start;   // the published solution the fit began from
  OrbitSolution fitted;  // the fit at the start's epoch (the first pass, arc by arc)
  // The fitted orbit as a row of the solutions file (--save-solution): the first pass
  // carried with the planets and its non-gravitational force to the point of its run
  // nearest the computed return closest to the middle of the passages, osculating
  // there, and fitted again from there over the whole arc, so that the solution
  // nearest in time is this one for the old returns (the published one for the
  // modern) and gives the passages below. values, residuals and rms are this row's.
  OrbitSolution row;
  std::vector<FittedValue> values;
  std::vector<PassageResidual> residuals;  // in time order
  double rmsDays = 0;                      // weighted, in units of each row's sigma times 1 d
  int iterations = 0;
  bool converged = false;
};

struct PassageFitSettings {
  double stepDays = 1;
  // Integrations (trial steps) of the last stage, the whole arc.
  int maxIterations = 30;
};

// Fits the comet (matched by designation) to its usable rows of `history`, starting
// from its usable solution nearest the latest of them. Throws PassageFitError for
// fewer than three passages, a passage outside the run's years or no solution;
// RunError/ArithmeticError like any run.
PassageFit FitPassages(std::string_view comet, std::span<const OrbitSolution> solutions,
                       std::span<const RecordedPassage> history,
                       const PassageFitSettings& settings = {});

}  // namespace stelvo
