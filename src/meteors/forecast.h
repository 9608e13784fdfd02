#pragma once
// Outburst forecasts from dust trails: a trail is released at each perihelion
// passage of a catalogue comet in a span of years (meteors/ejection.h), integrated
// with the planets to the forecast years, and every year in which the Earth passes
// close to a trail's nodes gives an encounter with its time to the minute, solar
// longitude, miss distance, particle count and radiant. Called by stelvo-cli
// (--trails, --forecast) and the shower window's forecast view.
//
// Three jobs, each callable on its own: PlanForecast (the comet's passages and one
// TrailTask per trail), TrailRunner::Run (one trail integrated alone: the unit that
// threads here, or processes elsewhere, share out) and CollectEncounters (the
// trails' nodes grouped into encounters). RunForecast does all three, the trails
// side by side on threads; running the tasks one by one gives the same bits.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/progress.h"
#include "initial/comet_solutions.h"
#include "meteors/crossing_detector.h"
#include "meteors/ejection.h"
#include "meteors/site_sky.h"
#include "meteors/zhr_model.h"
#include "run/epoch_state.h"
#include "run/particle_run.h"

namespace stelvo {

// The years a forecast may search and release trails in, inclusive: the trails run
// on into the year after the last one searched, which must still be a run's year.
inline constexpr int kFirstForecastYear = kFirstEpochYear;
inline constexpr int kLastForecastYear = kLastEpochYear - 1;

// One trail meeting the Earth in one year: a row of the forecast table.
struct TrailEncounter {
  int trailYear;     // year of the perihelion passage that released the trail
  int forecastYear;  // year of the encounter
  double peakJd;     // the Earth's passage of the trail, the run's time scale (about a minute ahead of UTC)
  double lambdaSun;  // solar longitude at the peak, degrees, J2000 ecliptic
  double missAu;     // rD - rE of the trail section the Earth meets (meteors/trail_passage.h)
  int particles;     // trail particles near the Earth (see ForecastSettings)
  double raDeg, decDeg, vgKmS;  // geocentric radiant, equatorial J2000, and speed
  // Strength (meteors/zhr_model.h): ZHR at the profile's maximum and its bootstrap
  // sigma, the profile's full width at half maximum, the standard errors of the peak
  // time and of the miss distance.
  double zhr = 0, zhrSigma = 0;
  double fwhmMin = 0;
  double peakSigmaMin = 0;
  double missSigmaAu = 0;
  std::vector<EncounterNode> nodes{};  // the grains near the Earth, for the trail picture
  std::vector<ProfilePoint> profile{};
  SiteView site{};  // at the peak from an observing site, once ViewEncountersFrom filled it
};

// Grains per trail by default: the most a run holds. The 1999 Leonid peak from the
// 1899 trail then has a standard error of about 5 minutes and moves by less than
// that from 15,000 grains on (README, "Dust trails and outburst forecasts", item 6).
inline constexpr int kDefaultGrainsPerTrail = kMaxParticles;

struct TrailInfo {
  int year;
  double perihelionJd;
  int grains;            // released and bound
  std::string solution;  // the orbit solution the comet's passage was integrated from
  std::string event;     // the recorded release event its grains left by, or empty
};

struct ForecastSettings {
  int cometIndex = 0;
  int trailFrom = 0, trailTo = 0;        // years of the trails' perihelion passages, inclusive
  int forecastFrom = 0, forecastTo = 0;  // years searched for encounters, inclusive
  int perTrail = kDefaultGrainsPerTrail;  // grains per trail, 1..kMaxTrailParticles
  double stepDays = 1;
  EjectionSettings ejection;
  // A grain is near the Earth when its node lies within encounterAu of the Earth's
  // orbit (|rD - rE|) and it passes the node within windowDays of the Earth.
  double encounterAu = 0.002;
  double windowDays = 30;
  int threads = 2;  // trails integrated side by side
  // The comet's brightness (dust production) and its shower's population index;
  // the catalogue's and the shower table's when left unset (meteors/zhr_model.h).
  std::optional<CometActivity> activity;
  std::optional<double> populationIndex;
  // The comet's published orbit solutions (initial/comet_solutions.h); null: the
  // built-in ones. Not owned; must outlive the forecast.
  const std::vector<OrbitSolution>* solutions = nullptr;
  // The comets' recorded break-ups and outbursts (initial/comet_solutions.h), each
  // releasing the trail of its passage; null: the built-in ones. Not owned.
  const std::vector<ReleaseEvent>* releaseEvents = nullptr;
};

// Where the time went, in seconds of each thread's own clock, summed over trails.
struct ForecastTimings {
  double passages = 0;    // the comet's own integration to its perihelia
  double epochs = 0;      // the planets integrated from J2000 to each trail's start
  double release = 0;     // the grains' ejection and two-body flight to the start
  double startup = 0;     // the multistep start-up of each trail run
  double steps = 0;       // the regular steps (force evaluations and correctors)
  double crossings = 0;   // the node scan and interpolation in the forecast years
  double encounters = 0;  // grouping the nodes into encounters
  long long trailSteps = 0;
};

struct ForecastResult {
  std::string cometName;       // as the catalogue shows it
  std::string showerName;      // empty where the comet's shower is not known
  double populationIndex = 0;  // used for the ZHR and the hourly rates
  std::vector<TrailInfo> trails;
  std::vector<TrailEncounter> encounters;  // by forecast year, then trail year
  bool cancelled = false;
  ForecastTimings timings;
};

// Where a forecast stands: the share of all trail steps done, how many trails are
// finished, and the earliest date the trails still running have reached (NaN
// before any has stepped; the trails run side by side, each from its own passage).
struct ForecastStatus {
  double fraction = 0;
  int trailsFinished = 0;
  int trailCount = 0;
  double reachedJD = 0;
};

// Called on the caller's thread with fraction 0 before the trails run, then every
// 0.2 s, and with 1 at the end; returning false cancels the forecast (the result
// is then marked cancelled and holds no encounters).
using ForecastProgress = std::function<bool(const ForecastStatus& status)>;

// The hook that reports a forecast with these settings into a Progress: the stage
// reads "trail N of M" while the trails are integrated towards the forecast span and
// "forecast YEAR" once the slowest running trail is inside it, with the date reached;
// false once a cancel was requested.
ForecastProgress ReportInto(Progress& progress, const ForecastSettings& settings);

// A grain's node near the Earth's orbit in the forecast span, as a trail run records it:
// its passage through the J2000 ecliptic.
struct TrailNode {
  double jd;
  double x, y, z;     // heliocentric position at the node, AU
  double vx, vy, vz;  // heliocentric velocity at the node, AU/day
  int particle;       // the grain's number in its trail
};

// The Earth's heliocentric state (its centre, not the Earth-Moon barycentre) at one of
// a trail run's steps.
struct EarthSample {
  double jd;
  StateVector helio;
};

// One trail of a forecast: the passage that releases it, the seed of its grains and
// the steps its run takes to the forecast's end.
struct TrailTask {
  PerihelionPassage passage;
  int year;  // calendar year of the passage
  std::uint64_t seed;
  long long steps;
  std::optional<ReleaseEvent> event = std::nullopt;  // the passage's recorded event
};

struct ForecastPlan {
  ForecastSettings settings;
  double windowStartJD = 0;  // nodes are kept from here on
  double endJD = 0;          // the trail runs end here
  bool spanned = false;      // false when no trail can be released before the window
  std::vector<TrailTask> tasks;  // in passage order
  double passagesSeconds = 0;
};

// What one trail run found: its grains' nodes near the Earth's orbit and the
// Earth's track over the same span.
struct TrailOutcome {
  int grains = 0;
  std::vector<double> grainMassKg;  // per particle, for what each grain stands for
  std::vector<TrailNode> nodes;
  std::vector<EarthSample> earth;
  ForecastTimings timings;
};

// Optional shared counters a trail run reports into while it runs (any may be null).
struct TrailSignals {
  std::atomic<long long>* stepsDone = nullptr;
  std::atomic<double>* reachedJD = nullptr;
  const std::atomic<bool>* cancel = nullptr;  // set: the run returns at its next step
};

// Throws RunError for settings outside their ranges (years kFirstForecastYear..
// kLastForecastYear, trails before the forecast's end); integrates the comet to its
// perihelia.
ForecastPlan PlanForecast(const ForecastSettings& settings);

// Runs one trail task of a plan; keeps its run state and detector from task to task.
class TrailRunner {
 public:
  TrailOutcome Run(const ForecastPlan& plan, const TrailTask& task, const TrailSignals& report = {});

 private:
  void RecordStep(double windowStartJD, TrailOutcome& trail);
  ParticleRun run_;
  CrossingDetector detector_;
};

// The plan's trails and their encounters, grouped from the outcomes (one per task, in
// the plan's order), by forecast year, then trail year; timings summed.
ForecastResult CollectEncounters(const ForecastPlan& plan, std::span<const TrailOutcome> outcomes);

// Plans, integrates the trails side by side on settings.threads threads, collects.
// Throws like PlanForecast and passes on ArithmeticError from a run.
ForecastResult RunForecast(const ForecastSettings& settings, const ForecastProgress& progress = {});

// Fills each encounter's `site` for an observer there (meteors/site_sky.h).
void ViewEncountersFrom(const Site& site, double populationIndex, std::vector<TrailEncounter>& encounters);

// The forecast as CSV: the header of meteors/record_format's encounter columns
// (trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min;
// radiant_alt,sun_alt,moon_illum,moon_alt,hr from the encounters' `site` when
// withSite) and one line per encounter.
std::string ForecastCsv(const std::vector<TrailEncounter>& encounters, bool withSite = false);

}  // namespace stelvo
