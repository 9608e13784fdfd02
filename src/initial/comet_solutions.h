#pragma once
// Published orbit solutions of comets (osculating elements at an epoch with their
// non-gravitational parameters), recorded perihelion passages and recorded release
// events (break-ups, outbursts), parsed and checked from CSV text: the files built in
// from src/data (see its README.md) or a file the user gives. Called by the comet's
// integration through time, the passage fit and the trail release
// (meteors/comet_passages.h, meteors/passage_fit.h, meteors/forecast.h).

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/nongrav.h"
#include "initial/orbit.h"

namespace stelvo {

// A fault in a data file: the message names the file's line, the comet and the field.
class CometDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Osculating heliocentric elements, ecliptic and equinox J2000.
struct SolutionElements {
  double q = 0;  // AU
  double e = 0;
  double inclDeg = 0, nodeDeg = 0, periDeg = 0;
  double tpJD = 0;  // perihelion time of the osculating orbit (not the real passage when far
                    // from the epoch)
};

struct OrbitSolution {
  std::string comet;   // as in the file, e.g. "55P/Tempel-Tuttle"
  std::string name;    // the solution's own description
  std::string source;  // where it was read
  double epochJD = 0;
  SolutionElements elements;
  NonGravParams nonGrav;  // AU/day^2 and days
  // False for a row that must not be integrated back in time; note says why.
  bool usableForHistory = true;
  std::string note;  // the reason, or what the parser converted
  int line = 0;      // line of the file (the header is line 1)
};

// One perihelion passage of the history file.
struct RecordedPassage {
  std::string comet;
  double jdTT = 0;        // the file's time converted to TT (= the run's time)
  bool dayLevel = false;  // a date only, or a time scale not stated: good to a day at best
  std::string timeScale;  // as given
  std::string source;
  // False for a prediction, a time left out of its own fit, or a JPL osculating TP that
  // is not a perihelion instant: none of them is a passage to fit or check against.
  bool usable = true;
  std::string note;
  int line = 0;
};

// How well a passage's time is known: a row known to the day counts as sigma 1 d,
// any other as 0.01 d (the passage fit's weights).
inline constexpr double kDayLevelSigmaDays = 1.0;
inline constexpr double kPreciseSigmaDays = 0.01;
inline double PassageSigmaDays(const RecordedPassage& p) {
  return p.dayLevel ? kDayLevelSigmaDays : kPreciseSigmaDays;
}

// A break-up or outburst of a comet at one perihelion passage: the trail of that
// passage leaves faster than the steady release, by speedFactor on the speed law's
// speed, and at jdTT when the event gives its date (else over the active arc by the
// release rule, as a steady trail). The comet shone brighteningMag magnitudes above
// its usual magnitude law that apparition, so the trail carries that much more dust.
struct ReleaseEvent {
  std::string comet;
  int passageYear = 0;  // calendar year of the perihelion passage it belongs to
  std::string kind;     // "break-up" or "outburst"
  double speedFactor = 1;
  double brighteningMag = 0;
  std::optional<double> jdTT;  // the event's instant, TT (a date to the day at best)
  std::string source;          // the published factor and where it was read
  std::string note;
  int line = 0;
};

// Throw CometDataError for a missing or unknown column, a missing or malformed field,
// inconsistent fields (A values without units, a calendar date that is not the JD)
// or a value out of range.
std::vector<OrbitSolution> ParseOrbitSolutions(std::string_view text);
std::vector<RecordedPassage> ParsePerihelionHistory(std::string_view text);
// Also for two events of one passage (a trail takes one) and a date outside the
// passage's year +-1.
std::vector<ReleaseEvent> ParseReleaseEvents(std::string_view text);

// The shipped files, parsed once (a test checks they parse clean).
const std::vector<OrbitSolution>& BuiltInOrbitSolutions();
const std::vector<RecordedPassage>& BuiltInPerihelionHistory();
const std::vector<ReleaseEvent>& BuiltInReleaseEvents();

// For listings: "break-up, speed x4, 7 mag brighter (release_events.csv line 2)".
std::string ReleaseEventLabel(const ReleaseEvent& event);

// The event of the comet's (matched by designation) passage in passageYear, or none.
std::optional<ReleaseEvent> EventOfPassage(std::span<const ReleaseEvent> events,
                                           std::string_view comet, int passageYear);

// One CSV line (no line end) of the solutions file for a solution: A values in AU/d^2,
// angles J2000, quoted where needed; ParseOrbitSolutions reads it back.
std::string SolutionRow(const OrbitSolution& solution);

// A solution's short name for listings: its description up to the first " (",
// e.g. "IMCCE note 0160" or "IMCCE note 0013, 2012 solution".
std::string SolutionLabel(const OrbitSolution& solution);

// The designation before the name: "55P" of "55P/Tempel-Tuttle".
std::string_view CometDesignation(std::string_view comet);

// The usable solution of the comet (matched by designation) whose epoch lies
// nearest jd; the first in file order on a tie; nullptr when there is none.
const OrbitSolution* NearestSolution(std::span<const OrbitSolution> solutions,
                                     std::string_view comet, double jd);

// Heliocentric ecliptic J2000 state at the solution's epoch, by two-body motion about
// the Sun (k^2) from its osculating elements.
StateVector SolutionStateAtEpoch(const OrbitSolution& solution);

// Reduces ecliptic elements (degrees) from equinox B1950 (FK4) to J2000 (FK5):
// Meeus, Astronomical Algorithms (2nd ed. 1998), ch. 24.
void ReduceB1950ToJ2000(double& inclDeg, double& nodeDeg, double& periDeg);

}  // namespace stelvo
