#pragma once
// The annual shower of a comet's whole stream: grains released at every perihelion
// passage in a span of years (meteors/ejection.h), each return integrated with the
// planets to the forecast years, and every node crossing there near the Earth's orbit
// gathered into showers (meteors/shower_summary.h), an activity profile against solar
// longitude and its full width at half maximum. Called by stelvo-cli (--stream).
//
// Cost: a return costs its grains times the steps from its passage to the end of the
// forecast years, so the oldest returns dominate. Three things keep it affordable:
// the returns run side by side (oldest first, so that the threads finish together);
// before the last `nearYears` a return may run at a longer step (`farStepDays`) and
// is then restarted at `stepDays` from the states it reached; at that restart, grains
// whose two nodes both lie farther from the Earth's orbit than the capture width plus
// `setAsideAu` are set aside (see StreamSettings). Every return is integrated on its
// own and the crossings are gathered in return order: the same bits for any thread
// count.

#include <functional>
#include <string>
#include <vector>

#include "core/progress.h"
#include "meteors/crossing.h"
#include "meteors/ejection.h"
#include "meteors/shower_summary.h"
#include "meteors/zhr_model.h"

namespace stelvo {

// What one grain stands for in the shower (a mass or a number of meteoroids of its
// size from its return); the stream sums crossings with these weights. Empty: 1.
using GrainWeight = std::function<double(const PerihelionPassage& passage, const Grain& grain)>;

// The trail forecast's weights (meteors/zhr_model.h) for a stream's grains: a grain
// stands for MeteoroidsPerGrain meteoroids of its mass, from the dust its return's
// orbit gives the comet's brightness law (DustMassPerReturnKg within the ejection's
// active distance) shared out by the mass index of the shower's population index
// over the ejection's grain sizes and `perReturn` model grains. Pair it with
// StreamSettings::visibleOnly, as the forecast does.
GrainWeight MeteoroidWeights(int perReturn, const EjectionSettings& ejection,
                             const CometActivity& activity, double populationIndex);

struct StreamSettings {
  int cometIndex = 0;
  int releaseFrom = 0, releaseTo = 0;    // years of the releasing perihelion passages, inclusive
  int forecastFrom = 0, forecastTo = 0;  // years whose crossings make the shower, inclusive
  int perReturn = 2000;                  // grains released per return, 1..19990
  EjectionSettings ejection;
  GrainWeight weight;
  // With a weight: a crossing counts (keeps its weight) only when its grain's mass
  // reaches that of a +6.5 meteor at the crossing's geocentric speed
  // (MassOfLimitingMeteorKg), as in the trail forecast; the others weigh 0. A
  // crossing of weight 0 stays among the crossings but makes no shower.
  bool visibleOnly = false;
  // The comet's published orbit solutions (initial/comet_solutions.h): each return
  // is released from the passage PassagesBySolution integrates from the solution
  // nearest it (the MPC elements for a comet without one). Null: the built-in ones.
  // Not owned; must outlive the run.
  const std::vector<OrbitSolution>* solutions = nullptr;
  // The step of the last nearYears before the forecast years and in them (days),
  // and the step before that. Equal steps and setAsideAu 0: one run per return.
  double stepDays = 1;
  double farStepDays = 1;
  int nearYears = 100;
  // Set-aside test, at the start of the near part: a grain whose osculating orbit
  // (about the Sun weakened by its beta) has both nodes farther than
  // captureAu + setAsideAu from the Earth's orbit (0.983..1.017 AU) is no longer
  // integrated, nor is one no longer bound to the Sun. setAsideAu bounds how far the
  // planets move a node in nearYears (StreamResult::largestNodeShiftAu measures it
  // on the grains kept); 0 keeps every grain.
  double setAsideAu = 0;
  double captureAu = 0.05;    // a crossing this close to the Earth's orbit is in a shower
  double encounterAu = 0.01;  // ... and one this close to the Earth an encounter
  double profileBinDeg = 1;   // activity profile bins of solar longitude
  int minShowerCount = kDefaultMinShowerCount;
  int threads = 2;  // returns integrated side by side
};

struct StreamReturn {
  int year;
  double perihelionJd;
  int grains;    // released and bound
  int setAside;  // of them, set aside at the near part's start
  long long steps;
  std::string solution = {};  // the orbit solution the passage was integrated from
};

// The peak of an activity profile and where it falls to half on either side, linear
// between bin centres (degrees of solar longitude).
struct ProfilePeak {
  double lambda;   // centre of the profile's highest bin in the stretch searched
  double rate;     // the profile there
  double fwhmDeg;  // highDeg - lowDeg
  double lowDeg, highDeg;  // the half-maximum edges, unwrapped about lambda
};

// One shower of the stream with its activity profile's peak.
struct StreamShower {
  Shower shower;
  ProfilePeak peak;
};

struct StreamTimings {
  double passages = 0, epochs = 0, release = 0, startup = 0, steps = 0, crossings = 0,
         gathering = 0;
  long long grainSteps = 0;  // grains times steps, summed over returns and parts
};

struct StreamResult {
  std::vector<StreamReturn> returns;
  // The captured crossings (|dr| below the capture width) of the forecast years in
  // return order, then time, each with its grain's weight; particle numbers count on
  // through the returns; tDays are days since the forecast years' start
  // (forecastStartJD).
  std::vector<Crossing> crossings;
  double forecastStartJD = 0;
  long long crossingCount = 0;  // every crossing of the forecast years
  std::vector<StreamShower> showers;
  // Weighted captured crossings per year and degree of solar longitude, bin k
  // covering [k, k + 1) * profileBinDeg. With MeteoroidWeights and visibleOnly: the
  // meteoroids able to give a meteor of +6.5 or brighter whose node lies within
  // captureAu of the Earth's orbit, per year and degree of solar longitude.
  std::vector<double> profile;
  double profileBinDeg = 1;
  // The largest change of a captured grain's node distance between the near part's
  // start and its crossing: what setAsideAu must exceed.
  double largestNodeShiftAu = 0;
  bool cancelled = false;
  StreamTimings timings;
};

struct StreamStatus {
  double fraction = 0;
  int returnsFinished = 0;
  int returnCount = 0;
  double reachedJD = 0;  // the slowest running return's date; NaN before any stepped
};

// Weighs the settings' grains as the trail forecast does: MeteoroidWeights from the
// comet's activity and its shower's population index, visible meteoroids only. The
// window and stelvo-cli both call it, so that their streams agree.
void WeighByVisibleMeteoroids(StreamSettings& settings);

// Called on the caller's thread with 0 before the returns run, every 0.2 s, and 1
// at the end; false cancels (the result is then marked cancelled and empty).
using StreamProgress = std::function<bool(const StreamStatus& status)>;

// The hook reporting into a Progress: "return N of M" before the forecast years,
// "forecast YEAR" in them; false once a cancel was requested.
StreamProgress ReportInto(Progress& progress, const StreamSettings& settings);

// Throws RunError for settings outside their ranges or a span without a perihelion
// passage, ArithmeticError from a run.
StreamResult RunStream(const StreamSettings& settings, const StreamProgress& progress = {});

// The profile's peak nearest lambdaDeg within searchDeg of it (degrees; bins wrap at
// 360); rate and width 0 for an empty stretch.
ProfilePeak PeakOfProfile(const std::vector<double>& profile, double binDeg, double lambdaDeg,
                          double searchDeg);

}  // namespace stelvo
